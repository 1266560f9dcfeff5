#include "ui/ui.h"
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/shell_folders.h"
#include "setup/text.h"
#include <shlobj.h>

static const char BrowseTitle[] = "Chose the folder where you wish to install Quillmark";

// The longest folder that can be typed into dialog 102: with its NUL it
// leaves a byte of the PathBuffer it is read into spare.
enum { TypedFolderLimit = PathSize - 2 };

INT_PTR CALLBACK LocationDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SetDlgItemTextA(dialog, EDIT_BOX, g_installDir);
        HWND change = GetDlgItem(dialog, CHANGE_BUTTON);
        if (change)
            EnableWindow(change, !g_existingInstall);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case CHANGE_BUTTON:
        if (DialogBoxParamA(g_instance, MAKEINTRESOURCEA(CHANGE_FOLDER_DIALOG), dialog,
                            ChangeFolderDlgProc, 0) == IDOK)
            SetDlgItemTextA(dialog, EDIT_BOX, g_installDir);
        return FALSE;
    }
    return FALSE;
}

static void BrowseForFolder(HWND dialog)
{
    BROWSEINFOA browse;
    ClearBytes(&browse, sizeof browse);
    browse.hwndOwner = dialog;
    browse.pszDisplayName = g_browsePath;
    browse.lpszTitle = BrowseTitle;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST picked = SHBrowseForFolderA(&browse);
    if (!picked)
        return;
    SHGetPathFromIDListA(picked, g_browsePath);
    FreeItemList(picked);
    // A folder too long to take the product's name is shown as picked; the
    // folder rules reject it when "Install" is pressed.
    PathBuffer shown;
    if (!JoinPath(g_browsePath, ProductName, shown))
        CopyText(shown, PathSize, g_browsePath);
    SetDlgItemTextA(dialog, EDIT_BOX, shown);
}

INT_PTR CALLBACK ChangeFolderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SendDlgItemMessageA(dialog, EDIT_BOX, EM_LIMITTEXT, TypedFolderLimit, 0);
        SetDlgItemTextA(dialog, EDIT_BOX, g_installDir);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        GetDlgItemTextA(dialog, EDIT_BOX, g_installDir, PathSize);
        // fall through
    case IDCANCEL:
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case BROWSE_BUTTON:
        BrowseForFolder(dialog);
        return TRUE;
    }
    return FALSE;
}

// The licence as stored, with a terminating NUL the edit box needs.
static void ShowLicence(HWND dialog)
{
    DWORD size;
    const BYTE *licence = LoadPayload(LicenceEntry, &size);
    if (!licence)
        return;
    char *text = static_cast<char *>(LocalAlloc(LMEM_FIXED, size + 1));
    if (!text)
        return;
    CopyBytes(text, licence, size);
    text[size] = 0;
    SetDlgItemTextA(dialog, EDIT_BOX, text);
    LocalFree(text);
}

INT_PTR CALLBACK AgreementDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        ShowLicence(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

HWND ShowWaitBox()
{
    HWND wait = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(WAIT_DIALOG), g_backdrop,
                                   LocationDlgProc, 0);
    UpdateWindow(g_backdrop);                // a null backdrop: nothing to do
    if (wait)
        RedrawWindow(wait, 0, 0, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Wine puts what was painted on the screen when the program next looks
    // for messages (or once 50 ms have passed since it last did): look once
    // for one that never comes, which takes nothing and dispatches nothing.
    MSG none;
    PeekMessageA(&none, wait, WM_APP, WM_APP, PM_NOREMOVE);
    return wait;
}
