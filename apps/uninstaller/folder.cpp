// Where Quillmark is installed: the App Paths entry's folder, or else the folder
// remembered in the user's settings; and whether an installation is really there.
#include "apps/uninstaller/uninstaller.h"
#include "location/folder_rules.h"
#include "setup/files.h"
#include "setup/paths.h"
#include "setup/registry.h"

PathBuffer g_installDir;

// Reads the folder value of an open key into g_installDir.  Data that does not
// fit a path, with its NUL, counts as absent, as does an empty folder.
static bool ReadFolderValue(HKEY key)
{
    return QueryStringValue(key, FolderValueName, g_installDir, PathSize) == ERROR_SUCCESS &&
           g_installDir[0] != 0;
}

// Only an installation is acted on: the folder is absolute on a drive (a
// relative one would be resolved against whatever the current folder is), it
// holds the program, and an App Paths entry, where there is one, names that
// very program.
bool FindInstallation()
{
    HKEY key;
    PathBuffer registered;
    PathBuffer program;
    bool hasEntry = false;
    bool found = false;

    g_installDir[0] = 0;
    registered[0] = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, AppPathsEntryKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        hasEntry = true;
        found = ReadFolderValue(key);
        QueryStringValue(key, NULL, registered, PathSize);   // left empty when absent or too long
        RegCloseKey(key);
    }
    if (!found && RegOpenKeyExA(HKEY_CURRENT_USER, g_settingsKeyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        found = ReadFolderValue(key);
        RegCloseKey(key);
    }
    if (!found || !HasDriveForm(g_installDir) || !JoinPath(g_installDir, ProgramFileName, program))
        return false;
    if (hasEntry && lstrcmpiA(program, registered) != 0)
        return false;
    return ProgramFileExists(g_installDir);
}
