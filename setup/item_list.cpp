#include "setup/item_list.h"

void FreeItemList(LPITEMIDLIST list)
{
    IMalloc *allocator;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(list);
        allocator->Release();
    }
}
