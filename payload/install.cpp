// The files of the install folder, written all or nothing.  Every file is
// first staged complete beside its name; only when all are does each take
// its name, the file it replaces set aside until every one has.  A failure
// anywhere undoes the run's file work, so the folder holds the release it
// held before, or this one, never a mixture.
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "payload/staging_names.h"
#include "payload/writers.h"
#include "setup/errors.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/text.h"

// The files of the install folder in the order they are written: the
// program, then the table's rows.
static const PayloadEntry s_folderFiles[] = {{MAIN_PROGRAM_NAME, MainProgramEntry, Expand, false}, MANIFEST_ROWS};
enum { ProgramFile = 0, FolderFiles = sizeof s_folderFiles / sizeof s_folderFiles[0] };
static_assert(FolderFiles == 1 + ManifestRows, "the program and every row of the table");

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
// A file known to be absent needs no moving aside.
enum : unsigned char { Absent = 1, Staged = 2, SetAside = 4, InPlace = 8 };

static bool Stage(const PayloadEntry &entry, const Places &places, unsigned char &state)
{
    bool staged = entry.method == Expand ? ExpandEntry(entry.id, places.staged)
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
    state &= Absent;
}

// Once every file has its name, the ones they replaced go.
static void Finish(const Places &places, unsigned char &state)
{
    if (state & SetAside)
        Discard(places.aside);
    state &= Absent;
}

// Writes the `count` files of `entries` into `folder`: all, or none with the
// folder as it was.  False with the last error of the failure, the file that
// failed in `failed` and whether it failed taking its name.
static bool WriteAll(const char *folder, const PayloadEntry *entries, int count, unsigned char *state,
                     int &failed, bool &committing)
{
    Places places;
    committing = false;
    for (failed = 0; failed < count; ++failed)
        if (!PlacesOf(folder, entries[failed], places) || !Stage(entries[failed], places, state[failed]))
            break;
    if (failed == count) {
        committing = true;
        for (failed = 0; failed < count; ++failed)
            if (!PlacesOf(folder, entries[failed], places) || !Commit(places, state[failed]))
                break;
    }
    bool complete = failed == count;
    DWORD error = GetLastError();
    for (int file = 0; file < count; ++file)
        if (PlacesOf(folder, entries[file], places))
            complete ? Finish(places, state[file]) : Undo(places, state[file]);
    SetLastError(error);
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
    const PayloadEntry entry = {name, id, Expand, false};
    Places places;
    if (!PlacesOf(folder, entry, places))
        return false;
    ClearLeftovers(places);
    unsigned char state = 0;
    int failed;
    bool committing;
    return WriteAll(folder, &entry, 1, &state, failed, committing);
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
    unsigned long left = 0, present = 0;
    Places places;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (lstrcmpiA(found.cFileName, StagingFileName) == 0)
            left |= 1ul << FolderFiles;
        for (int file = 0; file < FolderFiles; ++file) {
            if (!PlacesOf(g_installDir, s_folderFiles[file], places))
                continue;
            if (Names(found, places.staged) || Names(found, places.aside))
                left |= 1ul << file;
            if (Names(found, places.target))
                present |= 1ul << file;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);

    for (int file = 0; file < FolderFiles; ++file) {
        if ((left & (1ul << file)) && PlacesOf(g_installDir, s_folderFiles[file], places)) {
            ClearLeftovers(places);
            present |= 1ul << file;         // it may have come back
        }
        state[file] = (present & (1ul << file)) ? 0 : Absent;
    }
    if ((left & (1ul << FolderFiles)) && PathIn(g_installDir, StagingFileName, path))
        Discard(path);
}

// The box for a failure of `file`, once the folder is as it was.
static void ReportFailure(int file, bool committing, DWORD error)
{
    if (file == ProgramFile) {
        ReportSystemError(error, committing ? ProgramNotMoved : ProgramNotExpanded);
        return;
    }
    PathBuffer path;
    JoinPath(g_installDir, s_folderFiles[file].name, path);
    ReportSystemError(error, FileNotWritten, path);
}

bool InstallFiles()
{
    static unsigned char s_state[FolderFiles];
    ClearFolderLeftovers(s_state);
    if (!MayReplaceProgram())
        return false;
    int failed;
    bool committing;
    if (WriteAll(g_installDir, s_folderFiles, FolderFiles, s_state, failed, committing))
        return true;
    ReportFailure(failed, committing, GetLastError());
    return false;
}
