// The floor of an install: the least any installer must do to put the same
// files in place.  Reads every file given from SOURCE into memory, then,
// timed, writes each into the new folder TARGET with one create, one write
// and one close, and starts TARGET\PROGRAM through the shell as setup.exe
// does.  Prints the two times in microseconds:
//   floor.exe SOURCE TARGET PROGRAM NAME...
//   -> "floor writing N starting M"
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string>
#include <vector>

static std::string ReadWhole(const std::string &path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, 0));
    DWORD got = 0;
    if (!ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, 0) || got != bytes.size())
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

static long long Microseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return (to.QuadPart - from.QuadPart) * 1000000 / frequency.QuadPart;
}

int main(int argc, char **argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: floor.exe SOURCE TARGET PROGRAM NAME...\n");
        return 2;
    }
    std::string source = argv[1], target = argv[2];
    std::vector<std::string> names(argv + 4, argv + argc), contents;
    for (const std::string &name : names) {
        contents.push_back(ReadWhole(source + "\\" + name));
        if (contents.back().empty()) {
            fprintf(stderr, "floor: cannot read %s\n", name.c_str());
            return 2;
        }
    }
    LARGE_INTEGER frequency, start, written, started;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateDirectoryA(target.c_str(), 0)) {
        fprintf(stderr, "floor: cannot make %s\n", target.c_str());
        return 2;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        HANDLE file = CreateFileA((target + "\\" + names[i]).c_str(), GENERIC_WRITE, 0, 0, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, 0);
        DWORD done = 0;
        if (file == INVALID_HANDLE_VALUE ||
            !WriteFile(file, contents[i].data(), static_cast<DWORD>(contents[i].size()), &done, 0) ||
            done != contents[i].size()) {
            fprintf(stderr, "floor: cannot write %s\n", names[i].c_str());
            return 2;
        }
        CloseHandle(file);
    }
    QueryPerformanceCounter(&written);
    SetCurrentDirectoryA(target.c_str());
    ShellExecuteA(0, "open", argv[3], "", target.c_str(), SW_SHOWDEFAULT);
    QueryPerformanceCounter(&started);
    printf("floor writing %lld starting %lld\n", Microseconds(start, written, frequency),
           Microseconds(written, started, frequency));
    return 0;
}
