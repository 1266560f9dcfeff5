#include "payload/libraries.h"
#include "payload/payload.h"
#include "payload/journal_format.h"
#include "payload/staging_names.h"
#include "payload/writers.h"
#include "setup/crc32.h"
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
    RemoveFile(path);
    SetLastError(error);
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

bool WriteEntry(WORD id, const char *path, bool readOnly)
{
    DWORD size;
    const BYTE *bytes = LoadPayload(id, &size);
    if (!bytes)
        return false;
    // A new file: the name is one the run chose free, and the attributes asked
    // for are the ones it gets (some systems keep a replaced file's own).
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_NEW,
                              FILE_FLAG_SEQUENTIAL_SCAN | (readOnly ? FILE_ATTRIBUTE_READONLY : 0), 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool complete = WriteWhole(file, bytes, size);
    CloseHandle(file);
    if (!complete)
        Discard(path);
    return complete;
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

// Read back through this, a piece at a time: a large piece, as each read is
// a call into the system (the buffer takes no room in the program file).
static BYTE s_chunk[65536];

// Whether the open file `file` holds `size` bytes of CRC-32 `crc`: 0 when it
// does, else the error to report.
static DWORD CheckAsBuilt(HANDLE file, uint32_t size, uint32_t crc)
{
    DWORD high = 0;
    if (GetFileSize(file, &high) != size || high != 0 || SetFilePointer(file, 0, 0, FILE_BEGIN) != 0)
        return ERROR_CRC;
    uint32_t found = 0;
    DWORD got;
    do {
        if (!ReadFile(file, s_chunk, sizeof s_chunk, &got, 0))
            return GetLastError();
        found = Crc32(found, s_chunk, got);
    } while (got);
    return found == crc ? 0 : ERROR_CRC;
}

// Expands the open file `staging` through LZ32 into a new file at
// `targetPath`, which must come out as the build made it; `staging` is closed.
static bool ExpandFile(HANDLE staging, const char *targetPath, uint32_t size, uint32_t crc)
{
    INT source = g_lz32.LZInit(AsLzFile(staging));
    if (source < 0) {
        CloseHandle(staging);
        SetLastError(LzError(source));
        return false;
    }
    HANDLE target = CreateFileA(targetPath, GENERIC_READ | GENERIC_WRITE, 0, 0, CREATE_NEW,
                                FILE_FLAG_SEQUENTIAL_SCAN, 0);
    if (target == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        g_lz32.LZClose(source);         // closes the staging file too
        SetLastError(error);
        return false;
    }
    SetLastError(0);
    LONG copied = g_lz32.LZCopy(source, AsLzFile(target));
    DWORD error = copied < 0 ? GetLastError() : 0;
    if (copied < 0 && error == 0)
        error = LzError(copied);
    g_lz32.LZClose(source);
    if (!error)
        error = CheckAsBuilt(target, size, crc);
    CloseHandle(target);
    if (!error)
        return true;
    Discard(targetPath);
    SetLastError(error);
    return false;
}

// The staging file of the expansion at hand, or of the last one.
static PathBuffer s_stagingPath;

const char *StagingPath()
{
    return s_stagingPath;
}

bool ExpandEntry(WORD id, const char *path, uint32_t size, uint32_t crc, bool &stagingFailed)
{
    stagingFailed = true;
    DWORD count;
    const BYTE *bytes = LoadPayload(id, &count);
    if (!bytes)
        return false;
    // The staging file is new, under the first free name of its kind (a file
    // of that name is someone else's), and stays open, shared with nobody,
    // from its first byte to the end of its expansion: no other process can
    // change it in between, in a temporary folder others can write to.  The
    // system deletes it when it is closed, however the run ends.
    char name[JournalNameSize];
    HANDLE staging = INVALID_HANDLE_VALUE;
    for (unsigned tag = 0; staging == INVALID_HANDLE_VALUE && tag < JournalTags; ++tag) {
        if (!TaggedName(StagingBaseName, TmpSuffix, tag, name, sizeof name) ||
            !PathIn(StagingFolder(), name, s_stagingPath))
            return false;
        staging = CreateFileA(s_stagingPath, GENERIC_READ | GENERIC_WRITE, 0, 0, CREATE_NEW,
                              FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_DELETE_ON_CLOSE, 0);
        if (staging == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    if (staging == INVALID_HANDLE_VALUE)
        return false;
    if (WriteWhole(staging, bytes, count) && SetFilePointer(staging, 0, 0, FILE_BEGIN) == 0) {
        stagingFailed = false;
        return ExpandFile(staging, path, size, crc);
    }
    DWORD error = GetLastError();
    CloseHandle(staging);
    SetLastError(error);
    return false;
}
