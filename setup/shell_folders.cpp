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

bool PathOfItemList(LPITEMIDLIST list, WCHAR path[PathSize])
{
    bool found = SHGetPathFromIDListW(list, path);
    FreeItemList(list);
    return found;
}

bool SpecialFolderPath(HWND owner, int folder, WCHAR path[PathSize])
{
    LPITEMIDLIST list;
    return SUCCEEDED(SHGetSpecialFolderLocation(owner, folder, &list)) && PathOfItemList(list, path);
}

bool ShortcutPath(HWND owner, int folder, WCHAR path[PathSize])
{
    return SpecialFolderPath(owner, folder, path) && AppendWideText(path, PathSize, ShortcutFileName);
}
