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

// The system error for an LZ32 failure that left none of its own: an image
// that cannot be expanded.
static const DWORD LzError = ERROR_INVALID_DATA;

// LZ32 works on file handles of the 16-bit kind; a Win32 file handle passes
// as one.  The paths never go through an OFSTRUCT, which holds 128 bytes.
static HFILE AsLzFile(HANDLE file)
{
    return static_cast<HFILE>(reinterpret_cast<INT_PTR>(file));
}

// Expanded through this, a piece at a time: a large piece, as each write is
// a call into the system (the buffer takes no room in the program file).
// LZCopy would write 1000 bytes a call.
static BYTE s_chunk[65536];

// Expands the image that the handle `image` reads through LZ32 into a new
// file at `targetPath`, which must come out as the build made it: `size`
// bytes of CRC-32 `crc`, taken as the bytes pass.  `image` is closed.
static bool ExpandFile(HANDLE image, const char *targetPath, uint32_t size, uint32_t crc)
{
    INT source = g_lz32.LZInit(AsLzFile(image));
    if (source < 0) {
        CloseHandle(image);
        SetLastError(LzError);
        return false;
    }
    HANDLE target = CreateFileA(targetPath, GENERIC_WRITE, 0, 0, CREATE_NEW, FILE_FLAG_SEQUENTIAL_SCAN, 0);
    DWORD error = target == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    uint32_t found = 0, left = size;
    while (!error) {
        SetLastError(0);
        INT got = g_lz32.LZRead(source, reinterpret_cast<char *>(s_chunk), sizeof s_chunk);
        if (got < 0)
            error = GetLastError() ? GetLastError() : LzError;
        else if (got == 0)
            break;
        // More than the build made: nothing beyond `size` is written.
        else if (static_cast<uint32_t>(got) > left)
            error = ERROR_CRC;
        else if (!WriteWhole(target, s_chunk, got))
            error = GetLastError();
        else {
            found = Crc32(found, s_chunk, got);
            left -= got;
        }
    }
    g_lz32.LZClose(source);         // closes `image` too
    if (target == INVALID_HANDLE_VALUE) {
        SetLastError(error);
        return false;
    }
    if (!error && (left != 0 || found != crc))
        error = ERROR_CRC;
    CloseHandle(target);
    if (!error)
        return true;
    Discard(targetPath);
    SetLastError(error);
    return false;
}

// The staging file of the run's expansions, open from the first of them to
// EndStaging(), and its path.
static HANDLE s_staging = INVALID_HANDLE_VALUE;
static PathBuffer s_stagingPath;

const char *StagingPath()
{
    return s_stagingPath;
}

// The staging file is new, under the first free name of its kind (a file of
// that name is someone else's), and stays open, shared with nobody, through
// every expansion of the run: no other process can change it in between, in
// a temporary folder others can write to.  The system deletes it when it is
// closed, however the run ends.
static bool OpenStaging()
{
    char name[JournalNameSize];
    for (unsigned tag = 0; s_staging == INVALID_HANDLE_VALUE; ++tag) {
        if (tag == JournalTags || !TaggedName(StagingBaseName, TmpSuffix, tag, name, sizeof name) ||
            !PathIn(StagingFolder(), name, s_stagingPath))
            return false;
        s_staging = CreateFileA(s_stagingPath, GENERIC_READ | GENERIC_WRITE, 0, 0, CREATE_NEW,
                                FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_DELETE_ON_CLOSE, 0);
        if (s_staging == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return true;
}

void EndStaging()
{
    if (s_staging != INVALID_HANDLE_VALUE)
        CloseHandle(s_staging);
    s_staging = INVALID_HANDLE_VALUE;
}

bool ExpandEntry(WORD id, const char *path, uint32_t size, uint32_t crc, bool &stagingFailed)
{
    stagingFailed = true;
    DWORD count;
    const BYTE *bytes = LoadPayload(id, &count);
    if (!bytes || !OpenStaging())
        return false;
    // The image replaces the last one whole: LZ32 expands to the end of the
    // file, whatever the image's header says.  LZ32 closes the handle it is
    // given, so it is given a second one.
    HANDLE image;
    bool staged = SetFilePointer(s_staging, 0, 0, FILE_BEGIN) == 0 && WriteWhole(s_staging, bytes, count) &&
                  SetEndOfFile(s_staging) && SetFilePointer(s_staging, 0, 0, FILE_BEGIN) == 0 &&
                  DuplicateHandle(GetCurrentProcess(), s_staging, GetCurrentProcess(), &image, 0, FALSE,
                                  DUPLICATE_SAME_ACCESS);
    if (!staged)
        return false;
    stagingFailed = false;
    return ExpandFile(image, path, size, crc);
}
