#include "payload/libraries.h"
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "payload/version_rule.h"
#include "setup/errors.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/paths.h"

static const char ImageFileName[] = "image.tmp";

void QueryFileVersion(const char *path, unsigned *major, DWORD *ls)
{
    *major = 0;
    *ls = 0;
    DWORD ignored;
    DWORD size = g_version.GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return;
    void *block = LocalAlloc(LMEM_FIXED, size);
    if (!block)
        return;
    VS_FIXEDFILEINFO *fixed;
    UINT length;
    if (g_version.GetFileVersionInfoA(path, 0, size, block) &&
        g_version.VerQueryValueA(block, "\\", reinterpret_cast<void **>(&fixed), &length) &&
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
    switch (ProbeProgramFile(g_programPath)) {
    case ProgramRunning:
        ReportError(RunningCopyFound);
        return AlreadyRunning;
    case ProgramNotOpened:
        return Placed;
    case ProgramPresent:
        break;
    }
    unsigned major;
    DWORD ls;
    QueryFileVersion(g_programPath, &major, &ls);
    switch (JudgeVersion(major, ls)) {
    case NewerVersion:
        ReportError(NewerCopyFound);
        return NewerPresent;
    case ForeignVersion:
        ReportError(CopyNotVersion1);
        break;
    case SameVersion:
        break;
    }
    return Placed;
}

PlacementResult PlaceMainProgram()
{
    PlacementResult existing = CheckExistingProgram();
    if (existing != Placed)
        return existing;
    // The new program is expanded beside the old one, which is replaced only
    // once the new one is complete: a failure leaves the old one as it was.
    if (!ExpandPayload(MainProgramEntry, g_installDir, ImageFileName)) {
        ReportSystemError(GetLastError(), ProgramNotExpanded);
        return PlacementFailed;
    }
    PathBuffer imagePath;
    JoinPath(g_installDir, ImageFileName, imagePath);   // the folder rules leave room for it
    if (!PutInPlace(imagePath, g_programPath)) {
        ReportSystemError(GetLastError(), ProgramNotMoved);
        return PlacementFailed;
    }
    return Placed;
}
