// Where the installation goes: the folder proposed and the rules it must meet.
#pragma once
#include "setup/product.h"

// Fills g_programFilesDir from the system's setting, or the first fixed drive.
void FindProgramFilesFolder();

// Fills `out` with the folder to offer; true when the remembered folder
// already holds the program.
bool ProposeInstallFolder(PathBuffer out);

// Checks and prepares `path` (trimmed in place; created when missing).  With
// `report` set each failure shows its coded box.  A drive root that passes
// comes back as 'X:\'.
bool ValidateInstallFolder(char *path, bool report);

// Whether the drive of `folder` has room for every file the install writes
// there (beside the files they replace, which stay until all are written),
// and the Windows folder's for the uninstaller; both at once when they
// share it.  When one has not, box 28 names the drive, the room needed and
// the room free.
bool HasRoomFor(const char *folder);
