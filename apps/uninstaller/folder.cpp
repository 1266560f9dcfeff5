// Where Quillmark is installed, from the records the installer wrote, and
// whether records that other programs share are the installation's.  Only
// what is provably this installation's is acted on.
#include "apps/uninstaller/uninstaller.h"
#include "location/folder_rules.h"
#include "setup/files.h"
#include "setup/paths.h"
#include "setup/registry.h"
#include "setup/shell_folders.h"
#include "setup/system_library.h"
#include "setup/text.h"

PathBuffer g_installDir;

// A text value of a key into `out` (in the registry view `view` names, if
// any); false, with `out` empty, when there is none (or it is not text, or
// too long).
static bool ReadText(HKEY root, const char *key, const char *name, PathBuffer out, REGSAM view = 0)
{
    HKEY opened;
    out[0] = 0;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return false;
    LONG status = QueryStringValue(opened, name, out, PathSize);
    RegCloseKey(opened);
    return status == ERROR_SUCCESS && out[0];
}

// The uninstaller the uninstall entry's command starts, without quotes or
// arguments; false when there is no command.
static bool ReadUninstallProgram(PathBuffer program)
{
    PathBuffer command;
    return ReadText(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, command) &&
           CommandProgram(command, program) && program[0];
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

// Whether `folder` and `other` are the same folder, a trailing backslash
// or not.
static bool SameFolder(const char *folder, const char *other)
{
    PathBuffer one, two;
    if (!CopyText(one, PathSize, folder) || !CopyText(two, PathSize, other))
        return false;
    TrimTrailingBackslashes(one);
    TrimTrailingBackslashes(two);
    return lstrcmpiA(one, two) == 0;
}

// This uninstaller's own path.
static bool OwnPath(PathBuffer self)
{
    DWORD length = GetModuleFileNameA(NULL, self, PathSize);
    return length > 0 && length < PathSize;   // a cut-off name ends without a NUL
}

// The folder this uninstaller runs from, as the installer records a folder:
// 'C:\Apps\Quillmark', a drive's root as 'C:\'.
static bool OwnFolder(PathBuffer out)
{
    PathBuffer self;
    char *name;
    DWORD length = OwnPath(self) ? GetFullPathNameA(self, PathSize, out, &name) : 0;

    if (length == 0 || length >= PathSize || !name)
        return false;
    name[name - out == sizeof "C:\\" - 1 ? 0 : -1] = 0;   // the backslash before the name goes, but a root's
    return true;
}

bool UninstallEntryNames(const char *path)
{
    PathBuffer program;
    return ReadUninstallProgram(program) && lstrcmpiA(program, path) == 0;
}

static bool UninstallEntryNamesSelf()
{
    PathBuffer self;
    return OwnPath(self) && UninstallEntryNames(self);
}

// The entry is this installation's when it starts this very uninstaller, or
// names the installation's folder; one that names no folder, when its
// command is not there (it is dead: no other program can use it either).
bool UninstallEntryIsOurs()
{
    PathBuffer folder, program;
    if (UninstallEntryNamesSelf())
        return true;
    if (ReadText(HKEY_LOCAL_MACHINE, UninstallEntryKey, InstallLocationValueName, folder))
        return SameFolder(folder, g_installDir);
    if (!ReadUninstallProgram(program))
        return false;
    DWORD error = GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Whether the App Paths entry names `program` (quoted or not).
static bool AppPathsEntryNames(const char *program)
{
    PathBuffer command, named;
    return ReadText(HKEY_LOCAL_MACHINE, AppPathsEntryKey, NULL, command) && CommandProgram(command, named) &&
           lstrcmpiA(named, program) == 0;
}

bool AppPathsEntryIsOurs()
{
    PathBuffer program;
    return g_installDir[0] && JoinPath(g_installDir, ProgramFileName, program) && AppPathsEntryNames(program);
}

bool SettingsPathIsOurs()
{
    PathBuffer folder;
    return !ReadText(HKEY_CURRENT_USER, g_settingsKeyPath, FolderValueName, folder) ||
           SameFolder(folder, g_installDir);
}

// The App Paths entry is shared by every program of the file name: its folder
// is ours only where the program it names there is the one the installer put
// there.
static bool AppPathsFolder(PathBuffer out)
{
    PathBuffer program;
    return ReadText(HKEY_LOCAL_MACHINE, AppPathsEntryKey, FolderValueName, out) && IsUsable(out) &&
           JoinPath(out, ProgramFileName, program) && AppPathsEntryNames(program) && IsInstalledProgram(program);
}

// Where the installation is told, in the order they are trusted: the folder
// of a copy of the uninstaller beside the program (where the installer puts
// one when it cannot write the uninstall entry), then what the installer
// recorded.  The uninstall entry's folder counts only for the uninstaller the
// entry starts: another copy may belong to another installation.
enum Record { OwnFolderRecord, UninstallEntry, Settings, AppPaths, Records };

static bool ReadFolder(int record, PathBuffer out)
{
    if (record == OwnFolderRecord)
        return OwnFolder(out) && IsUsable(out) && ProgramFileExists(out);
    if (record == UninstallEntry)
        return UninstallEntryNamesSelf() &&
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

// The folders the system and the user keep for themselves, by the shell's
// numbers, for the user and for all users.  A 32-bit program's Program Files
// is the x86 one; the other is read from the registry's 64-bit view.
static const unsigned char KeptFolders[] = {
    CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_FONTS, CSIDL_RESOURCES,
    CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS,
    CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP, CSIDL_ALTSTARTUP, CSIDL_COMMON_ALTSTARTUP, CSIDL_ADMINTOOLS, CSIDL_COMMON_ADMINTOOLS,
    CSIDL_MYMUSIC, CSIDL_COMMON_MUSIC, CSIDL_MYPICTURES, CSIDL_COMMON_PICTURES, CSIDL_MYVIDEO, CSIDL_COMMON_VIDEO,
    CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA, CSIDL_FAVORITES, CSIDL_COMMON_FAVORITES,
    CSIDL_TEMPLATES, CSIDL_COMMON_TEMPLATES, CSIDL_SENDTO, CSIDL_RECENT, CSIDL_NETHOOD, CSIDL_PRINTHOOD,
    CSIDL_INTERNET_CACHE, CSIDL_COOKIES, CSIDL_HISTORY, CSIDL_CDBURN_AREA, CSIDL_COMMON_OEM_LINKS,
};

// Downloads has no number: the shell knows it by an id, through a call that
// came with it in Windows Vista, looked up where the system has it.
static const GUID DownloadsFolder = {0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}};

// Whether the shell's folder `path` is `folder`, in the code page's letters.
static bool IsShellFolder(const WCHAR *path, const char *folder)
{
    PathBuffer named;
    return WideCharToMultiByte(CP_ACP, 0, path, -1, named, PathSize, NULL, NULL) && SameFolder(named, folder);
}

bool IsKeptFolder(const char *fullPath)
{
    WCHAR path[PathSize];
    PathBuffer folder;
    LPITEMIDLIST list;

    if (TextLength(fullPath) == sizeof "C:" - 1)   // a drive's root, its backslash trimmed
        return true;
    for (int number : KeptFolders)
        if (SpecialFolderPath(NULL, number, path) && IsShellFolder(path, fullPath))
            return true;
    auto known = LibraryFunction<decltype(&SHGetKnownFolderIDList)>(GetModuleHandleA("SHELL32.DLL"),
                                                                     "SHGetKnownFolderIDList");
    if (known && SUCCEEDED(known(DownloadsFolder, 0, NULL, &list)) && PathOfItemList(list, path) &&
        IsShellFolder(path, fullPath))
        return true;
    DWORD length = GetTempPathA(PathSize, folder);
    return (length > 0 && length < PathSize && SameFolder(folder, fullPath)) ||
           (ReadText(HKEY_LOCAL_MACHINE, WINDOWS_CURRENT_VERSION_KEY, "ProgramFilesDir", folder, KEY_WOW64_64KEY) &&
            SameFolder(folder, fullPath));
}

bool SetupIsRunning()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, SetupMutexName);
    if (mutex)
        CloseHandle(mutex);
    // One of another user's, or of other rights, exists just the same.
    return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}
