#include "setup/errors.h"
#include "setup/product.h"
#include "setup/text.h"

static void ShowCodedBox(const char *text, const char *code)
{
    PathBuffer caption;
    CopyText(caption, PathSize, "ERROR ");
    AppendText(caption, PathSize, code);
    MessageBoxA(0, text, caption, MB_ICONERROR);
}

void ReportError(const FixedMessage &message)
{
    ShowCodedBox(message.text, message.code);
}

void ReportSystemError(DWORD status, const SystemTextMessage &message, const char *detail)
{
    if (status == 0)
        return;
    char *text = 0;
    // Inserts such as %1 are shown as they stand: there is nothing to fill them with.
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   0, status, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char *>(&text), 0, 0);
    // A status the system has no text for still gets its coded box.
    const char *shown = text ? text : "";
    char withDetail[3 * PathSize];
    if (detail && CopyText(withDetail, sizeof withDetail, shown) &&
        AppendText(withDetail, sizeof withDetail, "\r\n") &&
        AppendText(withDetail, sizeof withDetail, detail))
        shown = withDetail;
    ShowCodedBox(shown, message.code);
    if (text)
        LocalFree(text);
}
