#include "payload/libraries.h"
#include "payload/payload.h"
#include "payload/version_rule.h"
#include "setup/errors.h"
#include "setup/files.h"
#include "setup/globals.h"

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

bool MayReplaceProgram()
{
    switch (ProbeProgramFile(g_programPath)) {
    case ProgramRunning:
        ReportError(RunningCopyFound);
        return false;
    case ProgramAbsent:
        return true;
    case ProgramPresent:
        break;
    }
    unsigned major;
    DWORD ls;
    QueryFileVersion(g_programPath, &major, &ls);
    switch (JudgeVersion(major, ls)) {
    case NewerVersion:
        ReportError(NewerCopyFound);
        return false;
    case ForeignVersion:
        ReportError(CopyNotVersion1);
        break;
    case SameVersion:
        break;
    }
    return true;
}
