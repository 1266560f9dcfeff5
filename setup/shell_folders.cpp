#include "setup/shell_folders.h"
#include "registration/record_keys.h"
#include "setup/text.h"

void FreeItemList(LPITEMIDLIST list)
{
    IMalloc *allocator;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(list);
        allocator->Release();
    }
}

bool ShortcutPath(HWND owner, int folder, WCHAR path[PathSize])
{
    LPITEMIDLIST list;
    if (FAILED(SHGetSpecialFolderLocation(owner, folder, &list)))
        return false;
    bool found = SHGetPathFromIDListW(list, path);
    FreeItemList(list);
    return found && AppendWideText(path, PathSize, ShortcutFileName);
}
