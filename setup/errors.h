// Coded error boxes.  A report never ends the program: the caller decides.
#pragma once
#include <windows.h>

// A modal box with no owner: `message`, the caption "ERROR " + `code`, the
// error icon and OK.
void ReportError(const char *message, const char *code);

// The system's own text for `status` under the same caption; nothing for 0.
void ReportSystemError(DWORD status, const char *code);
