#include "location/location.h"
#include "payload/installed_files.h"
#include "payload/manifest_table.h"
#include "payload/stored_entries.h"
#include "setup/errors.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/text.h"
#include <windows.h>

typedef BOOL(WINAPI *GetDiskFreeSpaceExFunction)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                                 PULARGE_INTEGER);

struct Drive {
    PathBuffer root;
    DWORD cluster;          // bytes: every file takes whole clusters
    ULONGLONG free;
    ULONGLONG needed;
};

// False when the system cannot say; the install then finds out as it goes.
static bool MeasureDrive(Drive &drive)
{
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!GetDiskFreeSpaceA(drive.root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return false;
    drive.cluster = sectorsPerCluster * bytesPerSector;
    if (drive.cluster == 0)
        drive.cluster = 1;
    drive.free = UInt32x32To64(freeClusters, drive.cluster);
    // The first systems of the line lack the newer call, and their older one
    // stops at 2 GB, which is more than an install needs anyway.
    GetDiskFreeSpaceExFunction freeSpaceEx = reinterpret_cast<GetDiskFreeSpaceExFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "GetDiskFreeSpaceExA")));
    ULARGE_INTEGER available;
    if (freeSpaceEx && freeSpaceEx(drive.root, &available, 0, 0))
        drive.free = available.QuadPart;
    return true;
}

// The space a file of `size` bytes takes on `drive`.
static ULONGLONG Taken(const Drive &drive, DWORD size)
{
    DWORD clusters = size / drive.cluster + (size % drive.cluster != 0);
    return UInt32x32To64(clusters, drive.cluster);
}

// The size of `folder`\`name`, or 0 when there is no such file.
static DWORD ExistingSize(const char *folder, const char *name)
{
    PathBuffer path;
    WIN32_FIND_DATAA found;
    HANDLE search = JoinPath(folder, name, path) ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : found.nFileSizeLow;
}

// Every installed file, less the files of those names it replaces, plus a
// staging copy of the largest.
static ULONGLONG NeededInFolder(const Drive &drive, const char *folder)
{
    ULONGLONG written = Taken(drive, LARGEST_INSTALLED_FILE_SIZE), replaced = 0;
    for (int file = 0; file < InstalledFileCount; ++file) {
        written += Taken(drive, g_installedSizes[file]);
        const char *name = file == InstalledProgramRow ? ProgramFileName
                                                       : g_manifest[file - FirstInstalledManifestRow].name;
        replaced += Taken(drive, ExistingSize(folder, name));
    }
    return written > replaced ? written - replaced : 0;
}

static uint32_t Kilobytes(ULONGLONG bytes, bool roundUp)
{
    ULONGLONG kilobytes = (bytes + (roundUp ? 1023 : 0)) >> 10;
    return kilobytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kilobytes);
}

static bool Enough(const Drive &drive)
{
    if (drive.needed <= drive.free)
        return true;
    char detail[PathSize + 64];
    CopyText(detail, sizeof detail, "Drive ");
    AppendText(detail, sizeof detail, drive.root);
    AppendText(detail, sizeof detail, " needs ");
    AppendNumber(detail, sizeof detail, Kilobytes(drive.needed, true));
    AppendText(detail, sizeof detail, " KB and has ");
    AppendNumber(detail, sizeof detail, Kilobytes(drive.free, false));
    AppendText(detail, sizeof detail, " KB free.");
    ReportError(NotEnoughRoom, detail);
    return false;
}

bool HasRoomFor(const char *folder)
{
    Drive install, temp;
    DriveRootOf(folder, install.root);
    DriveRootOf(g_tempDir, temp.root);
    bool installMeasured = MeasureDrive(install), tempMeasured = MeasureDrive(temp);
    install.needed = installMeasured ? NeededInFolder(install, folder) : 0;
    temp.needed = tempMeasured ? Taken(temp, LARGEST_STAGED_ENTRY_SIZE) : 0;
    if (lstrcmpiA(install.root, temp.root) == 0) {
        install.needed += temp.needed;
        return Enough(install);
    }
    return Enough(install) && Enough(temp);
}
