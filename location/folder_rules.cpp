#include "location/folder_rules.h"
#include "setup/paths.h"
#include "setup/product.h"
#include "setup/text.h"

bool HasDriveForm(const char *path)
{
    // No letter of two bytes begins with an ASCII letter, colon or backslash.
    char letter = path[0];
    bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && path[1] == ':' && path[2] == '\\';
}

void TrimTrailingBackslashes(char *path)
{
    char *end = path;           // just after the last character that is not a backslash
    for (char *at = path; *at;) {
        char *next = const_cast<char *>(NextChar(at));
        if (*at != '\\')
            end = next;
        at = next;
    }
    *end = 0;
}

void TrimFolderEnd(char *path)
{
    for (;;) {
        TrimTrailingBackslashes(path);
        char *solidEnd = 0;     // after the last part's last character that is not a space or dot
        for (char *at = path; *at;) {
            char *next = const_cast<char *>(NextChar(at));
            if (*at == '\\')
                solidEnd = 0;
            else if (*at != ' ' && *at != '.')
                solidEnd = next;
            at = next;
        }
        if (!solidEnd || !*solidEnd)
            return;
        *solidEnd = 0;
    }
}

bool CanNameFiles(const char *path)
{
    const char *part = path;
    bool solid = false;         // the part has a character other than a space or dot
    for (const char *at = path;; at = NextChar(at)) {
        unsigned char c = static_cast<unsigned char>(*at);
        if (c == '\\' || c == 0) {
            if (at != part && !solid)
                return false;
            if (c == 0)
                return true;
            part = at + 1;
            solid = false;
            continue;
        }
        bool driveColon = at == path + 1 && c == ':';
        if (c < ' ' || (c == ':' && !driveColon) || c == '?' || c == '*' || c == '"' || c == '<' ||
            c == '>' || c == '|')
            return false;
        solid |= c != ' ' && c != '.';
    }
}

// Beyond the program's file name the rule keeps 20 characters spare, room
// for the longer names the installer writes beside it.
enum { FolderLengthMargin = 20 };

bool FolderLengthFits(const char *path)
{
    return TextLength(path) + (sizeof ProgramFileName - 1) + FolderLengthMargin <= PathSize;
}
