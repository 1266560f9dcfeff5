#include "location/location.h"
#include "location/folder_rules.h"
#include "setup/errors.h"
#include "setup/paths.h"
#include <windows.h>

static bool Reject(bool report, const char *message, const char *code)
{
    if (report)
        ReportError(message, code);
    return false;
}

bool ValidateInstallFolder(char *path, bool report)
{
    if (!HasDriveForm(path))
        return Reject(report, "Invalid drive specification", "11");

    PathBuffer root;
    DriveRootOf(path, root);
    if (GetDriveTypeA(root) == DRIVE_REMOVABLE)
        return Reject(report, "You can't install Quillmark to a removable disk.", "12");

    TrimTrailingBackslashes(path);
    if (!FolderLengthFits(path))
        return Reject(report, "Folder name too long", "27");

    if (SetCurrentDirectoryA(path)) {
        DWORD attributes = GetFileAttributesA(path);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Reject(report, "The install location is not a folder.", "13");
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return Reject(report, "The folder is read only.", "14");
        if (attributes & (FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY))
            return Reject(report, "Invalid folder", "15");
        return true;
    }
    if (CreateDirectoryA(path, 0))
        return true;
    return Reject(report, "Could not create the specified folder.", "16");
}
