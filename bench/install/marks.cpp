// The moments of a timed build's run (setup/bench_marks.h), appended as one
// line to the file beside the program named as it is with ".marks" added:
// the counter's frequency, then the count at each moment, in hexadecimal
// (no division of 64-bit numbers without a C runtime).  A moment not
// reached is 0.
#include <windows.h>
#include "setup/bench_marks.h"

static LARGE_INTEGER s_at[BenchMoments];

void BenchMark(BenchMoment moment)
{
    QueryPerformanceCounter(&s_at[moment]);
}

static int Hex(char *out, LARGE_INTEGER value)
{
    return wsprintfA(out, " %08lx%08lx", static_cast<unsigned long>(value.HighPart),
                     static_cast<unsigned long>(value.LowPart));
}

void WriteBenchMarks()
{
    char path[MAX_PATH + 8], line[(BenchMoments + 1) * 18 + 2];
    DWORD length = GetModuleFileNameA(0, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    lstrcpyA(path + length, ".marks");
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    int used = Hex(line, frequency);
    for (const LARGE_INTEGER &at : s_at)
        used += Hex(line + used, at);
    line[used++] = '\n';
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, 0, OPEN_ALWAYS, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, used, &written, 0);
    CloseHandle(file);
}
