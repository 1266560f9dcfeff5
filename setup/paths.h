// Path helpers: text operations only.
#pragma once
#include "setup/product.h"

// `out` = `folder`, a backslash unless `folder` is empty or already ends in
// one, then `name`.  False, with `out` left empty, when the result would not
// fit a PathBuffer.
bool JoinPath(const char *folder, const char *name, PathBuffer out);

// `out` = the characters of `path` before its first backslash, then a
// backslash: 'D:\Work\Scripts' gives 'D:\'.  False, with `out` left empty,
// when that would not fit.
bool DriveRootOf(const char *path, PathBuffer out);
