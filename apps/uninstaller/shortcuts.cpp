// The shortcuts the installer puts at the top of the Start menu and on the
// desktop.  A shortcut of that name is the installer's only when it starts
// the program in the installation's folder: one of the user's own, under the
// same name, stays.
#include "apps/uninstaller/uninstaller.h"
#include "setup/com_library.h"
#include "setup/paths.h"
#include "setup/shell_folders.h"

// Whether the shortcut at `path` starts the program in g_installDir, as the
// shell link reads it.
static bool IsOurs(const ComLibrary &com, const WCHAR *path)
{
    PathBuffer program, target;
    IShellLinkA *link;
    IPersistFile *file;
    bool ours = false;

    if (!g_installDir[0] || !JoinPath(g_installDir, ProgramFileName, program) ||
        FAILED(com.CoCreateInstance(ShellLinkClass, NULL, CLSCTX_INPROC_SERVER, ShellLinkInterface,
                                    reinterpret_cast<void **>(&link))))
        return false;
    if (SUCCEEDED(link->QueryInterface(PersistFileInterface, reinterpret_cast<void **>(&file)))) {
        ours = SUCCEEDED(file->Load(path, STGM_READ)) &&
               SUCCEEDED(link->GetPath(target, PathSize, NULL, SLGP_RAWPATH)) && lstrcmpiA(target, program) == 0;
        file->Release();
    }
    link->Release();
    return ours;
}

// Deletes the shortcut, read-only or not; one that stays is noted, in the
// code page's letters as far as it has them.  True when it is gone.
static bool RemoveShortcut(const WCHAR *path)
{
    DWORD attributes = GetFileAttributesW(path);
    char shown[PathSize];

    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(path))
        return true;
    SetFileAttributesW(path, attributes);
    if (!WideCharToMultiByte(CP_ACP, 0, path, -1, shown, sizeof shown, NULL, NULL))
        shown[0] = 0;
    NoteFailure(shown);
    return false;
}

// Goes through the installer's shortcuts that are there, removing them when
// `remove` is set.  True when there is none (left).
static bool ForEachShortcut(bool remove)
{
    ComLibrary com;
    WCHAR path[PathSize];
    bool none = true;

    if (!StartCom(com))
        return true;
    for (int folder : ShortcutFolders)
        if (ShortcutPath(NULL, folder, path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES &&
            IsOurs(com, path) && !(remove && RemoveShortcut(path)))
            none = false;
    EndCom(com);
    return none;
}

bool ShortcutsRemain()
{
    return !ForEachShortcut(false);
}

bool RemoveShortcuts()
{
    return ForEachShortcut(true);
}
