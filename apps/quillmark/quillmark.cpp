// Quillmark: the application's main window.  It shows an empty script page
// on a grey desk and stays until the user closes it.
#include <windows.h>
#include "resources/resource_ids.h"

namespace {

const char kClassName[] = "QuillmarkMain";
const char kTitle[] = "Quillmark";

// A US letter page is 8.5 x 11 inches; the page is drawn at this many pixels
// to the inch, centred in the client area.
const int kPageWidth = 8 * 60 + 30;
const int kPageHeight = 11 * 60;
const int kShadow = 4;

void PaintPage(HDC dc, const RECT &client)
{
    HBRUSH desk = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &client, desk);
    DeleteObject(desk);

    int left = (client.right - kPageWidth) / 2;
    if (left < 8)
        left = 8;
    const int top = 12;
    RECT shadow = {left + kShadow, top + kShadow, left + kPageWidth + kShadow,
                   top + kPageHeight + kShadow};
    FillRect(dc, &shadow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT page = {left, top, left + kPageWidth, top + kPageHeight};
    FillRect(dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &page, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    // A script opens with its first transition at the left margin (1.5 in).
    static const char kOpening[] = "FADE IN:";
    HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, left + 90, top + 60, kOpening, sizeof kOpening - 1);
    SelectObject(dc, old);
}

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        RECT client;
        GetClientRect(wnd, &client);
        PaintPage(dc, client);
        EndPaint(wnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers the whole client area
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(PRODUCT_ICON));
    wc.hCursor = LoadCursorA(0, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = 0;
    wc.lpszMenuName = 0;
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 1;

    HWND wnd = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, 0, 0,
                               instance, 0);
    if (!wnd)
        return 1;
    ShowWindow(wnd, show);
    UpdateWindow(wnd);

    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// The process starts here: there is no C runtime to call WinMain for us.
extern "C" void EntryPoint()
{
    ExitProcess(static_cast<UINT>(
        WinMain(GetModuleHandleA(0), 0, 0, SW_SHOWDEFAULT)));
}
