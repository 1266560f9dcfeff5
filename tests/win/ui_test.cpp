// The backdrop window as the system sees it.
#include "resources/resource_ids.h"
#include "setup/globals.h"
#include "tests/win/check.h"
#include "ui/ui.h"
#include <vector>

// The colour pixels of an icon, row by row; empty when it has none.
static std::vector<DWORD> Pixels(HICON icon)
{
    std::vector<DWORD> pixels;
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return pixels;
    BITMAP bitmap;
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap)) {
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = bitmap.bmWidth;
        format.bmiHeader.biHeight = bitmap.bmHeight;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        pixels.resize(bitmap.bmWidth * bitmap.bmHeight);
        HDC dc = GetDC(0);
        GetDIBits(dc, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
        ReleaseDC(0, dc);
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

static void TheSmallIconIsTheIconsOwnSmallImage()
{
    g_instance = GetModuleHandleA(0);
    HWND backdrop = CreateBackdrop();
    CHECK(backdrop != 0);
    int size = GetSystemMetrics(SM_CXSMICON);
    HICON own = static_cast<HICON>(
        LoadImageA(g_instance, MAKEINTRESOURCEA(PRODUCT_ICON), IMAGE_ICON, size, size, 0));
    HICON shrunk = static_cast<HICON>(
        CopyImage(LoadIconA(g_instance, MAKEINTRESOURCEA(PRODUCT_ICON)), IMAGE_ICON, size, size, 0));
    CHECK(Pixels(own) != Pixels(shrunk));               // the two can be told apart
    CHECK(Pixels(reinterpret_cast<HICON>(GetClassLongPtrA(backdrop, GCLP_HICONSM))) == Pixels(own));
    DestroyWindow(backdrop);
    UnregisterClassA(ProductName, g_instance);
    MSG quit;                                           // posted by the window's end
    PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
    g_instance = 0;
}

extern const TestCase g_uiTests[] = {
    {"the small icon is the icon's own small image", TheSmallIconIsTheIconsOwnSmallImage},
    {0, 0},
};
