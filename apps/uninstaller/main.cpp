// qmkuins1.exe, the Quillmark uninstaller.  It takes no arguments: it finds the
// install folder in the registry, asks once, and removes the program's files,
// its shortcuts, its registry records and itself.  Files of the user's own stay.
#include "apps/uninstaller/uninstaller.h"
#include "setup/registry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    BuildSettingsKeyPath();
    if (!FindInstallFolder() || !IsProgramInstalled()) {
        ShowMessage("Quillmark is not installed.", MB_ICONINFORMATION);
        return 0;
    }
    if (!AskToRemove())
        return 0;
    if (IsProgramRunning()) {
        ShowMessage("Quillmark is running.  Close Quillmark and run the uninstaller again.  "
                    "Nothing has been removed.", MB_ICONERROR);
        return 0;
    }
    RemoveProgramFiles();
    RemoveShortcuts();
    RemoveRegistryRecords();
    RemoveUninstaller();
    RemoveInstallFolder();
    ReportFailures();
    ShowMessage("Quillmark has been removed.", MB_ICONINFORMATION);
    return 0;
}

// Entry point without a C runtime.
extern "C" void EntryPoint()
{
    ExitProcess(WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWDEFAULT));
}
