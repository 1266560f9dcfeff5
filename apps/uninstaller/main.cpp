// qmkuins1.exe, the Quillmark uninstaller.  It takes no arguments: it finds the
// install folder in the registry, asks once, and removes the program's files,
// its shortcuts, its registry records and itself.  Files of the user's own, and
// files of the installer's that were changed since, stay.
#include "apps/uninstaller/uninstaller.h"
#include "setup/registry.h"
#include "setup/system_library.h"

// Without an installation no file of any folder is touched: only the records
// and shortcuts an earlier one left go, and only when the user agrees.
static void RemoveLeftovers()
{
    if (!RecordsRemain() && !ShortcutsRemain()) {
        ShowMessage("Quillmark is not installed.", MB_ICONINFORMATION);
        return;
    }
    if (!Ask("Quillmark is not installed, but some of its shortcuts or registry entries are still there.\n\n"
             "Do you want to remove them?"))
        return;
    RemoveShortcuts();
    RemoveRegistryRecords();
    ShowClosing("Quillmark's shortcuts and registry entries have been removed.",
                "Not all of Quillmark's shortcuts and registry entries could be removed.");
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    BuildSettingsKeyPath();
    if (!FindInstallation()) {
        RemoveLeftovers();
        return 0;
    }
    if (!AskToRemove())
        return 0;
    if (IsProgramRunning()) {
        ShowMessage("Quillmark is running.  Close Quillmark and run the uninstaller again.  "
                    "Nothing has been removed.", MB_ICONERROR);
        return 0;
    }
    // While a file of the installer's is left, so are the records, the program
    // and the uninstaller: running it again finishes the removal.
    bool filesGone = RemoveProgramFiles();
    RemoveShortcuts();
    if (filesGone) {
        RemoveRegistryRecords();
        RemoveUninstaller();
        RemoveInstallFolder();
    }
    ShowClosing("Quillmark has been removed.",
                "Quillmark was not completely removed.  Close whatever uses the items below, "
                "then run the uninstaller again to finish.");
    return 0;
}

// Entry point without a C runtime.
extern "C" void EntryPoint()
{
    CloseLibrarySearch();
    ExitProcess(WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWDEFAULT));
}
