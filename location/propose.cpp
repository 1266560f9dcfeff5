#include "location/location.h"
#include "registration/record_keys.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/registry.h"
#include "setup/text.h"

// Where either line of Windows keeps ProgramFilesDir.
static const char *const VersionKeys[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
};

// The system's ProgramFilesDir, without one trailing backslash; 0 when neither
// key gives a text longer than a bare drive.
static bool ReadProgramFilesSetting()
{
    HKEY key;
    if (CreateKey(HKEY_LOCAL_MACHINE, VersionKeys[0], ReadAccess, &key) != ERROR_SUCCESS &&
        CreateKey(HKEY_LOCAL_MACHINE, VersionKeys[1], ReadAccess, &key) != ERROR_SUCCESS)
        return false;
    LONG status = QueryStringValue(key, "ProgramFilesDir", g_programFilesDir, PathSize);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || TextLength(g_programFilesDir) <= 2)
        return false;
    DropTrailingBackslash(g_programFilesDir);
    return true;
}

// The fallback looks at the letters 'A' to 'Y'.  Z: is never taken: it is the
// last letter, which network clients map first (and Wine maps to the host's
// root).
enum { ScannedDriveLetters = 25 };

void FindProgramFilesFolder()
{
    if (ReadProgramFilesSetting())
        return;
    CopyText(g_programFilesDir, PathSize, "C:\\Program Files");
    DWORD drives = GetLogicalDrives();
    for (int drive = 0; drive < ScannedDriveLetters; ++drive) {
        if (!(drives & (1u << drive)))
            continue;
        char root[] = "C:\\";
        root[0] = g_programFilesDir[0] = static_cast<char>('A' + drive);
        if (GetDriveTypeA(root) == DRIVE_FIXED)
            return;
    }
    g_programFilesDir[0] = 'C';
}

// The remembered folder, when there is one worth offering: an empty one
// never passes the folder rules, so it counts as none.
static bool ReadRememberedFolder(PathBuffer out)
{
    HKEY key;
    if (OpenSettingsKey(&key) != ERROR_SUCCESS)
        return false;
    LONG status = QueryStringValue(key, FolderValueName, out, PathSize);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && out[0] && out[0] != ':';
}

bool ProposeInstallFolder(PathBuffer out)
{
    if (ReadRememberedFolder(out))
        return ValidateInstallFolder(out, false) && ProgramFileExists(out);

    if (CopyText(out, PathSize, g_programFilesDir) && AppendText(out, PathSize, DefaultSubfolder))
        return false;
    // A Program Files folder too long to take the subfolder: offer the
    // product's folder at the root of its drive instead.
    PathBuffer root;
    DriveRootOf(g_programFilesDir, root);
    JoinPath(root, ProductName, out);
    return false;
}
