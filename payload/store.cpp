#include "payload/expand.h"
#include "payload/payload.h"
#include "payload/writers.h"
#include "setup/crc32.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "stored_sums.h"

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

// A new file at `path` (the name is one the run chose free) holding the
// `count` bytes, with the attributes asked for (some systems keep a replaced
// file's own, which is why the file is new), or none at all.
static bool WriteNewFile(const char *path, const BYTE *bytes, DWORD count, DWORD attributes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_NEW, FILE_FLAG_SEQUENTIAL_SCAN | attributes, 0);
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
    return bytes && WriteNewFile(path, bytes, size, readOnly ? FILE_ATTRIBUTE_READONLY : 0);
}

// An expanded file is held whole here until it has been checked: it takes
// no room in the program file, and only the pages written are ever used.
static BYTE s_expanded[LARGEST_EXPANDED_SIZE];

bool ExpandEntry(WORD id, const char *path, uint32_t size, uint32_t crc)
{
    DWORD count;
    const BYTE *image = LoadPayload(id, &count);
    if (!image)
        return false;
    // Nothing is written unless it came out as the build made it; more than
    // the build made is not even expanded.
    if (size > sizeof s_expanded || ExpandImage(image, count, s_expanded, size) != size ||
        Crc32(0, s_expanded, size) != crc) {
        SetLastError(ERROR_CRC);
        return false;
    }
    return WriteNewFile(path, s_expanded, size, 0);
}
