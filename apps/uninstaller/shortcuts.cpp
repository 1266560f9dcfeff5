// The shortcuts the installer puts at the top of the Start menu and on the desktop.
#include "apps/uninstaller/uninstaller.h"
#include "setup/shell_folders.h"

bool ShortcutsRemain()
{
    WCHAR path[PathSize];

    for (int folder : ShortcutFolders)
        if (ShortcutPath(NULL, folder, path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
            return true;
    return false;
}

// Deletes the shortcut, read-only or not; one that stays is noted, in the
// code page's letters as far as it has them.
static void RemoveShortcut(const WCHAR *path)
{
    DWORD attributes = GetFileAttributesW(path);
    char shown[PathSize];

    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(path))
        return;
    SetFileAttributesW(path, attributes);
    if (!WideCharToMultiByte(CP_ACP, 0, path, -1, shown, sizeof shown, NULL, NULL))
        shown[0] = 0;
    NoteFailure(shown);
}

void RemoveShortcuts()
{
    WCHAR path[PathSize];

    for (int folder : ShortcutFolders)
        if (ShortcutPath(NULL, folder, path))
            RemoveShortcut(path);
}
