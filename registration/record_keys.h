// Where the installation is recorded under HKEY_LOCAL_MACHINE.  The installer
// writes these keys; the uninstaller removes its own entries under them.
#pragma once

#define WINDOWS_CURRENT_VERSION_KEY "Software\\Microsoft\\Windows\\CurrentVersion"

static const char AppPathsKey[] = WINDOWS_CURRENT_VERSION_KEY "\\App Paths";
static const char UninstallKey[] = WINDOWS_CURRENT_VERSION_KEY "\\Uninstall";

// The product's entries: ProgramFileName under App Paths, ProductName under Uninstall.
static const char AppPathsEntryKey[] = WINDOWS_CURRENT_VERSION_KEY "\\App Paths\\Quillmark.exe";
static const char UninstallEntryKey[] = WINDOWS_CURRENT_VERSION_KEY "\\Uninstall\\Quillmark";
