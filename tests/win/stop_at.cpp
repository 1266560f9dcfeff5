#include <windows.h>
#include "tests/win/stop_at.h"

static int s_stopAt, s_calls, s_firstLink;

static void Count()
{
    if (++s_calls == s_stopAt)
        TerminateProcess(GetCurrentProcess(), StoppedExitCode);
}

// The functions counted, and what their import table entries held.
enum { CountedFunctions = 9 };
static void *s_real[CountedFunctions];

// A counting stand-in for the imported function number `I`, of its type.
template <int I, typename F> struct Counted;
template <int I, typename R, typename... A> struct Counted<I, R WINAPI(A...)> {
    static R WINAPI Call(A... arguments)
    {
        Count();
        return reinterpret_cast<R(WINAPI *)(A...)>(s_real[I])(arguments...);
    }
};

#define COUNTED(i, name) {#name, reinterpret_cast<void *>(&Counted<i, decltype(name)>::Call)}
static const struct {
    const char *name;
    void *counted;
} s_counted[CountedFunctions] = {
    COUNTED(0, CreateFileA), COUNTED(1, WriteFile), COUNTED(2, MoveFileA), COUNTED(3, MoveFileExA),
    COUNTED(4, DeleteFileA), COUNTED(5, SetFileAttributesA), COUNTED(6, RemoveDirectoryA),
    COUNTED(7, FlushFileBuffers), COUNTED(8, CloseHandle),
};

static BOOL(WINAPI *s_createHardLink)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);
static BOOL WINAPI CountedCreateHardLink(LPCSTR link, LPCSTR existing, LPSECURITY_ATTRIBUTES security)
{
    Count();
    if (!s_firstLink)
        s_firstLink = s_calls;
    return s_createHardLink(link, existing, security);
}

static FARPROC(WINAPI *s_getProcAddress)(HMODULE, LPCSTR);
static FARPROC WINAPI LookUp(HMODULE module, LPCSTR name)
{
    FARPROC found = s_getProcAddress(module, name);
    if (!found || reinterpret_cast<ULONG_PTR>(name) >> 16 == 0 || lstrcmpA(name, "CreateHardLinkA") != 0)
        return found;
    s_createHardLink = reinterpret_cast<decltype(s_createHardLink)>(reinterpret_cast<void *>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&CountedCreateHardLink));
}

// The shipped programs hold their code and their import table in one
// section: the page stays executable.
static void Patch(void **slot, void *to)
{
    DWORD protection;
    VirtualProtect(slot, sizeof *slot, PAGE_EXECUTE_READWRITE, &protection);
    *slot = to;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// Each import table entry that holds one of the functions counted (the
// loader put its address there) is pointed at the counting stand-in.
void StopAtFileOperation(int k)
{
    s_stopAt = k;
    HMODULE kernel32 = GetModuleHandleA("KERNEL32");
    s_getProcAddress = GetProcAddress;
    for (int counted = 0; counted < CountedFunctions; ++counted)
        s_real[counted] = reinterpret_cast<void *>(GetProcAddress(kernel32, s_counted[counted].name));
    BYTE *image = reinterpret_cast<BYTE *>(GetModuleHandleA(0));
    IMAGE_NT_HEADERS *headers =
        reinterpret_cast<IMAGE_NT_HEADERS *>(image + reinterpret_cast<IMAGE_DOS_HEADER *>(image)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR *library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(image + imports.VirtualAddress);
         library->Name; ++library)
        for (void **slot = reinterpret_cast<void **>(image + library->FirstThunk); *slot; ++slot) {
            if (*slot == reinterpret_cast<void *>(s_getProcAddress))
                Patch(slot, reinterpret_cast<void *>(&LookUp));
            for (int counted = 0; counted < CountedFunctions; ++counted)
                if (*slot == s_real[counted])
                    Patch(slot, s_counted[counted].counted);
        }
}
int FileOperationsSoFar()
{
    return s_calls;
}

int FirstHardLink()
{
    return s_firstLink;
}
