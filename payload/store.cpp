#include "payload/libraries.h"
#include "payload/payload.h"
#include "payload/staging_names.h"
#include "payload/writers.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/text.h"

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

void Discard(const char *path)
{
    DWORD error = GetLastError();
    // A read-only file is refused until its attribute goes.
    if (!DeleteFileA(path) && GetLastError() == ERROR_ACCESS_DENIED) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    }
    SetLastError(error);
}

// A new, empty file at `path` for writing.  No file of that name is there
// (the install cleared what an earlier run left), so the attributes asked for
// are the ones it gets: some systems keep a replaced file's own.
static HANDLE CreateNewFile(const char *path, DWORD flags)
{
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

bool WriteEntry(WORD id, const char *path, bool readOnly)
{
    DWORD size;
    const BYTE *bytes = LoadPayload(id, &size);
    return bytes && WriteNewFile(bytes, size, path,
                                 FILE_FLAG_SEQUENTIAL_SCAN | (readOnly ? FILE_ATTRIBUTE_READONLY : 0));
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

bool ExpandEntry(WORD id, const char *path)
{
    PathBuffer stagingPath;
    if (!PathIn(StagingFolder(), StagingFileName, stagingPath) || !WriteEntry(id, stagingPath, false))
        return false;
    bool expanded = ExpandFile(stagingPath, path);
    // The caller reports the expansion's own error, not the clean-up's.
    Discard(stagingPath);
    return expanded;
}
