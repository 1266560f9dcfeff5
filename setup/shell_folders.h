// The shell's folders: the item lists it hands out, and where the product's
// shortcut lies in a special folder.
#pragma once
#include <shlobj.h>
#include "setup/product.h"

// Hands an item list from the shell back to the shell's allocator.
void FreeItemList(LPITEMIDLIST list);

// Paths of the shell's folders are in UTF-16, the one place besides a
// shortcut's own contents where the programs leave the ANSI code page: a
// special folder lies in the user's profile, whose name may hold letters the
// code page cannot spell.

// The path of an item list the shell handed out, which goes back to it; false
// when the list names no folder of files.
bool PathOfItemList(LPITEMIDLIST list, WCHAR path[PathSize]);

// The path of special folder `folder` (a CSIDL), asked with `owner` as the
// window for any question; false when the shell cannot say where it is.
bool SpecialFolderPath(HWND owner, int folder, WCHAR path[PathSize]);

// The path of the product's shortcut in special folder `folder`; false when
// the shell cannot say where the folder is, or the name does not fit after it.
bool ShortcutPath(HWND owner, int folder, WCHAR path[PathSize]);
