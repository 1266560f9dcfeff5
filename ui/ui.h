// What the user sees: the full-screen backdrop and the dialogs.
#pragma once
#include <windows.h>

// Resource numbers of the templates and the icon.
enum {
    LocationDialog = 101,
    ChangeFolderDialog = 102,
    WaitDialog = 103,
    AgreementDialog = 158,
    ProductIcon = 103,
    EditBox = 1000,
    BrowseButton = 1001,
    ChangeButton = 1002
};

// Registers the class, then creates, shows and updates the window; null when
// either step fails.
HWND CreateBackdrop();
LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintBackdrop(HDC dc);

INT_PTR CALLBACK LocationDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ChangeFolderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AgreementDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
