// What the user sees: the full-screen backdrop and the dialogs.
#pragma once
#include <windows.h>
#include "resources/resource_ids.h"

// Registers the class, then creates, shows and updates the window; null when
// either step fails.
HWND CreateBackdrop();
LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintBackdrop(HDC dc);

INT_PTR CALLBACK LocationDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ChangeFolderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AgreementDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The modeless wait box, painted at once with the backdrop behind it: nothing
// serves their messages while the files are written.  Null when it cannot be
// made.
HWND ShowWaitBox();
