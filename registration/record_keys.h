// Where the installation is recorded: the keys and values the installer
// writes and the uninstaller removes, and the name of the shortcuts.
#pragma once
#include <shlobj.h>
#include "setup/product.h"

#define WINDOWS_CURRENT_VERSION_KEY "Software\\Microsoft\\Windows\\CurrentVersion"

// Under HKEY_LOCAL_MACHINE: the lists, then the product's entries in them
// (ProgramFileName under App Paths, ProductName under Uninstall).
static const char AppPathsKey[] = WINDOWS_CURRENT_VERSION_KEY "\\App Paths";
static const char UninstallKey[] = WINDOWS_CURRENT_VERSION_KEY "\\Uninstall";
static const char AppPathsEntryKey[] = WINDOWS_CURRENT_VERSION_KEY "\\App Paths\\" MAIN_PROGRAM_NAME;
static const char UninstallEntryKey[] = WINDOWS_CURRENT_VERSION_KEY "\\Uninstall\\" PRODUCT_NAME;

// The install folder, in the App Paths entry and in the settings key.
static const char FolderValueName[] = "Path";
static const char DisplayNameValueName[] = "DisplayName";
static const char UninstallStringValueName[] = "UninstallString";
// The install folder, in the uninstall entry.
static const char InstallLocationValueName[] = "InstallLocation";

// In the Start menu folder itself and in the desktop folder, in that order,
// after a backslash.  UTF-16, as their folders are (setup/shell_folders.h).
static const wchar_t ShortcutFileName[] = L"\\" PRODUCT_NAME ".lnk";
static const int ShortcutFolders[] = {CSIDL_STARTMENU, CSIDL_DESKTOPDIRECTORY};
