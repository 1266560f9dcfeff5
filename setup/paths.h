// Path helpers.  JoinPath and DriveRootOf are text operations only.
#pragma once
#include "setup/product.h"

// `out` = `folder`, a backslash unless `folder` is empty or already ends in
// one, then `name`.  Returns 0 and leaves `out` empty when the result would
// not fit a PathBuffer.
bool JoinPath(const char *folder, const char *name, PathBuffer out);

// `out` = the characters of `path` before its first backslash, then a
// backslash: 'D:\Work\Scripts' gives 'D:\'.  Returns 0 and leaves `out`
// empty when that would not fit.
bool DriveRootOf(const char *path, PathBuffer out);

// Deletes `folder` + '\' + `name`; the outcome is not examined.
void DeleteFileIn(const char *folder, const char *name);
