#include "payload/libraries.h"
#include "payload/payload.h"
#include "setup/errors.h"
#include "setup/system_library.h"

Lz32Functions g_lz32;
VersionFunctions g_version;

template <typename Function> static bool Take(HMODULE library, Function &function, const char *name)
{
    function = LibraryFunction<Function>(library, name);
    return function != 0;
}

static bool BindLz32()
{
    HMODULE library = LoadSystemLibrary("LZ32.DLL");
    return library && Take(library, g_lz32.LZInit, "LZInit") && Take(library, g_lz32.LZRead, "LZRead") &&
           Take(library, g_lz32.LZClose, "LZClose");
}

static bool BindVersion()
{
    HMODULE library = LoadSystemLibrary("VERSION.DLL");
    return library && Take(library, g_version.GetFileVersionInfoSizeA, "GetFileVersionInfoSizeA") &&
           Take(library, g_version.GetFileVersionInfoA, "GetFileVersionInfoA") &&
           Take(library, g_version.VerQueryValueA, "VerQueryValueA");
}

bool LoadPayloadLibraries()
{
    const char *missing = !BindLz32() ? "LZ32.DLL" : !BindVersion() ? "VERSION.DLL" : 0;
    if (missing)
        ReportError(LibraryMissing, missing);
    return !missing;
}
