// A 32-bit program that does nothing: what starting and ending a process
// costs, taken off the time of a whole silent install.
#include <windows.h>

extern "C" void EntryPoint()
{
    ExitProcess(0);
}
