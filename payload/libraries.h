// The functions the payload takes from LZ32 (expanding) and VERSION (the
// version of a program already there).  Neither library is on Windows' list
// of known DLLs, so setup.exe does not import them: they are loaded from the
// system folder at start-up (setup/system_library.h) and stay for the run.
#pragma once
#include <windows.h>
#include <lzexpand.h>

struct Lz32Functions {
    decltype(&::LZInit) LZInit;
    decltype(&::LZRead) LZRead;
    decltype(&::LZClose) LZClose;
};

struct VersionFunctions {
    decltype(&::GetFileVersionInfoSizeA) GetFileVersionInfoSizeA;
    decltype(&::GetFileVersionInfoA) GetFileVersionInfoA;
    decltype(&::VerQueryValueA) VerQueryValueA;
};

extern Lz32Functions g_lz32;
extern VersionFunctions g_version;
