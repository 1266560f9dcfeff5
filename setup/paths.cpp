#include "setup/paths.h"
#include "setup/text.h"

bool JoinPath(const char *folder, const char *name, PathBuffer out)
{
    if (!CopyText(out, PathSize, folder))
        return false;
    size_t length = TextLength(out);
    bool joined = (length == 0 || out[length - 1] == '\\' || AppendText(out, PathSize, "\\")) &&
                  AppendText(out, PathSize, name);
    if (!joined)
        out[0] = 0;
    return joined;
}

bool DriveRootOf(const char *path, PathBuffer out)
{
    size_t length = 0;
    while (path[length] && path[length] != '\\')
        ++length;
    if (length + 2 > PathSize) {
        out[0] = 0;
        return false;
    }
    CopyBytes(out, path, length);
    out[length] = '\\';
    out[length + 1] = 0;
    return true;
}
