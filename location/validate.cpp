#include "location/location.h"
#include "location/folder_rules.h"
#include "setup/errors.h"
#include "setup/paths.h"
#include <windows.h>

static bool Reject(bool report, const FixedMessage &message)
{
    if (report)
        ReportError(message);
    return false;
}

// Whether the folder, trimmed and of a good length, exists or can be made;
// entering it when it exists.
static bool JudgeFolder(const char *path, bool report)
{
    if (SetCurrentDirectoryA(path)) {
        DWORD attributes = GetFileAttributesA(path);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Reject(report, NotAFolder);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return Reject(report, FolderReadOnly);
        if (attributes & (FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY))
            return Reject(report, InvalidFolder);
        return true;
    }
    if (CreateDirectoryA(path, 0))
        return true;
    return Reject(report, CannotCreateFolder);
}

bool ValidateInstallFolder(char *path, bool report)
{
    if (!HasDriveForm(path))
        return Reject(report, InvalidDrive);

    PathBuffer root;
    DriveRootOf(path, root);
    if (GetDriveTypeA(root) == DRIVE_REMOVABLE)
        return Reject(report, RemovableDrive);

    TrimFolderEnd(path);
    if (!FolderLengthFits(path))
        return Reject(report, FolderTooLong);
    if (!CanNameFiles(path))
        return Reject(report, InvalidFolder);

    // A drive root is judged, and kept, as 'X:\': 'X:' alone names the
    // drive's current folder, wherever an earlier check left it.
    if (path[2] == 0) {
        path[2] = '\\';
        path[3] = 0;
    }
    // The silent check leaves the current folder where it was.
    PathBuffer current;
    DWORD length = report ? 0 : GetCurrentDirectoryA(PathSize, current);
    bool usable = JudgeFolder(path, report);
    if (length > 0 && length < PathSize)
        SetCurrentDirectoryA(current);
    return usable;
}
