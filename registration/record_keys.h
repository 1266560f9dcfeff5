// Where the installation is recorded: the keys and values the installer
// writes and the uninstaller removes, and the name of the shortcuts.
#pragma once
#include <shlobj.h>
#include "setup/product.h"

#define WINDOWS_CURRENT_VERSION_KEY "Software\\Microsoft\\Windows\\CurrentVersion"

// Under HKEY_LOCAL_MACHINE: the lists, then the product's entries in them
// (ProgramFileName under App Paths, ProductName under Uninstall).
inline const char AppPathsKey[] = WINDOWS_CURRENT_VERSION_KEY "\\App Paths";
inline const char UninstallKey[] = WINDOWS_CURRENT_VERSION_KEY "\\Uninstall";
inline const char AppPathsEntryKey[] = WINDOWS_CURRENT_VERSION_KEY "\\App Paths\\" MAIN_PROGRAM_NAME;
inline const char UninstallEntryKey[] = WINDOWS_CURRENT_VERSION_KEY "\\Uninstall\\" PRODUCT_NAME;

// The install folder, in the App Paths entry and in the settings key.
inline const char FolderValueName[] = "Path";
inline const char DisplayNameValueName[] = "DisplayName";
inline const char UninstallStringValueName[] = "UninstallString";
// The install folder, in the uninstall entry.
inline const char InstallLocationValueName[] = "InstallLocation";

// In the Start menu folder itself and in the desktop folder, in that order,
// after a backslash.  UTF-16, as their folders are (setup/shell_folders.h).
inline const wchar_t ShortcutFileName[] = L"\\" PRODUCT_NAME ".lnk";
inline const int ShortcutFolders[] = {CSIDL_STARTMENU, CSIDL_DESKTOPDIRECTORY};
