// The registry layer: every key the installer opens, reads or writes goes
// through here.  Each function returns the registry status, 0 for success.
#pragma once
#include <windows.h>
#include "setup/product.h"

enum : REGSAM {
    ReadWriteAccess = KEY_READ | KEY_WRITE,
    ReadAccess = KEY_READ
};

// Software\Brenlow\Quillmark\Settings under HKEY_CURRENT_USER.
extern PathBuffer g_settingsKeyPath;
void BuildSettingsKeyPath();

// Opens `subKey` under `root`, creating it (and any missing parents) first.
LONG CreateKey(HKEY root, const char *subKey, REGSAM access, HKEY *key);
LONG OpenSettingsKey(HKEY *key);

// Reads a text value (REG_SZ) into `buffer`.  The text always ends in a NUL
// inside `size` bytes; data that would fill the buffer with no room left for
// one is refused as too long (ERROR_MORE_DATA), a value of another type
// (ERROR_INVALID_DATATYPE: a number, or text with %variables% still to
// expand) as not text; then `buffer` is left empty.
LONG QueryStringValue(HKEY key, const char *name, char *buffer, DWORD size);

// Writes `text` as REG_SZ with its NUL; a null `name` writes the default value.
LONG SetStringValue(HKEY key, const char *name, const char *text);

// Writes `number` as REG_DWORD.
LONG SetNumberValue(HKEY key, const char *name, DWORD number);
