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

bool CanNameFiles(const char *path)
{
    for (const char *at = path; *at; at = NextChar(at)) {
        unsigned char c = static_cast<unsigned char>(*at);
        bool driveColon = at == path + 1 && c == ':';
        if (c < ' ' || (c == ':' && !driveColon) || c == '?' || c == '*' || c == '"' || c == '<' ||
            c == '>' || c == '|')
            return false;
    }
    return true;
}

// Beyond the program's file name the rule keeps 20 characters spare, room
// for the longer names the installer writes beside it.
enum { FolderLengthMargin = 20 };

bool FolderLengthFits(const char *path)
{
    return TextLength(path) + (sizeof ProgramFileName - 1) + FolderLengthMargin <= PathSize;
}
