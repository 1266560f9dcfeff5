#include "setup/files.h"
#include "setup/paths.h"
#include "setup/text.h"
#include <windows.h>

bool PathIn(const char *folder, const char *name, PathBuffer out)
{
    if (JoinPath(folder, name, out))
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

bool ChangesAtRestart(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    // Pairs of names: a file, and what it becomes ("" for deleted, "!" before
    // a name it may replace), each with the system's prefix \??\.
    DWORD size = 0, type;
    bool named = false;
    char *names = 0;
    if (RegQueryValueExA(key, "PendingFileRenameOperations", 0, &type, 0, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ && (names = static_cast<char *>(LocalAlloc(LMEM_FIXED, size + 1))) &&
        RegQueryValueExA(key, "PendingFileRenameOperations", 0, 0, reinterpret_cast<BYTE *>(names), &size) ==
            ERROR_SUCCESS) {
        names[size] = 0;                    // ended, whatever the data holds
        for (char *name = names; name < names + size; name += TextLength(name) + 1) {
            const char *plain = name + (*name == '!');
            if (plain[0] == '\\' && plain[1] == '?' && plain[2] == '?' && plain[3] == '\\')
                plain += 4;
            named |= lstrcmpiA(plain, path) == 0;
        }
    }
    LocalFree(names);
    RegCloseKey(key);
    return named;
}

static bool IsNotFound(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool RemoveFile(const char *path)
{
    if (DeleteFileA(path))
        return true;
    DWORD error = GetLastError();
    if (IsNotFound(error))
        return true;
    // A read-only file is refused until its attribute goes.
    DWORD attributes = GetFileAttributesA(path);
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
        if (DeleteFileA(path))
            return true;
        error = GetLastError();
        SetFileAttributesA(path, attributes);
    }
    SetLastError(error);
    return false;
}

bool FileExistsIn(const char *folder, const char *name)
{
    PathBuffer path;
    if (!JoinPath(folder, name, path))
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ProgramFileExists(const char *folder)
{
    return FileExistsIn(folder, ProgramFileName);
}

ProgramState ProbeProgramFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ProgramAbsent : ProgramPresent;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ProgramAbsent;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, OPEN_EXISTING, 0, 0);
    DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes);
    // Any other refusal (the file's permissions, say) leaves it to be judged
    // by what it is.
    return file == INVALID_HANDLE_VALUE && error == ERROR_SHARING_VIOLATION ? ProgramRunning : ProgramPresent;
}
