// Recording the installation with the system: registry entries and shortcuts.
#pragma once
#include <windows.h>

// App Paths entry and the remembered folder; false, after box 8 (and box 10
// first when the settings key would not open), when any part failed.
bool RegisterAppPath();

// The entry in the list of programs that can be removed, naming the
// uninstaller in `folder`; false, after box 9, when it could not be written.
bool RegisterUninstaller(const char *folder);

// Quillmark.lnk in the Start menu and on the desktop; failures are silent.
void CreateShortcuts();

// One shortcut, saved at `linkPath` (UTF-16, setup/shell_folders.h); the
// last COM result.
HRESULT CreateShortcut(const char *workingDir, const char *target, const WCHAR *linkPath,
                       const char *description);
