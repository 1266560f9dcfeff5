// How long setup.exe's check of its carried files takes under Wine: every
// entry read in place and its CRC computed, as at the start of each run.  The
// first pass also pages the carried files in; the others find them there.
#include "payload/payload.h"
#include "payload/stored_entries.h"
#include "setup/globals.h"
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

int main()
{
    const int passes = 9;
    g_instance = GetModuleHandleA(0);
    unsigned long long bytes = 0;
    for (uint32_t size : g_storedSizes)
        bytes += size;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    for (int pass = 0; pass < passes; ++pass) {
        QueryPerformanceCounter(&start);
        bool intact = CarriedFilesIntact();
        QueryPerformanceCounter(&end);
        if (!intact) {
            std::printf("bench-integrity: the carried files do not match their table\n");
            return 1;
        }
        ms.push_back(1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    double first = ms[0];
    std::sort(ms.begin() + 1, ms.end());
    std::printf("integrity check of %u entries, %llu bytes: first pass %.1f ms; then median %.1f ms "
                "(%.1f-%.1f) over %d passes\n",
                static_cast<unsigned>(StoredEntryCount), bytes, first,
                ms[passes / 2], ms[1], ms[passes - 1], passes - 1);
    return 0;
}
