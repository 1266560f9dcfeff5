#include "setup/files.h"
#include "setup/paths.h"
#include <windows.h>

bool PathIn(const char *folder, const char *name, PathBuffer out)
{
    if (JoinPath(folder, name, out))
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
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
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return ProgramPresent;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? ProgramRunning : ProgramNotOpened;
}
