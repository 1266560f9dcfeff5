// The installer: one straight run from the backdrop to the started program.
#include "location/location.h"
#include "payload/journal.h"
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "registration/record_keys.h"
#include "registration/registration.h"
#include "setup/bench_marks.h"
#include "setup/errors.h"
#include "setup/files.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/registry.h"
#include "setup/system_library.h"
#include "setup/text.h"
#include "stored_sums.h"
#include "ui/ui.h"

// The per-user settings key must be writable before anything else happens.
static bool SettingsKeyWritable()
{
    BuildSettingsKeyPath();
    HKEY key;
    LONG status = OpenSettingsKey(&key);
    if (status != ERROR_SUCCESS) {
        ReportSystemError(status, SettingsKeyFailed);
        ReportError(CannotProceed);
        return false;
    }
    RegCloseKey(key);
    return true;
}

static void FindSystemFolders()
{
    UINT length = GetWindowsDirectoryA(g_windowsDir, PathSize);
    if (length == 0 || length >= PathSize) {
        g_windowsDir[0] = 0;
        ReportError(NoWindowsFolder);
    }
    DropTrailingBackslash(g_windowsDir);

    length = GetTempPathA(PathSize, g_tempDir);
    bool noTempPath = length == 0 || length >= PathSize;
    if (noTempPath) {
        g_tempDir[0] = 0;
        ReportError(NoTempFolder);
    }
    FindProgramFilesFolder();
    if (noTempPath)
        DriveRootOf(g_programFilesDir, g_tempDir);
}

// Offers the proposal until the user cancels or picks a folder that passes.
static bool ChooseInstallFolder(const char *proposal)
{
    for (;;) {
        CopyText(g_installDir, PathSize, proposal);
        INT_PTR choice = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(LOCATION_DIALOG), g_backdrop,
                                         LocationDlgProc, 0);
        if (choice == -1)
            ReportError(CannotInitialize);
        if (choice != IDOK)
            return false;
        if (ValidateInstallFolder(g_installDir, true) && HasRoomFor(g_installDir))
            return true;
    }
}

// The uninstaller into `folder`, unless a restart still to come would delete
// or replace it there (an earlier uninstaller, that could not delete itself,
// asked for that).
static bool WriteUninstaller(const char *folder)
{
    PathBuffer path;
    return PathIn(folder, UninstallerFileName, path) && !ChangesAtRestart(path) &&
           InstallPayload(UninstallerEntry, folder, UninstallerFileName);
}

// The Windows folder's uninstaller, written for an entry that could not be
// written, goes again, or at the restart when it cannot go now: nothing would
// ever remove it.  When an entry has a command all the same (another
// installation's, or one written in part), or may have, that may name the
// file, which then stays.
static void RemoveUnnamedUninstaller()
{
    PathBuffer copy;
    HKEY entry;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallEntryKey, 0, KEY_QUERY_VALUE, &entry);
    if (status == ERROR_SUCCESS) {
        status = RegQueryValueExA(entry, UninstallStringValueName, 0, 0, 0, 0);
        RegCloseKey(entry);
    }
    if (status == ERROR_FILE_NOT_FOUND && JoinPath(g_windowsDir, UninstallerFileName, copy) && !DeleteFileA(copy))
        MoveFileExA(copy, 0, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The records, and the uninstaller before the entry that names it: in the
// Windows folder, or in the install folder when the Windows folder cannot
// take it; with neither, box 9 and no entry.  When the entry cannot be
// written (box 9), the uninstaller goes into the install folder instead,
// where the user will look for it.
static void Register()
{
    // Copies a removal stopped part-way left under the uninstaller's
    // temporary names, which nothing names: this release's, by their bytes.
    ClearUninstallerCopies(g_windowsDir, UNINSTALLER_SIZE, UNINSTALLER_CRC);
    ClearUninstallerCopies(g_installDir, UNINSTALLER_SIZE, UNINSTALLER_CRC);
    RegisterAppPath();
    const char *folder = WriteUninstaller(g_windowsDir) ? g_windowsDir
                         : WriteUninstaller(g_installDir) ? g_installDir
                                                          : 0;
    if (!folder)
        ReportError(UninstallerNotRegistered);
    else if (!RegisterUninstaller(folder) && folder == g_windowsDir && WriteUninstaller(g_installDir))
        RemoveUnnamedUninstaller();
}

static void Launch()
{
    SetCurrentDirectoryA(g_installDir);
    ShellExecuteA(g_backdrop, "open", ProgramFileName, "", g_installDir, SW_SHOWDEFAULT);
}

// One setup at a time: two would write the same files and records at once.
// The mutex is held until the process ends.  One that cannot be had at all
// (another user's setup, or one of other rights, holds the name) counts as
// another setup running too.
static bool OnlySetupRunning()
{
    if (CreateMutexA(0, FALSE, SetupMutexName) && GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    ReportError(SetupAlreadyRunning);
    return false;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_instance = instance;
    if (!OnlySetupRunning() || !CarriedFilesIntact() || !LoadPayloadLibraries())
        return 0;
    g_backdrop = CreateBackdrop();
    if (!SettingsKeyWritable())
        return 0;
    FindSystemFolders();

    PathBuffer proposal;
    g_existingInstall = ProposeInstallFolder(proposal);
    if (!ChooseInstallFolder(proposal))
        return 0;
    JoinPath(g_installDir, ProgramFileName, g_programPath);
    SetFileAttributesA(g_installDir, FILE_ATTRIBUTE_NORMAL);

    if (DialogBoxParamA(g_instance, MAKEINTRESOURCEA(AGREEMENT_DIALOG), g_backdrop,
                        AgreementDlgProc, 0) != IDOK)
        return 0;
    BenchMark(Accepted);
    HWND wait = ShowWaitBox();
    BenchMark(WaitBoxUp);

    if (InstallFiles()) {
        BenchMark(FilesWritten);
        Register();
        BenchMark(Registered);
        CreateShortcuts();
        BenchMark(ShortcutsMade);
        Launch();
        BenchMark(Launched);
    }
    if (wait)
        DestroyWindow(wait);
    WriteBenchMarks();
    return 0;
}

// Started by the system in place of a C runtime.
extern "C" void EntryPoint()
{
    CloseLibrarySearch();
    ExitProcess(WinMain(GetModuleHandleA(0), 0, 0, SW_SHOWDEFAULT));
}
