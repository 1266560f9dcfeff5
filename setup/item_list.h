#pragma once
#include <shlobj.h>

// Hands an item list from the shell back to the shell's allocator.
void FreeItemList(LPITEMIDLIST list);
