// qmkuins1.exe, the Quillmark uninstaller.  It takes no arguments: it finds the
// install folder in the registry, asks once, and removes the program's files,
// its shortcuts, its registry records and itself.  Files of the user's own,
// files of the installer's that were changed since, and whatever belongs to
// another program stay.
#include "apps/uninstaller/uninstaller.h"
#include "setup/registry.h"
#include "setup/system_library.h"
#include "setup/text.h"

// Last, once nothing else of the installation is left: the install folder,
// empty now, then the records that lead to it, then the uninstaller.  So a run stopped at any moment leaves something that a run
// again finds, and finishes from.  An uninstaller that stands in the folder
// goes first, and the folder after it, at the restart.
static void RemoveRecordsAndFolder()
{
    bool inFolder = RunsFrom(g_installDir);

    if (!inFolder)
        RemoveInstallFolder();
    if (!RemoveRegistryRecords())
        return;
    RemoveUninstaller();
    if (inFolder)
        RemoveInstallFolder();
}

// Without an installation no file of any folder is touched: only the records
// and shortcuts an earlier one left go, then the uninstaller, and only when
// the user agrees; and the folder they name, when nothing is left in it.
static void RemoveLeftovers()
{
    if (!RecordsRemain() && !ShortcutsRemain()) {
        ShowMessage("Quillmark is not installed.", MB_ICONINFORMATION);
        // Where setup put it, this is what a removal stopped after the
        // records went left: nothing names it any more.
        if (RunsFromWindowsFolder())
            RemoveUninstaller();
        return;
    }
    if (!Ask("Quillmark is not installed, but some of its shortcuts or registry entries are still there.\n\n"
             "Do you want to remove them?"))
        return;
    if (RemoveShortcuts())
        RemoveRecordsAndFolder();
    ShowClosing("Quillmark's shortcuts and registry entries have been removed.",
                "Not all of Quillmark's shortcuts and registry entries could be removed.");
}

static void SayUnreachable()
{
    char text[PathSize + 160];

    CopyText(text, sizeof text, "Quillmark is installed in ");
    AppendText(text, sizeof text, g_installDir);
    AppendText(text, sizeof text, ", which cannot be reached: is its drive connected?  Nothing has been removed.");
    ShowMessage(text, MB_ICONERROR);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    BuildSettingsKeyPath();
    // What setup.exe is writing is not yet anything to remove.
    if (SetupIsRunning()) {
        ShowMessage("Quillmark's setup is running.  Let it finish, then run the uninstaller again.  "
                    "Nothing has been removed.", MB_ICONERROR);
        return 0;
    }
    Installation installation = FindInstallation();
    ClearStoppedRuns();
    switch (installation) {
    case Unreachable:
        SayUnreachable();
        return 0;
    case NotInstalled:
        RemoveLeftovers();
        return 0;
    case Installed:
        break;
    }
    if (!AskToRemove())
        return 0;
    if (IsProgramRunning()) {
        ShowMessage("Quillmark is running.  Close Quillmark and run the uninstaller again.  "
                    "Nothing has been removed.", MB_ICONERROR);
        return 0;
    }
    // The program, then the folder, the records and the uninstaller, go
    // last, and only when every file and shortcut of the installation's is
    // gone: until then running the uninstaller again finishes the removal.
    if ((RemoveApplicationFiles() & RemoveShortcuts()) && RemoveProgram())
        RemoveRecordsAndFolder();
    ShowClosing("Quillmark has been removed.",
                "Quillmark was not completely removed.  Close whatever uses the items below, then run the "
                "uninstaller again to finish: until then its registry entries and the uninstaller stay.");
    return 0;
}

// Entry point without a C runtime.
extern "C" void EntryPoint()
{
    CloseLibrarySearch();
    ExitProcess(WinMain(GetModuleHandleA(NULL), NULL, (LPSTR) "", SW_SHOWDEFAULT));
}
