#include "ui/ui.h"
#include "setup/globals.h"
#include "setup/text.h"

static const COLORREF FieldColour = RGB(0, 0, 128);
static const COLORREF TileColour = RGB(0, 0, 96);
static const COLORREF TitleColour = RGB(255, 255, 255);
static const char TileText[] = "QUILLMARK";
static const char TitleText[] = "Quillmark";
static const char SubtitleText[] = "Screenwriting Software";
static const char TileFace[] = "Symbol";
static const char TitleFace[] = "Times New Roman";

// Layout, in pixels.  Negative heights ask for the character height.
enum {
    TileFontHeight = -18,
    TileRowStep = 19,           // one pixel between rows of the tiled name
    TileRowShift = 5,           // each row starts 5 * y further left
    TitleFontHeight = -48,
    SubtitleFontHeight = -36,
    TextLeft = 12,
    TextBaseline = 60           // the title's bottom edge, the subtitle's top
};

HWND CreateBackdrop()
{
    WNDCLASSEXA windowClass;
    ClearBytes(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BackdropWndProc;
    windowClass.hInstance = g_instance;
    windowClass.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(PRODUCT_ICON));
    // The icon's own small image, not the large one shrunk.
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(g_instance, MAKEINTRESOURCEA(PRODUCT_ICON), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorA(0, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = ProductName;
    if (!RegisterClassExA(&windowClass))
        return 0;
    HWND window = CreateWindowExA(0, ProductName, "", WS_POPUP | WS_DLGFRAME, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0,
                                  0, g_instance, 0);
    if (!window)
        return 0;
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    return window;
}

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Everything else as the system does it (WM_CREATE: 0, go on).
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_ERASEBKGND:
        PaintBackdrop(reinterpret_cast<HDC>(wParam));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The product's name over and over in small italic type, each row shifted
// further left than the one above.
static void TileName(HDC dc, int width, int height, HFONT font)
{
    SetTextColor(dc, TileColour);
    SelectObject(dc, font);
    SIZE extent;
    if (!GetTextExtentPointA(dc, TileText, sizeof TileText - 1, &extent) || extent.cx < 2)
        return;
    // Neighbouring words overlap by one pixel.
    for (int y = 0; y < height; y += TileRowStep) {
        for (int x = -TileRowShift * y; x < width; x += extent.cx - 1) {
            if (x + extent.cx >= 0)
                TextOutA(dc, x, y, TileText, sizeof TileText - 1);
        }
    }
}

// A font of the backdrop, `height` (negative: the character height) in
// `face`; null when it cannot be made.
static HFONT MakeFont(int height, BYTE italic, const char *face)
{
    LOGFONTA description;
    ClearBytes(&description, sizeof description);
    description.lfHeight = height;
    description.lfItalic = italic;
    CopyText(description.lfFaceName, LF_FACESIZE, face);
    return CreateFontIndirectA(&description);
}

// One of the two large white texts, drawn at the left edge of the line the
// title stands on and the subtitle hangs from.
static HFONT DrawTitle(HDC dc, int height, UINT align, const char *text, int length)
{
    HFONT font = MakeFont(height, FALSE, TitleFace);
    if (font)
        SelectObject(dc, font);
    SetTextAlign(dc, align);
    TextOutA(dc, TextLeft, TextBaseline, text, length);
    return font;
}

void PaintBackdrop(HDC dc)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);

    HBRUSH field = CreateSolidBrush(FieldColour);
    HGDIOBJ previousBrush = SelectObject(dc, field);
    Rectangle(dc, 0, 0, width, height);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ previousFont = GetCurrentObject(dc, OBJ_FONT);

    HFONT tileFont = MakeFont(TileFontHeight, TRUE, TileFace);
    if (tileFont)
        TileName(dc, width, height, tileFont);
    SetTextColor(dc, TitleColour);
    HFONT titleFont = DrawTitle(dc, TitleFontHeight, TA_BOTTOM, TitleText, sizeof TitleText - 1);
    HFONT subtitleFont = DrawTitle(dc, SubtitleFontHeight, TA_TOP | TA_LEFT, SubtitleText,
                                   sizeof SubtitleText - 1);

    SelectObject(dc, previousBrush);
    SelectObject(dc, previousFont);
    // A font that could not be made is null, which DeleteObject passes over.
    DeleteObject(field);
    DeleteObject(tileFont);
    DeleteObject(titleFont);
    DeleteObject(subtitleFont);
}
