// Where Quillmark is installed, from the records the installer wrote, and
// whether records that other programs share are the installation's.  Only
// what is provably this installation's is acted on.
#include "apps/uninstaller/uninstaller.h"
#include "location/folder_rules.h"
#include "setup/files.h"
#include "setup/paths.h"
#include "setup/registry.h"
#include "setup/text.h"

PathBuffer g_installDir;

// A text value of a key into `out`; false, with `out` empty, when there is
// none (or it is not text, or too long).
static bool ReadText(HKEY root, const char *key, const char *name, PathBuffer out)
{
    HKEY opened;
    out[0] = 0;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    LONG status = QueryStringValue(opened, name, out, PathSize);
    RegCloseKey(opened);
    return status == ERROR_SUCCESS && out[0];
}

// Whether `folder` can name a folder at all: absolute on a drive ('X:\...'; a
// relative one would be resolved against whatever the current folder is),
// every part naming something, and nothing at its end that Windows drops.
static bool IsUsable(const char *folder)
{
    PathBuffer trimmed, plain;
    if (!HasDriveForm(folder) || !CanNameFiles(folder) || !CopyText(trimmed, PathSize, folder))
        return false;
    CopyText(plain, PathSize, trimmed);
    TrimTrailingBackslashes(plain);
    TrimFolderEnd(trimmed);
    return lstrcmpA(trimmed, plain) == 0;
}

// Whether the drive of `folder` is there to look at.
static bool IsReachable(const char *folder)
{
    PathBuffer root;
    return DriveRootOf(folder, root) && GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES;
}

bool UninstallEntryIsOurs()
{
    PathBuffer command;
    if (!ReadText(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, command))
        return false;
    // An entry of the product's name whose command is not there is dead: no
    // other program can use it either.
    DWORD error = GetFileAttributesA(command) == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    return IsOwnUninstaller(command) || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool AppPathsEntryIsOurs()
{
    PathBuffer named, program;
    return g_installDir[0] && ReadText(HKEY_LOCAL_MACHINE, AppPathsEntryKey, NULL, named) &&
           JoinPath(g_installDir, ProgramFileName, program) && lstrcmpiA(named, program) == 0;
}

// The App Paths entry is shared by every program of the file name: its folder
// is ours only where the program it names there is the one the installer put
// there.
static bool AppPathsFolder(PathBuffer out)
{
    PathBuffer named, program;
    return ReadText(HKEY_LOCAL_MACHINE, AppPathsEntryKey, FolderValueName, out) && IsUsable(out) &&
           ReadText(HKEY_LOCAL_MACHINE, AppPathsEntryKey, NULL, named) && JoinPath(out, ProgramFileName, program) &&
           lstrcmpiA(named, program) == 0 && IsInstalledProgram(program);
}

// Where the installer recorded the folder, in the order they are trusted.
enum Record { UninstallEntry, Settings, AppPaths, Records };

static bool ReadFolder(int record, PathBuffer out)
{
    if (record == UninstallEntry)
        return UninstallEntryIsOurs() &&
               ReadText(HKEY_LOCAL_MACHINE, UninstallEntryKey, InstallLocationValueName, out);
    if (record == Settings)
        return ReadText(HKEY_CURRENT_USER, g_settingsKeyPath, FolderValueName, out);
    return AppPathsFolder(out);
}

// The first folder of the records that holds the program is the
// installation.  Where a record of the uninstaller's own (the uninstall
// entry, the settings) names one that cannot be reached, that is said
// rather than anything removed.  Otherwise the folder they name, if any, is
// kept for telling what of the rest is ours.
Installation FindInstallation()
{
    PathBuffer folder, named;
    Installation found = NotInstalled;

    named[0] = 0;
    for (int record = 0; record < Records; record++) {
        if (!ReadFolder(record, folder))
            continue;
        bool usable = IsUsable(folder);
        if (usable && ProgramFileExists(folder)) {
            CopyText(g_installDir, PathSize, folder);
            return Installed;
        }
        if ((!usable || !IsReachable(folder)) && found == NotInstalled) {
            found = Unreachable;
            CopyText(named, PathSize, folder);
        } else if (usable && !named[0]) {
            CopyText(named, PathSize, folder);
        }
    }
    CopyText(g_installDir, PathSize, named);
    return found;
}

bool SetupIsRunning()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, SetupMutexName);
    if (mutex)
        CloseHandle(mutex);
    // One of another user's, or of other rights, exists just the same.
    return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}
