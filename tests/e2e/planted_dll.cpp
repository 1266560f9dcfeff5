// A library planted beside setup.exe under a name Windows would look for
// there (tests/tests.mk builds one per name).  Loaded, it leaves NAME.loaded
// beside itself before anything else can happen: the planted-dlls scenario
// looks for such marks.  It exports what setup.exe once imported from LZ32,
// so that an import of those would take it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char mark[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(self, mark, MAX_PATH);
    lstrcpyA(mark + length, ".loaded");
    HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return TRUE;
}

extern "C" __declspec(dllexport) INT WINAPI LZInit(INT) { return -1; }
extern "C" __declspec(dllexport) INT WINAPI LZRead(INT, LPSTR, INT) { return -1; }
extern "C" __declspec(dllexport) void WINAPI LZClose(INT) {}
