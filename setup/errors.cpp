#include "setup/errors.h"
#include "setup/product.h"
#include "setup/text.h"

void ReportError(const char *message, const char *code)
{
    PathBuffer caption;
    CopyText(caption, PathSize, "ERROR ");
    AppendText(caption, PathSize, code);
    MessageBoxA(0, message, caption, MB_ICONERROR);
}

void ReportSystemError(DWORD status, const char *code)
{
    if (status == 0)
        return;
    char *text = 0;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, 0, status, 0x400,
                   reinterpret_cast<char *>(&text), 0, 0);
    // A status the system has no text for still gets its coded box.
    ReportError(text ? text : "", code);
    if (text)
        LocalFree(text);
}
