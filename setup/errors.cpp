#include "setup/errors.h"
#include "setup/product.h"
#include "setup/text.h"

static void ShowCodedBox(const char *text, const char *code, const char *detail)
{
    char withDetail[3 * PathSize];
    if (detail && CopyText(withDetail, sizeof withDetail, text)) {
        size_t length = TextLength(withDetail);
        while (length > 0 && (withDetail[length - 1] == '\r' || withDetail[length - 1] == '\n'))
            withDetail[--length] = 0;
        if (AppendText(withDetail, sizeof withDetail, "\r\n\r\n") &&
            AppendText(withDetail, sizeof withDetail, detail))
            text = withDetail;
    }
    PathBuffer caption;
    CopyText(caption, PathSize, "ERROR ");
    AppendText(caption, PathSize, code);
    MessageBoxA(0, text, caption, MB_ICONERROR);
}

void ReportError(const FixedMessage &message, const char *detail)
{
    ShowCodedBox(message.text, message.code, detail);
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
    ShowCodedBox(text ? text : "", message.code, detail);
    if (text)
        LocalFree(text);
}
