#include "payload/libraries.h"
#include "payload/payload.h"
#include "setup/errors.h"
#include "setup/system_library.h"

VersionFunctions g_version;

template <typename Function> static bool Take(HMODULE library, Function &function, const char *name)
{
    function = LibraryFunction<Function>(library, name);
    return function != 0;
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
    if (BindVersion())
        return true;
    ReportError(LibraryMissing, "VERSION.DLL");
    return false;
}
