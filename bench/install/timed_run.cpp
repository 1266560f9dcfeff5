// How long programs take from their start to their end, run one after
// another as given, each with its arguments (separated by "--"):
//   timed_run.exe PROGRAM [ARG...] [-- PROGRAM [ARG...]]...
//   -> a line "run N microseconds" for each, in the order run
#include <windows.h>
#include <stdio.h>
#include <string>

int main(int argc, char **argv)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 1; i < argc;) {
        std::string command;
        for (; i < argc && strcmp(argv[i], "--"); ++i)
            command += (command.empty() ? "\"" : " \"") + std::string(argv[i]) + "\"";
        ++i;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        if (!CreateProcessA(0, &command[0], 0, 0, FALSE, 0, 0, 0, &startup, &process)) {
            fprintf(stderr, "timed_run: cannot start %s (%lu)\n", command.c_str(), GetLastError());
            return 2;
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        QueryPerformanceCounter(&to);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        printf("run %lld microseconds\n", (to.QuadPart - from.QuadPart) * 1000000 / frequency.QuadPart);
    }
    return 0;
}
