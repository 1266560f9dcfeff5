// The files the installer puts into the install folder, as the build made
// them: the main program, then the manifest rows in their order, each with its
// size and CRC-32.  The uninstaller removes a file only while it still matches.
#pragma once
#include <stdint.h>
#include "carried_files.h"
#include "installed_sums.h"

struct InstalledFile {
    const char *name;
    uint32_t size;
    uint32_t crc;
};

inline const InstalledFile g_installedFiles[] = {INSTALLED_FILES};

enum {
    InstalledFileCount = sizeof g_installedFiles / sizeof g_installedFiles[0],
    InstalledProgramRow = 0,        // the main program's row
    FirstInstalledManifestRow = 1   // then the manifest's, to the end
};
static_assert(InstalledFileCount == MANIFEST_ROW_COUNT + 1, "the program and every manifest row");

// The sizes and CRCs alone, in the same order, for the installer, which has
// the names in its manifest.
inline const uint32_t g_installedSizes[] = {INSTALLED_SIZES};
inline const uint32_t g_installedCrcs[] = {INSTALLED_CRCS};
