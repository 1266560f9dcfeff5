// The files in the install folder: whether Quillmark is there and running, and
// removing exactly the files the installer writes, the uninstaller and the folder.
#include "apps/uninstaller/uninstaller.h"
#include "payload/manifest_table.h"
#include "setup/files.h"
#include "setup/paths.h"

// Installed while the folder holds the main program or any file of the manifest.
bool IsProgramInstalled()
{
    if (ProgramFileExists(g_installDir))
        return true;
    for (int row = 0; row < ManifestRows; row++)
        if (FileExistsIn(g_installDir, g_manifest[row].name))
            return true;
    return false;
}

bool IsProgramRunning()
{
    PathBuffer path;

    return JoinPath(g_installDir, ProgramFileName, path) && ProbeProgramFile(path) == ProgramRunning;
}

// Deletes path, read-only or not.  A file that is not there counts as removed.
static bool RemoveFile(const char *path)
{
    DWORD error;

    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path))
        return true;
    error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Removes folder\name; what cannot be removed is noted for the closing report.
bool RemoveFileIn(const char *folder, const char *name)
{
    PathBuffer path;

    if (!JoinPath(folder, name, path)) {
        NoteFailure(name);
        return false;
    }
    if (!RemoveFile(path)) {
        NoteFailure(path);
        return false;
    }
    return true;
}

void RemoveProgramFiles()
{
    RemoveFileIn(g_installDir, ProgramFileName);
    for (int row = 0; row < ManifestRows; row++)
        RemoveFileIn(g_installDir, g_manifest[row].name);
}

// An uninstaller file that cannot go now (the running one) goes at the next restart.
static void RemoveUninstallerFile(const char *path)
{
    if (!RemoveFile(path) && !MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        NoteFailure(path);
}

// The running uninstaller, and the copy the installer leaves in the install
// folder when it could not register the uninstaller.
void RemoveUninstaller()
{
    PathBuffer self;
    PathBuffer copy;
    DWORD length = GetModuleFileNameA(NULL, self, PathSize);

    if (length == 0 || length >= PathSize)   // a cut-off name ends without a NUL
        self[0] = 0;
    if (self[0])
        RemoveUninstallerFile(self);
    if (JoinPath(g_installDir, UninstallerFileName, copy) && lstrcmpiA(copy, self) != 0)
        RemoveUninstallerFile(copy);
}

// The folder goes only when nothing is left in it.  When the uninstaller in it
// waits for the restart, the folder is put after it: at the restart it is
// removed if it is empty by then.
void RemoveInstallFolder()
{
    PathBuffer windowsDir;
    UINT length = GetWindowsDirectoryA(windowsDir, PathSize);

    // A folder that is the current directory cannot be removed.
    if (length > 0 && length < PathSize)
        SetCurrentDirectoryA(windowsDir);
    if (RemoveDirectoryA(g_installDir))
        return;
    if (FileExistsIn(g_installDir, UninstallerFileName))
        MoveFileExA(g_installDir, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}
