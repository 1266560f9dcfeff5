#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "payload/version_rule.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"

static const char ImageFileName[] = "image.tmp";

void QueryFileVersion(const char *path, unsigned *major, DWORD *ls)
{
    *major = 0;
    *ls = 0;
    DWORD ignored;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return;
    void *block = LocalAlloc(LMEM_FIXED, size);
    if (!block)
        return;
    VS_FIXEDFILEINFO *fixed;
    UINT length;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, "\\", reinterpret_cast<void **>(&fixed), &length) &&
        length >= sizeof *fixed) {
        *major = HIWORD(fixed->dwFileVersionMS);
        *ls = fixed->dwFileVersionLS;
    }
    LocalFree(block);
}

// Whether the program file already in the folder may be replaced: Placed
// means go on (no file there, or one that may be overwritten).
static PlacementResult CheckExistingProgram()
{
    HANDLE file = CreateFileA(g_programPath, GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? AlreadyRunning : Placed;
    CloseHandle(file);

    unsigned major;
    DWORD ls;
    QueryFileVersion(g_programPath, &major, &ls);
    switch (JudgeVersion(major, ls)) {
    case NewerVersion:
        return NewerPresent;
    case ForeignVersion:
        ReportError("The copy of Quillmark already at the install location is not version 1.  "
                    "It will be replaced.",
                    "17");
        break;
    case SameVersion:
        break;
    }
    return Placed;
}

PlacementResult PlaceMainProgram()
{
    SetFileAttributesA(g_programPath, FILE_ATTRIBUTE_NORMAL);
    PlacementResult existing = CheckExistingProgram();
    if (existing != Placed)
        return existing;

    if (!InstallPayload(MainProgramEntry, g_installDir, ImageFileName)) {
        ReportSystemError(GetLastError(), "34");
        return PlacementFailed;
    }
    DeleteFileA(g_programPath);
    PathBuffer imagePath;
    JoinPath(g_installDir, ImageFileName, imagePath);
    if (MoveFileA(imagePath, g_programPath))
        return Placed;
    ReportSystemError(GetLastError(), "37");
    DeleteFileIn(g_installDir, ImageFileName);
    return PlacementFailed;
}
