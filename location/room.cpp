#include "location/location.h"
#include "payload/installed_files.h"
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "payload/stored_entries.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/system_library.h"
#include <windows.h>

typedef BOOL(WINAPI *GetDiskFreeSpaceExFunction)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                                 PULARGE_INTEGER);

// Room is counted in blocks of 512 bytes, which 32 bits count up to 2 TB:
// the smallest sector, and a part of every cluster.
enum { BlockShift = 9 };

// The cluster size of the drive measured last, in blocks: every file takes
// whole clusters.
static DWORD s_cluster;

// The blocks free on the drive of `root`, at most 2 TB; false when the
// system cannot say, and the install then finds out as it goes.
static bool FreeOn(const char *root, DWORD *free)
{
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return false;
    s_cluster = (sectorsPerCluster * bytesPerSector) >> BlockShift;
    if (s_cluster == 0)
        s_cluster = 1;
    ULARGE_INTEGER bytes;
    bytes.QuadPart = UInt32x32To64(freeClusters, s_cluster) << BlockShift;
    // The first systems of the line lack the newer call, and their older one
    // stops at 2 GB, which is more than an install needs anyway.
    GetDiskFreeSpaceExFunction freeSpaceEx = KernelFunction<GetDiskFreeSpaceExFunction>("GetDiskFreeSpaceExA");
    if (freeSpaceEx)
        freeSpaceEx(root, &bytes, 0, 0);
    bytes.QuadPart >>= BlockShift;
    *free = bytes.HighPart ? 0xFFFFFFFFu : bytes.LowPart;
    return true;
}

// The blocks a file of `size` bytes takes on the drive measured last.
static DWORD Taken(DWORD size)
{
    DWORD cluster = s_cluster << BlockShift;
    return (size / cluster + (size % cluster != 0)) * s_cluster;
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
static DWORD NeededIn(const char *folder)
{
    DWORD written = Taken(LARGEST_INSTALLED_FILE_SIZE), replaced = 0;
    for (int file = 0; file < InstalledFileCount; ++file) {
        written += Taken(g_installedSizes[file]);
        const char *name = file == InstalledProgramRow ? ProgramFileName
                                                       : g_manifest[file - FirstInstalledManifestRow].name;
        replaced += Taken(ExistingSize(folder, name));
    }
    return written > replaced ? written - replaced : 0;
}

// Box 28 unless `needed` blocks fit in the `free` ones of the drive of `root`.
static bool Fits(const char *root, DWORD needed, DWORD free)
{
    if (needed <= free)
        return true;
    // A root is a few characters of a PathBuffer: the text stays well within.
    char detail[PathSize + 64];
    wsprintfA(detail, "Drive %s needs %lu KB and has %lu KB free.", root, needed / 2 + needed % 2,
              free / 2);
    ReportError(NotEnoughRoom, detail);
    return false;
}

bool HasRoomFor(const char *folder)
{
    PathBuffer installRoot, tempRoot;
    DriveRootOf(folder, installRoot);
    DriveRootOf(StagingFolder(), tempRoot);
    bool oneDrive = lstrcmpiA(installRoot, tempRoot) == 0;
    DWORD free;
    if (FreeOn(installRoot, &free) &&
        !Fits(installRoot, NeededIn(folder) + (oneDrive ? Taken(LARGEST_STAGED_ENTRY_SIZE) : 0), free))
        return false;
    return oneDrive || !FreeOn(tempRoot, &free) || Fits(tempRoot, Taken(LARGEST_STAGED_ENTRY_SIZE), free);
}
