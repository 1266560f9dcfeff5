#include "payload/payload.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include <lzexpand.h>

static const char StagingFileName[] = "data.tmp";

const BYTE *LoadPayload(WORD id, DWORD *size)
{
    *size = 0;
    HRSRC entry = FindResourceA(g_instance, MAKEINTRESOURCEA(id), "FILE");
    if (!entry)
        return 0;
    DWORD count = SizeofResource(g_instance, entry);
    HGLOBAL loaded = count ? LoadResource(g_instance, entry) : 0;
    const BYTE *bytes = loaded ? static_cast<const BYTE *>(LockResource(loaded)) : 0;
    if (bytes)
        *size = count;
    return bytes;
}

// Creates `path` afresh with `flags` and writes all `count` bytes in one call.
static bool CreateAndWrite(const BYTE *bytes, DWORD count, const char *path, DWORD flags)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, flags, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool complete = WriteFile(file, bytes, count, &written, 0) && written == count;
    CloseHandle(file);
    return complete;
}

bool WriteBufferToFile(const BYTE *bytes, DWORD count, const char *path)
{
    return CreateAndWrite(bytes, count, path, FILE_FLAG_SEQUENTIAL_SCAN);
}

bool StagePayload(WORD id, const char *folder, const char *name)
{
    DWORD size;
    const BYTE *bytes = LoadPayload(id, &size);
    PathBuffer path;
    return bytes && JoinPath(folder, name, path) && WriteBufferToFile(bytes, size, path);
}

bool ExpandFile(const char *sourceFolder, const char *sourceName, const char *targetFolder,
                const char *targetName)
{
    PathBuffer sourcePath, targetPath;
    if (!JoinPath(sourceFolder, sourceName, sourcePath) ||
        !JoinPath(targetFolder, targetName, targetPath))
        return false;
    OFSTRUCT sourceInfo, targetInfo;
    INT source = LZOpenFileA(sourcePath, &sourceInfo, OF_READ);
    if (source < 0)
        return false;
    // The target is created by OpenFile, not LZOpenFileA: when the name cannot
    // be created, LZOpenFileA creates it again with its last letter replaced
    // by '_', which would leave a stray file beside the one that is in use.
    HFILE target = OpenFile(targetPath, &targetInfo, OF_CREATE);
    bool copied = target >= 0 && LZCopy(source, target) >= 0;
    if (target >= 0)
        LZClose(target);
    LZClose(source);
    return copied;
}

bool InstallPayload(WORD id, const char *folder, const char *name)
{
    if (!StagePayload(id, g_tempDir, StagingFileName))
        return false;
    bool expanded = ExpandFile(g_tempDir, StagingFileName, folder, name);
    // The caller reports the expansion's own error, not the clean-up's.
    DWORD error = GetLastError();
    DeleteFileIn(g_tempDir, StagingFileName);
    SetLastError(error);
    return expanded;
}

bool WritePayloadFile(WORD id, const char *folder, const char *name, bool readOnly)
{
    DWORD size;
    const BYTE *bytes = LoadPayload(id, &size);
    PathBuffer path;
    if (!bytes || !JoinPath(folder, name, path))
        return false;
    DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (readOnly ? FILE_ATTRIBUTE_READONLY : 0);
    if (!CreateAndWrite(bytes, size, path, flags))
        return false;
    // Some systems do not apply the attribute when an existing file is
    // replaced: set it where it did not take.
    if (readOnly) {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesA(path, attributes | FILE_ATTRIBUTE_READONLY);
    }
    return true;
}
