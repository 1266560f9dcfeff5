// The shortcuts the installer puts at the top of the Start menu and on the desktop.
#include "apps/uninstaller/uninstaller.h"
#include "setup/item_list.h"

// A special folder the shell cannot name holds no shortcut of ours.
static void RemoveShortcutIn(int folder)
{
    LPITEMIDLIST list;
    PathBuffer path;
    BOOL named;

    if (FAILED(SHGetSpecialFolderLocation(NULL, folder, &list)))
        return;
    named = SHGetPathFromIDListA(list, path);
    FreeItemList(list);
    if (named)
        RemoveFileIn(path, ShortcutFileName);
}

void RemoveShortcuts()
{
    RemoveShortcutIn(CSIDL_STARTMENU);
    RemoveShortcutIn(CSIDL_DESKTOPDIRECTORY);
}
