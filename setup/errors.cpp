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

void ReportSystemError(DWORD status, const SystemTextMessage &message)
{
    if (status == 0)
        return;
    char *text = 0;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, 0, status,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char *>(&text), 0,
                   0);
    // A status the system has no text for still gets its coded box.
    ShowCodedBox(text ? text : "", message.code);
    if (text)
        LocalFree(text);
}
