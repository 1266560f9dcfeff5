// Coded error boxes (setup/messages.h).  A report never ends the program: the
// caller decides.
#pragma once
#include <windows.h>
#include "setup/messages.h"

// A modal box with no owner: the message's text, the caption "ERROR " and its
// code, the error icon and OK.
void ReportError(const FixedMessage &message);

// The same box with the system's own text for `status`, and `detail` (a
// file's path, say) on a line of its own after it; nothing for 0.
void ReportSystemError(DWORD status, const SystemTextMessage &message, const char *detail = 0);
