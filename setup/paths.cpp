#include "setup/paths.h"
#include "setup/text.h"

const char *NextChar(const char *at)
{
    if (!*at)
        return at;
    return IsLeadByte(static_cast<unsigned char>(*at)) && at[1] ? at + 2 : at + 1;
}

bool EndsInBackslash(const char *path)
{
    bool backslash = false;
    for (; *path; path = NextChar(path))
        backslash = *path == '\\';
    return backslash;
}

void DropTrailingBackslash(char *path)
{
    if (EndsInBackslash(path))
        path[TextLength(path) - 1] = 0;
}

bool JoinPath(const char *folder, const char *name, PathBuffer out)
{
    if (!CopyText(out, PathSize, folder))
        return false;
    bool joined = (!out[0] || EndsInBackslash(out) || AppendText(out, PathSize, "\\")) &&
                  AppendText(out, PathSize, name);
    if (!joined)
        out[0] = 0;
    return joined;
}

bool DriveRootOf(const char *path, PathBuffer out)
{
    // The root ends before the first backslash of 'D:\...', and before the
    // fourth of a network path's '\\server\share\...'.
    int backslashes = path[0] == '\\' && path[1] == '\\' ? 4 : 1, seen = 0;
    const char *end = path;
    while (*end && !(*end == '\\' && ++seen == backslashes))
        end = NextChar(end);
    size_t length = static_cast<size_t>(end - path);
    if (length + 2 > PathSize) {
        out[0] = 0;
        return false;
    }
    CopyBytes(out, path, length);
    out[length] = '\\';
    out[length + 1] = 0;
    return true;
}

// Whether the program's name ends at `at`: ".exe" in any case, then a blank
// or the end.
static bool EndsProgramName(const char *at)
{
    return at[0] == '.' && (at[1] | 0x20) == 'e' && (at[2] | 0x20) == 'x' && (at[3] | 0x20) == 'e' &&
           (at[4] == 0 || at[4] == ' ');
}

bool CommandProgram(const char *command, PathBuffer out)
{
    while (*command == ' ')
        command++;
    bool quoted = *command == '"';
    const char *start = command + quoted, *end = start;
    while (*end && (quoted ? *end != '"' : !EndsProgramName(end)))
        end = NextChar(end);
    if (!quoted && *end)
        end += sizeof ".exe" - 1;
    size_t length = static_cast<size_t>(end - start);
    out[0] = 0;
    if (length >= PathSize)
        return false;
    CopyBytes(out, start, length);
    out[length] = 0;
    return true;
}
