#include "location/location.h"
#include "payload/installed_files.h"
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

// Every installed file: the whole release is staged beside the files it
// replaces, which stay until all of it is in place.
static DWORD NeededInFolder()
{
    DWORD needed = 0;
    for (DWORD size : g_installedSizes)
        needed += Taken(size);
    return needed;
}

// Box 28 unless `needed` blocks fit in the `free` ones of the drive of `root`.
static bool Fits(const char *root, DWORD needed, DWORD free)
{
    if (needed <= free)
        return true;
    // A root fits a PathBuffer, and the rest of the text 64 characters.
    char detail[PathSize + 64];
    wsprintfA(detail, "Drive %s needs %lu KB and has %lu KB free.", root, needed / 2 + needed % 2,
              free / 2);
    ReportError(NotEnoughRoom, detail);
    return false;
}

// Where the install writes: the install folder's files, and the uninstaller
// in the Windows folder (where the copy it replaces stays, too, until the new
// one is complete).
enum { InstallFolder, Uninstaller, Parts };

// The blocks `part` takes on the drive measured last.
static DWORD NeededFor(int part)
{
    return part == InstallFolder ? NeededInFolder() : Taken(UNINSTALLER_SIZE);
}

bool HasRoomFor(const char *folder)
{
    PathBuffer roots[Parts];
    DriveRootOf(folder, roots[InstallFolder]);
    if (!g_windowsDir[0] || !DriveRootOf(g_windowsDir, roots[Uninstaller]))
        roots[Uninstaller][0] = 0;
    // Each drive once, for all the parts on it.  A drive the system cannot
    // measure (a network share, say) is found out about as the install goes.
    for (int drive = 0; drive < Parts; ++drive) {
        bool measured = !roots[drive][0];
        for (int earlier = 0; earlier < drive; ++earlier)
            measured |= lstrcmpiA(roots[earlier], roots[drive]) == 0;
        DWORD free;
        if (measured || !FreeOn(roots[drive], &free))
            continue;
        DWORD needed = 0;
        for (int part = drive; part < Parts; ++part)
            if (lstrcmpiA(roots[part], roots[drive]) == 0)
                needed += NeededFor(part);
        if (!Fits(roots[drive], needed, free))
            return false;
    }
    return true;
}
