// The files of the install folder, written all or nothing.  Every file that
// replaces one is first staged complete beside its name, and so is the
// first file of a run, the program; only when all are written does each
// staged file take its name, the file it replaces kept aside until every
// one has.  A file where there was none is written under its own name
// (there is nothing to keep whole there, and a rename is saved), while the
// staged first file stands for the run not yet complete.  A failure
// anywhere undoes the run's file work, so the folder holds the release it
// held before, or this one, never a mixture.  The names the run makes are
// listed in its journal first (payload/journal.h), so that a run stopped at
// any moment is finished or undone by the next, and only those are touched.
#include "payload/installed_files.h"
#include "payload/journal.h"
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "payload/staging_names.h"
#include "payload/writers.h"
#include "setup/errors.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/text.h"
#include "stored_sums.h"

// The files of the install folder in the order they are written: the
// program, then the table's rows.  Each comes out with the size and CRC-32
// of its row in payload/installed_files.h.
static const PayloadEntry s_folderFiles[] = {{MAIN_PROGRAM_NAME, MainProgramEntry, Expand, false}, MANIFEST_ROWS};
enum { ProgramFile = 0, FolderFiles = sizeof s_folderFiles / sizeof s_folderFiles[0] };
static_assert(int(FolderFiles) == int(InstalledFileCount), "the program and every row of the table");
static_assert(int(FolderFiles) <= int(JournalRows), "a journal has a row for each file");

bool IsReleaseFile(const char *name)
{
    for (const PayloadEntry &entry : s_folderFiles)
        if (TagOf(name, entry.name, "") == 0)
            return true;
    return TagOf(name, UninstallerFileName, "") == 0;
}

// A file that could not be written, once the folder is as it was: which,
// whether it failed taking its name, whether at the journal, and the
// system's error.
struct Failure {
    int file;
    bool committing;
    bool journal;
    DWORD error;
};

// The first tag of `base` and `suffix` that no name in `taken` has.
static bool FreeName(unsigned taken, const char *base, const char *suffix, char *out)
{
    for (unsigned tag = 0; tag < JournalTags; ++tag)
        if (!(taken & (1u << tag)))
            return TaggedName(base, suffix, tag, out, JournalNameSize);
    SetLastError(ERROR_FILE_EXISTS);
    return false;
}

// Looks once at the files of `folder` that `pattern` finds, and makes the
// journal of writing `entries` there: what each replaces (its attributes),
// and for its staged and set-aside copies the first names no file there has.
static bool PlanRun(const char *folder, const char *pattern, const PayloadEntry *entries, int count)
{
    static_assert(JournalTags <= 16, "a bit for each tag");
    unsigned short stagedTaken[JournalRows] = {}, asideTaken[JournalRows] = {};
    g_journalRows = count;
    for (int file = 0; file < count; ++file) {
        CopyText(g_journal[file].target, JournalNameSize, entries[file].name);
        g_journal[file].attributes = NoFile;
    }
    PathBuffer path;
    WIN32_FIND_DATAA found;
    HANDLE search = PathIn(folder, pattern, path) ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            for (int file = 0; file < count; ++file) {
                JournalRow &row = g_journal[file];
                const char *base, *suffix;
                StagedNameParts(row.target, &base, &suffix);
                if (TagOf(found.cFileName, row.target, "") == 0)
                    row.attributes = found.dwFileAttributes;
                int tag = TagOf(found.cFileName, base, suffix);
                if (tag >= 0)
                    stagedTaken[file] |= 1u << tag;
                tag = TagOf(found.cFileName, row.target, OldSuffix);
                if (tag >= 0)
                    asideTaken[file] |= 1u << tag;
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    for (int file = 0; file < count; ++file) {
        JournalRow &row = g_journal[file];
        const char *base, *suffix;
        StagedNameParts(row.target, &base, &suffix);
        if (!FreeName(stagedTaken[file], base, suffix, row.staged) ||
            !FreeName(asideTaken[file], row.target, OldSuffix, row.aside))
            return false;
    }
    return true;
}

// Whether row `file` of the run is written under its own name rather than
// staged: a file where there was none, after the first.  A recovery finds
// the run incomplete for as long as the first row's staged copy is there
// (RecoverFolder), which it is until the commits begin, once every file is
// written.
static bool WrittenInPlace(int file)
{
    return file > 0 && g_journal[file].attributes == NoFile;
}

static bool Stage(const char *folder, const PayloadEntry &entry, int file, uint32_t size, uint32_t crc)
{
    const JournalRow &row = g_journal[file];
    PathBuffer target, staged, aside;
    if (!RowPaths(folder, row, target, staged, aside))
        return false;
    // A folder under the file's name is in its way.
    if (row.attributes != NoFile && (row.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    const char *path = WrittenInPlace(file) ? target : staged;
    return entry.method == Expand ? ExpandEntry(entry.id, path, size, crc)
                                  : WriteEntry(entry.id, path, entry.readOnly);
}

typedef BOOL(WINAPI *CreateHardLinkFunction)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);
// Windows before 2000 has no such call.
static CreateHardLinkFunction s_createHardLink;

// The new file takes its name in one step, replacing the old one, which
// keeps a second name, the aside, for the roll-back: the name holds a whole
// file at every moment.  Where the file system has no hard links (FAT, as on
// a USB stick), or the system no such calls, the old file moves aside first,
// and the name is free for a moment.  A read-only file cannot be replaced;
// its attribute is cleared for both of its names, and the journal keeps it.
static bool Commit(const char *folder, const JournalRow &row)
{
    PathBuffer target, staged, aside;
    if (!RowPaths(folder, row, target, staged, aside))
        return false;
    bool linked = false;
    if (row.attributes != NoFile) {
        if (row.attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesA(target, row.attributes & ~FILE_ATTRIBUTE_READONLY);
        // A file another program holds open cannot be replaced, yet it can
        // be given a second name, which could not go again while it is held:
        // so that is asked first.
        HANDLE held = CreateFileA(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0,
                                  OPEN_EXISTING, 0, 0);
        if (held == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
            return false;
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        linked = s_createHardLink && s_createHardLink(aside, target, 0);
        if (!linked && !MoveFileA(target, aside) && GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
    }
    if (MoveFileExA(staged, target, MOVEFILE_REPLACE_EXISTING) ||
        (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && MoveFileA(staged, target)))
        return true;
    // The old file was not replaced (held open, say): its second name goes
    // again, so that the roll-back finds only what did take a name.
    if (linked)
        Discard(aside);
    return false;
}

// Writes the `count` files of `entries` into `folder`, expanded ones checked
// against `sizes` and `crcs`: all, or none with the folder as it was and the
// last error and `failure` saying why.  Only the files that `pattern` finds
// in the folder are looked at.
static bool WriteAll(const char *folder, const char *pattern, const PayloadEntry *entries, const uint32_t *sizes,
                     const uint32_t *crcs, int count, Failure &failure)
{
    int &file = failure.file;
    failure.committing = false;
    failure.journal = true;
    file = 0;
    if (!PlanRun(folder, pattern, entries, count) || !BeginJournal(folder)) {
        failure.error = GetLastError();
        return false;
    }
    failure.journal = false;
    for (; file < count; ++file)
        if (!Stage(folder, entries[file], file, sizes[file], crcs[file]))
            break;
    if (file == count) {
        failure.committing = true;
        s_createHardLink = reinterpret_cast<CreateHardLinkFunction>(
            reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("KERNEL32"), "CreateHardLinkA")));
        for (file = 0; file < count; ++file)
            if (!WrittenInPlace(file) && !Commit(folder, g_journal[file]))
                break;
    }
    bool complete = file == count;
    failure.error = GetLastError();
    // The journal stays where the folder could not be put right: the next
    // run finishes that.
    if (complete ? RollForward(folder) : RollBack(folder))
        EndJournal(folder);
    SetLastError(failure.error);
    return complete;
}

bool InstallPayload(WORD id, const char *folder, const char *name)
{
    PayloadEntry entry = {"", id, Expand, false};
    PathBuffer pattern;
    if (!CopyText(entry.name, sizeof entry.name, name) || !CopyText(pattern, PathSize, name) ||
        !AppendText(pattern, PathSize, "*")) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    // As the build made the file of that entry: the uninstaller, or a file of the folder.
    uint32_t size = UNINSTALLER_SIZE, crc = UNINSTALLER_CRC;
    for (int file = 0; file < FolderFiles; ++file)
        if (s_folderFiles[file].id == id) {
            size = g_installedSizes[file];
            crc = g_installedCrcs[file];
        }
    RecoverFolder(folder);
    Failure failure;
    return WriteAll(folder, pattern, &entry, &size, &crc, 1, failure);
}

// The box for a failure, once the folder is as it was: 34 or 37 for the
// program, 35 for any other file, naming the file that failed, the journal
// or the one in the install folder.
static void ReportFailure(const Failure &failure)
{
    PathBuffer path;
    if (failure.journal)
        PathIn(g_installDir, JournalFileName, path);
    else
        PathIn(g_installDir, s_folderFiles[failure.file].name, path);
    const SystemTextMessage &message = failure.file != ProgramFile || failure.journal ? FileNotWritten
                                       : failure.committing                           ? ProgramNotMoved
                                                                                      : ProgramNotExpanded;
    ReportSystemError(failure.error, message, path);
}

bool InstallFiles()
{
    // A stopped run is put right first: that brings back the program it
    // replaced, to be judged.  Nothing else happens before the judgement.
    RecoverFolder(g_installDir);
    if (!MayReplaceProgram())
        return false;
    Failure failure;
    if (WriteAll(g_installDir, "*", s_folderFiles, g_installedSizes, g_installedCrcs, FolderFiles, failure))
        return true;
    ReportFailure(failure);
    return false;
}
