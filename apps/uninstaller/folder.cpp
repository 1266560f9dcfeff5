// Where Quillmark is installed: the App Paths entry's folder, or else the folder
// remembered in the user's settings.
#include "apps/uninstaller/uninstaller.h"
#include "setup/registry.h"

PathBuffer g_installDir;

// Reads the folder value of root\subKey without creating anything.  Data that
// does not fit a path, with its NUL, counts as absent, as does an empty folder.
static bool ReadFolderValue(HKEY root, const char *subKey)
{
    HKEY key;
    LONG status;

    g_installDir[0] = 0;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    status = QueryStringValue(key, FolderValueName, g_installDir, PathSize);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && g_installDir[0] != 0;
}

bool FindInstallFolder()
{
    return ReadFolderValue(HKEY_LOCAL_MACHINE, AppPathsEntryKey) ||
           ReadFolderValue(HKEY_CURRENT_USER, g_settingsKeyPath);
}
