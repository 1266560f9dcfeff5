// Libraries of the system folder, and nothing else.  Windows looks for a
// library that is not on its list of known DLLs in the program's own folder
// first; a setup program is run from a downloads folder that holds whatever
// else the browser saved there, so a library of such a name beside it would
// run with the setup's rights.  Both programs close that search before
// anything loads a library, and load every library that is not in their
// import table from the system folder by its full path.
#pragma once
#include <windows.h>

// Leaves only the system folder to search for libraries loaded by name from
// here on (by the program, and by the system's own code on its behalf).  The
// first thing each program does.
void CloseLibrarySearch();

// `file` from the system folder, or null (the last error says why).
HMODULE LoadSystemLibrary(const char *file);

// A function of a loaded library by name, as the type it is called through;
// null when the library lacks it.
template <typename Function> Function LibraryFunction(HMODULE library, const char *name)
{
    // Through the generic function pointer type, which any other converts to.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// A function of KERNEL32 that older systems lack, or null.
template <typename Function> Function KernelFunction(const char *name)
{
    return LibraryFunction<Function>(GetModuleHandleA("KERNEL32.DLL"), name);
}
