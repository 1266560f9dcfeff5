// Coded error boxes (setup/messages.h).  A report never ends the program: the
// caller decides.
#pragma once
#include <windows.h>
#include "setup/messages.h"

// A modal box with no owner: the message's text, then `detail` (a file's
// path, say) after a blank line, the caption "ERROR " and its code, the error
// icon and OK.
void ReportError(const FixedMessage &message, const char *detail = 0);

// The same box with the system's own text for `status`; nothing for 0.
void ReportSystemError(DWORD status, const SystemTextMessage &message, const char *detail = 0);
