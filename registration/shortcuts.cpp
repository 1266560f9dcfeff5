#include "registration/record_keys.h"
#include "registration/registration.h"
#include "setup/globals.h"
#include "setup/shell_folders.h"
#include "setup/system_library.h"
#include <shlobj.h>

// The COM library is loaded only for this step, from the system folder, never linked.
typedef HRESULT(WINAPI *CoInitializeFunction)(LPVOID);
typedef void(WINAPI *CoUninitializeFunction)();
typedef HRESULT(WINAPI *CoCreateInstanceFunction)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID *);

static CoCreateInstanceFunction s_coCreateInstance;

static const GUID ShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const GUID ShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const GUID PersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

static const char ShortcutDescription[] = "Shortcut to Quillmark";

HRESULT CreateShortcut(const char *workingDir, const char *target, const WCHAR *linkPath,
                       const char *description)
{
    IShellLinkA *link;
    HRESULT result = s_coCreateInstance(ShellLinkClass, 0, CLSCTX_INPROC_SERVER, ShellLinkInterface,
                                        reinterpret_cast<void **>(&link));
    if (FAILED(result))
        return result;
    link->SetPath(target);
    link->SetIconLocation(target, 0);
    link->SetDescription(description);
    link->SetWorkingDirectory(workingDir);
    IPersistFile *file;
    result = link->QueryInterface(PersistFileInterface, reinterpret_cast<void **>(&file));
    if (SUCCEEDED(result)) {
        result = file->Save(linkPath, TRUE);
        file->Release();
    }
    link->Release();
    return result;
}

void CreateShortcuts()
{
    // A known DLL, which Windows takes from the system folder anyway; named
    // by its full path all the same, so that no search is involved.
    HMODULE ole = LoadSystemLibrary("OLE32.DLL");
    if (!ole)
        return;
    CoInitializeFunction coInitialize = LibraryFunction<CoInitializeFunction>(ole, "CoInitialize");
    CoUninitializeFunction coUninitialize = LibraryFunction<CoUninitializeFunction>(ole, "CoUninitialize");
    s_coCreateInstance = LibraryFunction<CoCreateInstanceFunction>(ole, "CoCreateInstance");
    if (coInitialize && coUninitialize && s_coCreateInstance && coInitialize(0) == S_OK) {
        for (int folder : ShortcutFolders) {
            WCHAR path[PathSize];
            if (ShortcutPath(g_backdrop, folder, path))
                CreateShortcut(g_installDir, g_programPath, path, ShortcutDescription);
        }
        coUninitialize();
    }
    FreeLibrary(ole);
}
