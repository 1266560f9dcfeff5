// The shortcuts the installer puts at the top of the Start menu and on the desktop.
#include "apps/uninstaller/uninstaller.h"
#include "setup/files.h"
#include "setup/item_list.h"

enum { ShortcutFolderCount = sizeof ShortcutFolders / sizeof ShortcutFolders[0] };

// A special folder the shell cannot name holds no shortcut of ours.
static bool GetShortcutFolder(int folder, PathBuffer path)
{
    LPITEMIDLIST list;
    BOOL named;

    if (FAILED(SHGetSpecialFolderLocation(NULL, folder, &list)))
        return false;
    named = SHGetPathFromIDListA(list, path);
    FreeItemList(list);
    return named;
}

bool ShortcutsRemain()
{
    PathBuffer path;

    for (int folder = 0; folder < ShortcutFolderCount; folder++)
        if (GetShortcutFolder(ShortcutFolders[folder], path) && FileExistsIn(path, ShortcutFileName))
            return true;
    return false;
}

void RemoveShortcuts()
{
    PathBuffer path;

    for (int folder = 0; folder < ShortcutFolderCount; folder++)
        if (GetShortcutFolder(ShortcutFolders[folder], path))
            RemoveFileIn(path, ShortcutFileName);
}
