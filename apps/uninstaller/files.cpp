// The files in the install folder: whether Quillmark is running, and removing
// the files the installer wrote, as long as they are still as it wrote them;
// then the uninstaller and the folder.
#include "apps/uninstaller/uninstaller.h"
#include "location/folder_rules.h"
#include "payload/installed_files.h"
#include "payload/journal.h"
#include "setup/crc32.h"
#include "setup/files.h"
#include "setup/paths.h"
#include "setup/text.h"

// Files are read through this, a piece at a time.
static unsigned char g_chunk[4096];

bool IsProgramRunning()
{
    PathBuffer path;

    return JoinPath(g_installDir, ProgramFileName, path) && ProbeProgramFile(path) == ProgramRunning;
}

static bool IsNotFound(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The CRC-32 of the rest of an open file.  False when it cannot be read.
static bool ReadCrc(HANDLE file, uint32_t &crc)
{
    DWORD got;

    crc = 0;
    for (;;) {
        if (!ReadFile(file, g_chunk, sizeof g_chunk, &got, NULL))
            return false;
        if (got == 0)
            return true;
        crc = Crc32(crc, g_chunk, got);
    }
}

static HANDLE OpenToRead(const char *path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                       NULL);
}

// How a file compares with one the installer wrote.
enum Likeness {
    Gone,        // there is no such file
    Same,        // its size and CRC-32 are the installer's
    Changed,     // something else is there under that name
    Unreadable   // it cannot be read, so it cannot be told
};

static Likeness Compare(const char *path, const InstalledFile &installed)
{
    HANDLE file = OpenToRead(path);
    DWORD high = 0;
    uint32_t crc;
    Likeness likeness;

    if (file == INVALID_HANDLE_VALUE) {
        if (IsNotFound(GetLastError()))
            return Gone;
        DWORD attributes = GetFileAttributesA(path);
        bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        return folder ? Changed : Unreadable;
    }
    likeness = GetFileSize(file, &high) == installed.size && high == 0 ? Same : Changed;
    if (likeness == Same)
        likeness = !ReadCrc(file, crc) ? Unreadable : crc == installed.crc ? Same : Changed;
    CloseHandle(file);
    return likeness;
}

// Removes the file when it is the one the installer wrote; a changed file is
// kept and named.  False when the installer's file is still there.  A name
// that does not fit a path in the folder names no file anyone could write.
static bool RemoveInstalledFile(const InstalledFile &installed)
{
    PathBuffer path;

    if (!JoinPath(g_installDir, installed.name, path))
        return true;
    switch (Compare(path, installed)) {
    case Gone:
        return true;
    case Changed:
        NoteKept(path);
        return true;
    case Same:
        if (RemoveFile(path))
            return true;
        break;
    case Unreadable:
        break;
    }
    NoteFailure(path);
    return false;
}

bool IsReleaseFile(const char *name)
{
    for (const InstalledFile &installed : g_installedFiles)
        if (TagOf(name, installed.name, "") == 0)
            return true;
    return TagOf(name, UninstallerFileName, "") == 0;
}

bool RemoveApplicationFiles()
{
    bool gone = true;

    // What a stopped setup left: only the names its journal lists.
    RecoverFolder(g_installDir);
    for (int row = FirstInstalledManifestRow; row < InstalledFileCount; row++)
        gone &= RemoveInstalledFile(g_installedFiles[row]);
    return gone;
}

bool RemoveProgram()
{
    PathBuffer program;
    if (JoinPath(g_installDir, ProgramFileName, program) &&
        Compare(program, g_installedFiles[InstalledProgramRow]) == Changed) {
        NoteProgramKept(program);
        return false;
    }
    return RemoveInstalledFile(g_installedFiles[InstalledProgramRow]);
}

static bool GetWindowsFolder(PathBuffer out)
{
    UINT length = GetWindowsDirectoryA(out, PathSize);

    return length > 0 && length < PathSize;
}

// The size and CRC-32 of the file at `path`; false when it cannot be read.
static bool SumFile(const char *path, InstalledFile &sum)
{
    HANDLE file = OpenToRead(path);
    DWORD high = 0;
    bool read;

    if (file == INVALID_HANDLE_VALUE)
        return false;
    sum.size = GetFileSize(file, &high);
    read = high == 0 && sum.size != INVALID_FILE_SIZE && ReadCrc(file, sum.crc);
    CloseHandle(file);
    return read;
}

// This uninstaller's file, and its size and CRC-32 in `own`; false when it
// cannot be told (then no file can be told to be a copy of it).
static bool SumSelf(PathBuffer self, InstalledFile &own)
{
    DWORD length = GetModuleFileNameA(NULL, self, PathSize);

    if (length == 0 || length >= PathSize)   // a cut-off name ends without a NUL
        self[0] = 0;
    own.name = UninstallerFileName;
    return self[0] && SumFile(self, own);
}

bool IsInstalledProgram(const char *path)
{
    return Compare(path, g_installedFiles[InstalledProgramRow]) == Same;
}

// An uninstaller file that cannot go now (the running one) goes at the next
// restart, under a name of its own in the same folder: the installer may
// put a new uninstaller where it was before then, which the restart must not
// delete.  The name is queued before anything is under it, so that no copy
// is ever there that nothing names.  Where it cannot be renamed, it waits
// under its own name.
static void RemoveUninstallerFile(const char *path)
{
    PathBuffer folder, waiting;
    char *name;

    if (RemoveFile(path))
        return;
    DWORD length = GetFullPathNameA(path, PathSize, folder, &name);
    if (length > 0 && length < PathSize && name) {
        *name = 0;
        unsigned number = GetTickCount();
        for (int tries = 0; tries < 16; tries++, number++)
            if (UninstallerTempName(folder, number, waiting) &&
                GetFileAttributesA(waiting) == INVALID_FILE_ATTRIBUTES) {
                if (MoveFileExA(waiting, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) && MoveFileExA(path, waiting, 0))
                    return;
                break;
            }
    }
    if (!MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        NoteFailure(path);
}

void ClearStoppedRuns()
{
    PathBuffer self, windowsDir;
    InstalledFile own;
    bool known = SumSelf(self, own);

    if (GetWindowsFolder(windowsDir)) {
        RecoverFolder(windowsDir);      // a setup stopped writing the uninstaller there
        if (known)
            ClearUninstallerCopies(windowsDir, own.size, own.crc);
    }
    if (known && g_installDir[0])
        ClearUninstallerCopies(g_installDir, own.size, own.crc);
}

bool RunsFrom(const char *folder)
{
    PathBuffer self, own, full;
    char *name;
    DWORD length = GetModuleFileNameA(NULL, self, PathSize);

    if (!folder[0] || length == 0 || length >= PathSize || !GetFullPathNameA(self, PathSize, own, &name) || !name)
        return false;
    name[-1] = 0;                           // the folder it runs from
    length = GetFullPathNameA(folder, PathSize, full, &name);
    if (length == 0 || length >= PathSize)
        return false;
    TrimTrailingBackslashes(full);
    return lstrcmpiA(own, full) == 0;
}

bool RunsFromWindowsFolder()
{
    PathBuffer windowsDir;

    return GetWindowsFolder(windowsDir) && RunsFrom(windowsDir);
}

// A copy of the uninstaller goes only when it is identical to the running
// one; when that one could not be read (`known` false), no copy can be told
// to be ours.  Another file under its name was never the installer's: kept.
static void RemoveUninstallerCopy(const char *copy, const InstalledFile &own, bool known)
{
    if (UninstallEntryNames(copy))      // left by the records: another installation's
        return;
    Likeness likeness = Compare(copy, own);

    if (!known && likeness != Gone)
        likeness = Unreadable;
    if (likeness == Same)
        RemoveUninstallerFile(copy);
    else if (likeness == Changed)
        NoteKept(copy);
    else if (likeness == Unreadable)
        NoteFailure(copy);
}

// The running uninstaller, and its copies in the Windows folder and in the
// install folder (where the installer leaves it when it could not register it).
void RemoveUninstaller()
{
    InstalledFile own;
    PathBuffer self;
    PathBuffer windowsDir;
    PathBuffer windowsCopy;
    PathBuffer folderCopy;
    bool known = SumSelf(self, own);

    if (!GetWindowsFolder(windowsDir) || !JoinPath(windowsDir, UninstallerFileName, windowsCopy))
        windowsCopy[0] = 0;
    if (windowsCopy[0] && lstrcmpiA(windowsCopy, self) != 0)
        RemoveUninstallerCopy(windowsCopy, own, known);
    if (g_installDir[0] && JoinPath(g_installDir, UninstallerFileName, folderCopy) &&
        lstrcmpiA(folderCopy, self) != 0 && lstrcmpiA(folderCopy, windowsCopy) != 0)
        RemoveUninstallerCopy(folderCopy, own, known);
    if (self[0])
        RemoveUninstallerFile(self);
}

// The folder goes only when nothing is left in it, and never when it is one
// the system or the user keeps.  When this uninstaller ran from it and
// waits for the restart there, the folder is put after it: at the restart it
// is removed if it is empty by then.
void RemoveInstallFolder()
{
    PathBuffer windowsDir;
    PathBuffer full;
    PathBuffer module;
    PathBuffer self;
    char *name;
    DWORD length = GetFullPathNameA(g_installDir, PathSize, full, &name);

    if (length == 0 || length >= PathSize || !GetWindowsFolder(windowsDir))
        return;
    TrimTrailingBackslashes(full);
    TrimTrailingBackslashes(windowsDir);
    if (IsKeptFolder(full))
        return;
    // A folder that is the current directory cannot be removed.
    SetCurrentDirectoryA(windowsDir);
    if (RemoveDirectoryA(g_installDir))
        return;
    length = GetModuleFileNameA(NULL, module, PathSize);
    if (length > 0 && length < PathSize && GetFullPathNameA(module, PathSize, self, &name) && name) {
        name[-1] = 0;                       // the folder it ran from
        if (lstrcmpiA(self, full) == 0)
            MoveFileExA(g_installDir, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
}
