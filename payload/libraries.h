// The functions the payload takes from VERSION (the version of a program
// already there).  The library is not on Windows' list of known DLLs, so
// setup.exe does not import it: it is loaded from the system folder at
// start-up (setup/system_library.h) and stays for the run.
#pragma once
#include <windows.h>

struct VersionFunctions {
    decltype(&::GetFileVersionInfoSizeA) GetFileVersionInfoSizeA;
    decltype(&::GetFileVersionInfoA) GetFileVersionInfoA;
    decltype(&::VerQueryValueA) VerQueryValueA;
};

extern VersionFunctions g_version;
