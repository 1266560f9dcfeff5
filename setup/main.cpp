// The installer: one straight run from the backdrop to the started program.
#include "location/location.h"
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "registration/registration.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/registry.h"
#include "setup/text.h"
#include "ui/ui.h"

// The per-user settings key must be writable before anything else happens.
static bool SettingsKeyWritable()
{
    BuildSettingsKeyPath();
    HKEY key;
    LONG status = OpenSettingsKey(&key);
    if (status != ERROR_SUCCESS) {
        ReportSystemError(status, "1");
        ReportError("Unable to proceed with installation", "1A");
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
        ReportError("Unable to locate Windows directory", "2");
    }
    length = TextLength(g_windowsDir);
    if (length > 0 && g_windowsDir[length - 1] == '\\')
        g_windowsDir[length - 1] = 0;

    length = GetTempPathA(PathSize, g_tempDir);
    if (length == 0 || length >= PathSize) {
        g_tempDir[0] = 0;
        ReportError("Unable to locate temp path.", "3");
    }
    FindProgramFilesFolder();
    if (!g_tempDir[0])
        DriveRootOf(g_programFilesDir, g_tempDir);
}

// Offers the proposal until the user cancels or picks a folder that passes.
static bool ChooseInstallFolder(const char *proposal)
{
    for (;;) {
        CopyText(g_installDir, PathSize, proposal);
        INT_PTR choice = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(LocationDialog), g_backdrop,
                                         LocationDlgProc, 0);
        if (choice == -1)
            ReportError("Unable to initialize", "43");
        if (choice != IDOK)
            return false;
        if (ValidateInstallFolder(g_installDir, true))
            return true;
    }
}

static bool PlaceProgram()
{
    switch (PlaceMainProgram()) {
    case Placed:
        return true;
    case AlreadyRunning:
        ReportError("Your existing copy of Quillmark is running.  Installation aborted.", "4");
        return false;
    case NewerPresent:
        ReportError("A more recent version of Quillmark already exists at the install location.  "
                    "Installation aborted.",
                    "5");
        return false;
    case PlacementFailed:
        break;
    }
    return false;
}

static void Register()
{
    if (!RegisterAppPath())
        ReportError("Error encountered while writing to the system registry.", "8");
    const char *uninstallerFolder = g_windowsDir;
    if (!RegisterUninstaller()) {
        ReportError("Unable to register uninstall program.", "9");
        uninstallerFolder = g_installDir;
    }
    InstallPayload(UninstallerEntry, uninstallerFolder, UninstallerFileName);
}

static void Launch()
{
    SetCurrentDirectoryA(g_installDir);
    ShellExecuteA(g_backdrop, "open", ProgramFileName, "", g_installDir, SW_SHOWDEFAULT);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_instance = instance;
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

    if (DialogBoxParamA(g_instance, MAKEINTRESOURCEA(AgreementDialog), g_backdrop,
                        AgreementDlgProc, 0) != IDOK)
        return 0;
    HWND wait = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(WaitDialog), g_backdrop,
                                   LocationDlgProc, 0);

    if (PlaceProgram()) {
        InstallManifest();
        Register();
        CreateShortcuts();
        Launch();
    }
    if (wait)
        DestroyWindow(wait);
    return 0;
}

// Started by the system in place of a C runtime.
extern "C" void EntryPoint()
{
    ExitProcess(WinMain(GetModuleHandleA(0), 0, 0, SW_SHOWDEFAULT));
}
