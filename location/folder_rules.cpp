#include "location/folder_rules.h"
#include "setup/product.h"
#include "setup/text.h"

bool HasDriveForm(const char *path)
{
    char letter = path[0];
    bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && path[1] == ':' && path[2] == '\\';
}

void TrimTrailingBackslashes(char *path)
{
    size_t length = TextLength(path);
    while (length > 0 && path[length - 1] == '\\')
        path[--length] = 0;
}

// Beyond the program's file name the rule keeps 20 characters spare, room
// for the longer names the installer writes beside it.
enum { FolderLengthMargin = 20 };

bool FolderLengthFits(const char *path)
{
    return TextLength(path) + (sizeof ProgramFileName - 1) + FolderLengthMargin <= PathSize;
}
