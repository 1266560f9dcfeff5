#include <windows.h>
#include "payload/journal.h"
#include "payload/staging_names.h"
#include "setup/crc32.h"
#include "setup/files.h"
#include "setup/text.h"

// The journal's bytes, written or read back.
static unsigned char s_bytes[JournalBytes];

bool RowPaths(const char *folder, const JournalRow &row, char *target, char *staged, char *aside)
{
    return PathIn(folder, row.target, target) && PathIn(folder, row.staged, staged) &&
           PathIn(folder, row.aside, aside);
}

static bool JournalPath(const char *folder, PathBuffer path)
{
    return PathIn(folder, JournalFileName, path);
}

bool BeginJournal(const char *folder)
{
    PathBuffer path;
    DWORD count = static_cast<DWORD>(EncodeJournal(s_bytes, sizeof s_bytes));
    if (!JournalPath(folder, path))
        return false;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool whole = WriteFile(file, s_bytes, count, &written, 0) && FlushFileBuffers(file);
    DWORD error = written == count ? GetLastError() : ERROR_DISK_FULL;
    CloseHandle(file);
    if (whole && written == count)
        return true;
    DeleteFileA(path);
    SetLastError(error);
    return false;
}

void EndJournal(const char *folder)
{
    PathBuffer path;
    if (JournalPath(folder, path))
        DeleteFileA(path);
}

static bool Exists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool RollBack(const char *folder)
{
    PathBuffer target, staged, aside;
    bool undone = true;
    for (int row = 0; row < g_journalRows; ++row) {
        const JournalRow &entry = g_journal[row];
        if (!RowPaths(folder, entry, target, staged, aside))
            continue;
        if (entry.attributes != NoFile && Exists(aside)) {
            // A new file is read-only where the release makes it so, and a
            // read-only file cannot be replaced.
            SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
            if (MoveFileExA(aside, target, MOVEFILE_REPLACE_EXISTING) ||
                (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && RemoveFile(target) && MoveFileA(aside, target)))
                // Not yet replaced, the aside is a second name of the file
                // itself, and a rename onto it may keep both.
                DeleteFileA(aside);
            else
                undone = false;
        } else if (entry.attributes == NoFile && !Exists(staged)) {
            undone &= RemoveFile(target);   // it had taken the name
        }
        if (entry.attributes != NoFile && !(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            SetFileAttributesA(target, entry.attributes);
    }
    for (int row = 0; row < g_journalRows; ++row)
        if (RowPaths(folder, g_journal[row], target, staged, aside))
            undone &= RemoveFile(staged);
    return undone;
}

bool RollForward(const char *folder)
{
    PathBuffer target, staged, aside;
    bool done = true;
    for (int row = 0; row < g_journalRows; ++row)
        if (g_journal[row].attributes != NoFile && RowPaths(folder, g_journal[row], target, staged, aside))
            done &= RemoveFile(aside);
    return done;
}

void RecoverFolder(const char *folder)
{
    PathBuffer path, target, staged, aside;
    if (!JournalPath(folder, path))
        return;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD count = 0;
    bool read = ReadFile(file, s_bytes, sizeof s_bytes, &count, 0);
    CloseHandle(file);
    JournalState state = read ? DecodeJournal(s_bytes, count) : NotAJournal;
    if (state == NotAJournal)
        return;
    bool named = true;
    for (int row = 0; row < g_journalRows; ++row)
        if (RowPaths(folder, g_journal[row], target, staged, aside) && Exists(staged))
            named = false;
    if (state == TornJournal || (named ? RollForward(folder) : RollBack(folder)))
        EndJournal(folder);
}

bool UninstallerTempName(const char *folder, unsigned number, PathBuffer out)
{
    char name[] = "qmk0000.tmp";
    for (int digit = 6; digit >= 3; --digit, number >>= 4)
        name[digit] = "0123456789ABCDEF"[number & 15];
    return PathIn(folder, name, out);
}

// Whether the file at `path` holds `size` bytes of CRC-32 `crc`.
static bool HoldsBytes(const char *path, uint32_t size, uint32_t crc)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0, got;
    bool same = GetFileSize(file, &high) == size && high == 0;
    uint32_t found = 0;
    while (same && ReadFile(file, s_bytes, sizeof s_bytes, &got, 0) && got)
        found = Crc32(found, s_bytes, got);
    CloseHandle(file);
    return same && found == crc;
}

void ClearUninstallerCopies(const char *folder, uint32_t size, uint32_t crc)
{
    PathBuffer path;
    WIN32_FIND_DATAA found;
    // The name alone proves nothing (other programs' temporary files are
    // named alike); the bytes do.
    HANDLE search = PathIn(folder, "qmk????.tmp", path) ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.nFileSizeLow != size || found.nFileSizeHigh ||
            !PathIn(folder, found.cFileName, path) || !HoldsBytes(path, size, crc))
            continue;
        if (!RemoveFile(path))
            MoveFileExA(path, 0, MOVEFILE_DELAY_UNTIL_REBOOT);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
