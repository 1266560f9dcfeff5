#include "setup/com_library.h"
#include "setup/system_library.h"

bool StartCom(ComLibrary &com)
{
    // A known DLL, which Windows takes from the system folder anyway; named
    // by its full path all the same, so that no search is involved.
    com.library = LoadSystemLibrary("OLE32.DLL");
    if (!com.library)
        return false;
    decltype(&::CoInitialize) coInitialize = LibraryFunction<decltype(&::CoInitialize)>(com.library, "CoInitialize");
    com.CoUninitialize = LibraryFunction<decltype(&::CoUninitialize)>(com.library, "CoUninitialize");
    com.CoCreateInstance = LibraryFunction<decltype(&::CoCreateInstance)>(com.library, "CoCreateInstance");
    if (coInitialize && com.CoUninitialize && com.CoCreateInstance && coInitialize(0) == S_OK)
        return true;
    FreeLibrary(com.library);
    return false;
}

void EndCom(ComLibrary &com)
{
    com.CoUninitialize();
    FreeLibrary(com.library);
}
