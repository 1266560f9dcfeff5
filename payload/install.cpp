// The files of the install folder, written all or nothing.  Every file is
// first staged complete beside its name; only when all are does each take
// its name, the file it replaces set aside until every one has.  A failure
// anywhere undoes the run's file work, so the folder holds the release it
// held before, or this one, never a mixture.
#include "payload/installed_files.h"
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

// Where a file goes, where it is staged, and where the file it replaces
// waits meanwhile.
struct Places {
    PathBuffer target, staged, aside;
};

// `path` with `suffix` after it.
static bool Beside(const char *path, const char *suffix, PathBuffer out)
{
    if (CopyText(out, PathSize, path) && AppendText(out, PathSize, suffix))
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

static bool PlacesOf(const char *folder, const PayloadEntry &entry, Places &places)
{
    bool program = entry.id == MainProgramEntry;
    return PathIn(folder, entry.name, places.target) &&
           (program ? PathIn(folder, ImageFileName, places.staged) : Beside(places.target, NewSuffix, places.staged)) &&
           Beside(places.target, OldSuffix, places.aside);
}

// What is known and what has been done of a file, so that it can be undone.
// A file known to be absent needs no moving aside; a folder of its name is
// in its way, and is a failure of that file.
enum : unsigned char { Absent = 1, FolderInTheWay = 2, Staged = 4, SetAside = 8, InPlace = 16 };

// A file that could not be written, once the folder is as it was: which,
// whether it failed taking its name, whether at the staging file of
// expanded entries, and the system's error.
struct Failure {
    int file;
    bool committing;
    bool stagingFile;
    DWORD error;
};

static bool Stage(const PayloadEntry &entry, uint32_t size, uint32_t crc, const Places &places,
                  unsigned char &state, Failure &failure)
{
    if (state & FolderInTheWay) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    bool staged = entry.method == Expand ? ExpandEntry(entry.id, places.staged, size, crc, failure.stagingFile)
                                         : WriteEntry(entry.id, places.staged, entry.readOnly);
    if (staged)
        state |= Staged;
    return staged;
}

// The old file steps aside whole, attributes and all; the new one takes its name.
static bool Commit(const Places &places, unsigned char &state)
{
    if (!(state & Absent)) {
        if (MoveFileA(places.target, places.aside))
            state |= SetAside;
        else if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
    }
    if (!MoveFileA(places.staged, places.target))
        return false;
    state |= InPlace;
    return true;
}

// Puts back what was there before, and removes what the run wrote.
static void Undo(const Places &places, unsigned char &state)
{
    if (state & InPlace)
        Discard(places.target);
    else if (state & Staged)
        Discard(places.staged);
    if (state & SetAside)
        MoveFileA(places.aside, places.target);
    state &= Absent | FolderInTheWay;
}

// Once every file has its name, the ones they replaced go.
static void Finish(const Places &places, unsigned char &state)
{
    if (state & SetAside)
        Discard(places.aside);
    state &= Absent | FolderInTheWay;
}

// Writes the `count` files of `entries` into `folder`, expanded ones checked
// against `sizes` and `crcs`: all, or none with the folder as it was and the
// last error and `failure` saying why.
static bool WriteAll(const char *folder, const PayloadEntry *entries, const uint32_t *sizes,
                     const uint32_t *crcs, int count, unsigned char *state, Failure &failure)
{
    Places places;
    int &file = failure.file;
    failure.committing = failure.stagingFile = false;
    for (file = 0; file < count; ++file)
        if (!PlacesOf(folder, entries[file], places) ||
            !Stage(entries[file], sizes[file], crcs[file], places, state[file], failure))
            break;
    if (file == count) {
        failure.committing = true;
        for (file = 0; file < count; ++file)
            if (!PlacesOf(folder, entries[file], places) || !Commit(places, state[file]))
                break;
    }
    bool complete = file == count;
    failure.error = GetLastError();
    for (int each = 0; each < count; ++each)
        if (PlacesOf(folder, entries[each], places))
            complete ? Finish(places, state[each]) : Undo(places, state[each]);
    SetLastError(failure.error);
    return complete;
}

// What a run stopped part-way left of a file: its staged copy goes; the
// file it had set aside comes back where its own name is free, and goes
// where the run had already put the new file there.
static void ClearLeftovers(const Places &places)
{
    Discard(places.staged);
    if (!MoveFileA(places.aside, places.target))
        Discard(places.aside);
}

bool InstallPayload(WORD id, const char *folder, const char *name)
{
    PayloadEntry entry = {"", id, Expand, false};
    CopyText(entry.name, sizeof entry.name, name);
    // As the build made the file of that entry: the uninstaller, or a file of the folder.
    uint32_t size = UNINSTALLER_SIZE, crc = UNINSTALLER_CRC;
    for (int file = 0; file < FolderFiles; ++file)
        if (s_folderFiles[file].id == id) {
            size = g_installedSizes[file];
            crc = g_installedCrcs[file];
        }
    Places places;
    if (!PlacesOf(folder, entry, places))
        return false;
    ClearLeftovers(places);
    DWORD attributes = GetFileAttributesA(places.target);
    unsigned char state =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FolderInTheWay : 0;
    Failure failure;
    return WriteAll(folder, &entry, &size, &crc, 1, &state, failure);
}

// Whether the file `found` is named `path`'s last part, in any case.
static bool Names(const WIN32_FIND_DATAA &found, const char *path)
{
    const char *name = path;
    for (const char *at = path; *at; at = NextChar(at))
        if (*at == '\\')
            name = at + 1;
    return lstrcmpiA(found.cFileName, name) == 0;
}

// The same for the install folder, read once first: only the files of ours
// that a stopped run left are acted on, and the staging file of expanded
// entries, when it was in the install folder, goes too.  Files of the
// release that are not there are marked in `state`.
static void ClearFolderLeftovers(unsigned char *state)
{
    PathBuffer path;
    WIN32_FIND_DATAA found;
    ClearBytes(state, FolderFiles);         // nothing known yet
    HANDLE search = PathIn(g_installDir, "*", path) ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE)
        return;
    static_assert(FolderFiles < 32, "a bit for each file, and one for the staging file");
    unsigned long left = 0, present = 0, inTheWay = 0;
    Places places;
    do {
        bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (!folder && lstrcmpiA(found.cFileName, StagingFileName) == 0)
            left |= 1ul << FolderFiles;
        for (int file = 0; file < FolderFiles; ++file) {
            if (!PlacesOf(g_installDir, s_folderFiles[file], places))
                continue;
            if (!folder && (Names(found, places.staged) || Names(found, places.aside)))
                left |= 1ul << file;
            if (Names(found, places.target))
                (folder ? inTheWay : present) |= 1ul << file;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);

    for (int file = 0; file < FolderFiles; ++file) {
        if ((left & (1ul << file)) && PlacesOf(g_installDir, s_folderFiles[file], places)) {
            ClearLeftovers(places);
            present |= 1ul << file;         // it may have come back
        }
        state[file] = (inTheWay & (1ul << file)) ? FolderInTheWay : (present & (1ul << file)) ? 0 : Absent;
    }
    if ((left & (1ul << FolderFiles)) && PathIn(g_installDir, StagingFileName, path))
        Discard(path);
}

// The box for a failure, once the folder is as it was: 34 or 37 for the
// program, 35 for any other file, naming the file that failed, the staging
// file or the one in the install folder.
static void ReportFailure(const Failure &failure)
{
    PathBuffer path;
    if (failure.stagingFile)
        PathIn(StagingFolder(), StagingFileName, path);
    else
        PathIn(g_installDir, s_folderFiles[failure.file].name, path);
    const SystemTextMessage &message = failure.file != ProgramFile ? FileNotWritten
                                       : failure.committing        ? ProgramNotMoved
                                                                   : ProgramNotExpanded;
    ReportSystemError(failure.error, message, path);
}

bool InstallFiles()
{
    static unsigned char s_state[FolderFiles];
    ClearFolderLeftovers(s_state);
    if (!MayReplaceProgram())
        return false;
    Failure failure;
    if (WriteAll(g_installDir, s_folderFiles, g_installedSizes, g_installedCrcs, FolderFiles, s_state, failure))
        return true;
    ReportFailure(failure);
    return false;
}
