// The application's files as the installer writes them, in the order they are
// written.  Shared by the installer and the uninstaller, so that the uninstaller
// removes exactly what the installer puts down.  The rows come from the list of
// carried files (payload/carried_files.txt).
#pragma once
#include "carried_files.h"

enum PayloadMethod : unsigned char { Expand, Raw };

struct PayloadEntry {
    // The file name inside the install folder, held in the row: the table
    // then holds no addresses the loader must adjust when it places setup.exe.
    char name[LONGEST_CARRIED_NAME + 1];
    unsigned short id;      // number of the "FILE" resource
    PayloadMethod method;   // Expand: an SZDD image, expanded; Raw: bytes as stored
    bool readOnly;          // Raw rows only
};

inline const PayloadEntry g_manifest[] = {MANIFEST_ROWS};

enum { ManifestRows = sizeof g_manifest / sizeof g_manifest[0] };
static_assert(ManifestRows == MANIFEST_ROW_COUNT, "the table holds every row of the list");

// Entries written outside the table.
enum {
    MainProgramEntry = MAIN_PROGRAM_ENTRY,
    UninstallerEntry = UNINSTALLER_ENTRY,
    LicenceEntry = LICENCE_ENTRY
};
