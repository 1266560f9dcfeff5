#include "registration/record_keys.h"
#include "registration/registration.h"
#include "setup/globals.h"
#include "setup/shell_folders.h"
#include "setup/com_library.h"
#include <shlobj.h>

// COM, for the shell-link object, only for this step.
static ComLibrary s_com;

static const char ShortcutDescription[] = "Shortcut to Quillmark";

HRESULT CreateShortcut(const char *workingDir, const char *target, const WCHAR *linkPath,
                       const char *description)
{
    IShellLinkA *link;
    HRESULT result = s_com.CoCreateInstance(ShellLinkClass, 0, CLSCTX_INPROC_SERVER, ShellLinkInterface,
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
    if (!StartCom(s_com))
        return;
    for (int folder : ShortcutFolders) {
        WCHAR path[PathSize];
        if (ShortcutPath(g_backdrop, folder, path))
            CreateShortcut(g_installDir, g_programPath, path, ShortcutDescription);
    }
    EndCom(s_com);
}
