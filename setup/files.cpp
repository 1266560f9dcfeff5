#include "setup/paths.h"
#include "setup/text.h"
#include <windows.h>

void DeleteFileIn(const char *folder, const char *name)
{
    PathBuffer path;
    if (CopyText(path, PathSize, folder) && AppendText(path, PathSize, "\\") &&
        AppendText(path, PathSize, name))
        DeleteFileA(path);
}
