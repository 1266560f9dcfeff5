#include "location/location.h"
#include "location/folder_rules.h"
#include "setup/errors.h"
#include "setup/paths.h"
#include <windows.h>

// A drive root passes as 'X:\': 'X:' alone names the drive's current folder.
static bool Accept(char *path)
{
    if (path[2] == 0) {
        path[2] = '\\';
        path[3] = 0;
    }
    return true;
}

static bool Reject(bool report, const FixedMessage &message)
{
    if (report)
        ReportError(message);
    return false;
}

bool ValidateInstallFolder(char *path, bool report)
{
    if (!HasDriveForm(path))
        return Reject(report, InvalidDrive);

    PathBuffer root;
    DriveRootOf(path, root);
    if (GetDriveTypeA(root) == DRIVE_REMOVABLE)
        return Reject(report, RemovableDrive);

    TrimTrailingBackslashes(path);
    if (!FolderLengthFits(path))
        return Reject(report, FolderTooLong);
    if (!CanNameFiles(path))
        return Reject(report, InvalidFolder);

    if (SetCurrentDirectoryA(path)) {
        DWORD attributes = GetFileAttributesA(path);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Reject(report, NotAFolder);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return Reject(report, FolderReadOnly);
        if (attributes & (FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY))
            return Reject(report, InvalidFolder);
        return Accept(path);
    }
    if (CreateDirectoryA(path, 0))
        return Accept(path);
    return Reject(report, CannotCreateFolder);
}
