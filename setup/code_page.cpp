// The programs' answer to which bytes lead a two-byte letter (setup/paths.h):
// the system's own, for the ANSI code page it runs with.
#include "setup/paths.h"
#include <windows.h>

bool IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte);
}
