// qmkuins1.exe stopped at its k-th file operation, k from QM_STOP_AT (none
// or 0: no stop): the uninstaller itself, started through this.
#include <windows.h>
#include "tests/win/stop_at.h"

extern "C" void EntryPoint();

extern "C" void StoppingEntryPoint()
{
    char number[16];
    DWORD length = GetEnvironmentVariableA("QM_STOP_AT", number, sizeof number);
    int k = 0;
    for (DWORD at = 0; at < length && at < sizeof number && number[at] >= '0' && number[at] <= '9'; ++at)
        k = k * 10 + (number[at] - '0');
    StopAtFileOperation(k);
    EntryPoint();
}
