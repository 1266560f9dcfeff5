#include "payload/libraries.h"
#include "payload/payload.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/text.h"

static const char StagingFileName[] = "data.tmp";

// Beside a file being replaced: its new bytes until they are complete, and the
// old file while the new one is moved in.
static const char NewSuffix[] = ".new";
static const char OldSuffix[] = ".old";

const BYTE *LoadPayload(WORD id, DWORD *size)
{
    *size = 0;
    HRSRC entry = FindResourceA(g_instance, MAKEINTRESOURCEA(id), "FILE");
    if (!entry)
        return 0;
    DWORD count = SizeofResource(g_instance, entry);
    HGLOBAL loaded = count ? LoadResource(g_instance, entry) : 0;
    const BYTE *bytes = loaded ? static_cast<const BYTE *>(LockResource(loaded)) : 0;
    if (!bytes) {
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    *size = count;
    return bytes;
}

const char *StagingFolder()
{
    return g_tempDir[0] ? g_tempDir : g_installDir;
}

// Removes a file of ours, read-only or not, keeping the error that led here.
static void Discard(const char *path)
{
    DWORD error = GetLastError();
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
    SetLastError(error);
}

// A new, empty file at `path` for writing.  A file of that name left by an
// earlier run goes first, so that the attributes asked for are the ones the
// file gets (some systems keep the old ones when a file is replaced).
static HANDLE CreateNewFile(const char *path, DWORD flags)
{
    Discard(path);
    return CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, flags, 0);
}

// Writes all `count` bytes with one call.  A short write is the disk filling
// up, which the system itself does not call an error.
static bool WriteWhole(HANDLE file, const BYTE *bytes, DWORD count)
{
    DWORD written = 0;
    if (!WriteFile(file, bytes, count, &written, 0))
        return false;
    if (written == count)
        return true;
    SetLastError(ERROR_DISK_FULL);
    return false;
}

static bool WriteNewFile(const BYTE *bytes, DWORD count, const char *path, DWORD flags)
{
    HANDLE file = CreateNewFile(path, flags);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool complete = WriteWhole(file, bytes, count);
    CloseHandle(file);
    if (!complete)
        Discard(path);
    return complete;
}

bool WriteBufferToFile(const BYTE *bytes, DWORD count, const char *path)
{
    return WriteNewFile(bytes, count, path, FILE_FLAG_SEQUENTIAL_SCAN);
}

bool StagePayload(WORD id, const char *folder, const char *name)
{
    DWORD size;
    const BYTE *bytes = LoadPayload(id, &size);
    PathBuffer path;
    return bytes && PathIn(folder, name, path) && WriteBufferToFile(bytes, size, path);
}

// The system error for an LZ32 failure that left none of its own: a short
// write (see WriteWhole), or an image that cannot be expanded.
static DWORD LzError(INT result)
{
    return result == LZERROR_WRITE ? ERROR_DISK_FULL : ERROR_INVALID_DATA;
}

// LZ32 works on file handles of the 16-bit kind; a Win32 file handle passes
// as one.  The paths never go through an OFSTRUCT, which holds 128 bytes.
static HFILE AsLzFile(HANDLE file)
{
    return static_cast<HFILE>(reinterpret_cast<INT_PTR>(file));
}

// Copies one file into a new one at `targetPath` through LZ32, expanding an
// SZDD image.
static bool ExpandFile(const char *sourcePath, const char *targetPath)
{
    HANDLE sourceFile = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, 0);
    if (sourceFile == INVALID_HANDLE_VALUE)
        return false;
    INT source = g_lz32.LZInit(AsLzFile(sourceFile));
    if (source < 0) {
        CloseHandle(sourceFile);
        SetLastError(LzError(source));
        return false;
    }
    HANDLE targetFile = CreateNewFile(targetPath, FILE_FLAG_SEQUENTIAL_SCAN);
    if (targetFile == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        g_lz32.LZClose(source);         // closes the source file too
        SetLastError(error);
        return false;
    }
    SetLastError(0);
    LONG copied = g_lz32.LZCopy(source, AsLzFile(targetFile));
    DWORD error = copied < 0 ? GetLastError() : 0;
    if (copied < 0 && error == 0)
        error = LzError(copied);
    g_lz32.LZClose(AsLzFile(targetFile));
    g_lz32.LZClose(source);
    if (copied >= 0)
        return true;
    Discard(targetPath);
    SetLastError(error);
    return false;
}

// Entry `id` expanded into a new file at `targetPath`, by way of "data.tmp" in
// the staging folder, which is deleted again.
static bool ExpandEntry(WORD id, const char *targetPath)
{
    const char *folder = StagingFolder();
    PathBuffer stagingPath;
    if (!PathIn(folder, StagingFileName, stagingPath) || !StagePayload(id, folder, StagingFileName))
        return false;
    bool expanded = ExpandFile(stagingPath, targetPath);
    // The caller reports the expansion's own error, not the clean-up's.
    Discard(stagingPath);
    return expanded;
}

bool ExpandPayload(WORD id, const char *folder, const char *name)
{
    PathBuffer targetPath;
    return PathIn(folder, name, targetPath) && ExpandEntry(id, targetPath);
}

// `path` with `suffix` after it: the name beside it that stages the new file
// or keeps the old one.
static bool Beside(const char *path, const char *suffix, PathBuffer out)
{
    if (CopyText(out, PathSize, path) && AppendText(out, PathSize, suffix))
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

bool PutInPlace(const char *stagedPath, const char *targetPath)
{
    PathBuffer oldPath;
    if (!Beside(targetPath, OldSuffix, oldPath)) {
        Discard(stagedPath);
        return false;
    }
    // The old file steps aside whole, attributes and all, and comes back if
    // the new one cannot take its name.
    Discard(oldPath);
    bool replacing = MoveFileA(targetPath, oldPath);
    if (!replacing && GetLastError() != ERROR_FILE_NOT_FOUND) {
        Discard(stagedPath);
        return false;
    }
    if (!MoveFileA(stagedPath, targetPath)) {
        DWORD error = GetLastError();
        if (replacing)
            MoveFileA(oldPath, targetPath);
        Discard(stagedPath);
        SetLastError(error);
        return false;
    }
    if (replacing)
        Discard(oldPath);
    return true;
}

bool InstallPayload(WORD id, const char *folder, const char *name)
{
    PathBuffer targetPath, stagedPath;
    return PathIn(folder, name, targetPath) && Beside(targetPath, NewSuffix, stagedPath) &&
           ExpandEntry(id, stagedPath) && PutInPlace(stagedPath, targetPath);
}

bool WritePayloadFile(WORD id, const char *folder, const char *name, bool readOnly)
{
    DWORD size;
    const BYTE *bytes = LoadPayload(id, &size);
    PathBuffer targetPath, stagedPath;
    if (!bytes || !PathIn(folder, name, targetPath) || !Beside(targetPath, NewSuffix, stagedPath))
        return false;
    // The staged file is new, so it takes the read-only attribute wherever it runs.
    DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (readOnly ? FILE_ATTRIBUTE_READONLY : 0);
    return WriteNewFile(bytes, size, stagedPath, flags) && PutInPlace(stagedPath, targetPath);
}
