#include "setup/system_library.h"
#include "setup/paths.h"

typedef BOOL(WINAPI *SetDefaultDllDirectoriesFunction)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryFunction)(LPCSTR);

void CloseLibrarySearch()
{
    // Systems since Windows 8 (and 7 with its update) search the system
    // folder alone when asked; older ones can at least leave out the current
    // folder; the oldest have neither, and the full paths below are all
    // there is.
    SetDefaultDllDirectoriesFunction setDefault =
        KernelFunction<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    SetDllDirectoryFunction setDirectory = KernelFunction<SetDllDirectoryFunction>("SetDllDirectoryA");
    if (setDirectory)
        setDirectory("");
}

HMODULE LoadSystemLibrary(const char *file)
{
    PathBuffer folder, path;
    UINT length = GetSystemDirectoryA(folder, PathSize);
    if (length == 0 || length >= PathSize || !JoinPath(folder, file, path)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    // The libraries it needs in turn are looked for in its own folder first.
    return LoadLibraryExA(path, 0, LOAD_WITH_ALTERED_SEARCH_PATH);
}
