#include "tests/win/check.h"
#include "payload/payload.h"
#include "setup/messages.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

static int s_passed, s_failed;
std::string g_payloadFiles, g_fixtures;

static std::string s_boxes;

// Runs in the test's own thread as each window is activated: a message box is
// read and answered with OK, which its modal loop then takes.
static LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    char kind[16] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(window, kind, sizeof kind) && !lstrcmpA(kind, "#32770") &&
        GetDlgItem(window, 0xFFFF) && !GetPropA(window, "answered")) {
        char caption[256] = "", message[1024] = "";
        GetWindowTextA(window, caption, sizeof caption);
        GetDlgItemTextA(window, 0xFFFF, message, sizeof message);
        SetPropA(window, "answered", window);
        s_boxes += std::string(caption) + ": " + message + "\n";
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(0, code, wParam, lParam);
}

std::string TakeBoxes()
{
    std::string boxes;
    boxes.swap(s_boxes);
    return boxes;
}

std::string BoxLine(const FixedMessage &message, const std::string &detail)
{
    return std::string("ERROR ") + message.code + ": " + message.text +
           (detail.empty() ? "" : "\r\n\r\n" + detail) + "\n";
}

void Check(bool ok, const char *what, const char *file, int line)
{
    if (ok) {
        ++s_passed;
        return;
    }
    ++s_failed;
    std::printf("  FAILED %s:%d: %s\n", file, line, what);
}

static std::string Quoted(const std::string &text)
{
    std::string out = "'";
    for (unsigned char c : text) {
        char escaped[8];
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out + "'";
}

void CheckEqual(const std::string &actual, const std::string &expected, const char *what,
                const char *file, int line)
{
    Check(actual == expected, what, file, line);
    if (actual == expected)
        return;
    if (actual.size() <= 200 && expected.size() <= 200) {
        std::printf("    got      %s\n    expected %s\n", Quoted(actual).c_str(), Quoted(expected).c_str());
        return;
    }
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    std::printf("    got %zu bytes, expected %zu; first difference at byte %zu: got %s, expected %s\n",
                actual.size(), expected.size(), at, Quoted(actual.substr(at, 24)).c_str(),
                Quoted(expected.substr(at, 24)).c_str());
}

void CheckEqual(long long actual, long long expected, const char *what, const char *file, int line)
{
    Check(actual == expected, what, file, line);
    if (actual != expected)
        std::printf("    got      %lld (0x%llX)\n    expected %lld (0x%llX)\n", actual,
                    static_cast<unsigned long long>(actual), expected,
                    static_cast<unsigned long long>(expected));
}

std::string ReadWholeFile(const std::string &path)
{
    std::string bytes;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return "<missing>";
    char chunk[65536];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, count);
    std::fclose(file);
    return bytes;
}

bool WriteWholeFile(const std::string &path, const std::string &bytes)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

unsigned Attributes(const std::string &path)
{
    return GetFileAttributesA(path.c_str());
}

static void RemoveTree(const std::string &path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

std::string Listing(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (lstrcmpA(found.cFileName, ".") && lstrcmpA(found.cFileName, ".."))
                names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string &name : names)
        listing += (listing.empty() ? "" : ", ") + name;
    return listing;
}

void FreshFolder(const std::string &path)
{
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), 0);
}

void WriteRegistryText(void *root, const char *key, const char *name, const char *value,
                       unsigned long type)
{
    HKEY opened;
    if (RegCreateKeyExA(static_cast<HKEY>(root), key, 0, 0, 0, KEY_ALL_ACCESS, 0, &opened, 0))
        return;
    if (value)
        RegSetValueExA(opened, name, 0, type, reinterpret_cast<const BYTE *>(value),
                       lstrlenA(value) + 1);
    else
        RegDeleteValueA(opened, name);
    RegCloseKey(opened);
}

std::string ReadRegistryText(void *root, const char *key, const char *name)
{
    HKEY opened;
    char value[MAX_PATH] = "";
    DWORD size = sizeof value - 1;
    if (RegOpenKeyExA(static_cast<HKEY>(root), key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        RegQueryValueExA(opened, name, 0, 0, reinterpret_cast<BYTE *>(value), &size);
        RegCloseKey(opened);
    }
    return value;
}

int FailedChecks()
{
    return s_failed;
}

// payload_test.cpp: an install stopped at a file operation, in a child process.
int InstallStoppedAt(int k);

extern const TestCase g_locationTests[], g_registryTests[], g_payloadTests[], g_shortcutTests[],
    g_uiTests[], g_stopTests[];

int main(int argc, char **argv)
{
    if (argc > 1)
        g_payloadFiles = argv[1];
    if (argc > 2)
        g_fixtures = argv[2];
    std::setvbuf(stdout, 0, _IONBF, 0);
    SetWindowsHookExA(WH_CBT, AnswerBox, 0, GetCurrentThreadId());
    CHECK(LoadPayloadLibraries());                    // as setup.exe does first
    if (argc > 4 && lstrcmpA(argv[3], "--stop-at") == 0)
        return InstallStoppedAt(std::atoi(argv[4]));
    const bool stops = argc > 3 && lstrcmpA(argv[3], "--stops") == 0;
    static const TestCase *const everyGroup[] = {g_registryTests, g_locationTests, g_payloadTests, g_shortcutTests,
                                                 g_uiTests, 0};
    static const TestCase *const stopGroup[] = {g_stopTests, 0};
    for (const TestCase *const *groups = stops ? stopGroup : everyGroup; *groups; ++groups) {
        const TestCase *group = *groups;
        for (const TestCase *test = group; test->name; ++test) {
            int failedBefore = s_failed;
            test->run();
            CHECK_EQ(TakeBoxes(), "");
            std::printf("%s %s\n", s_failed == failedBefore ? "ok  " : "FAIL", test->name);
        }
    }
    std::printf("%d passed, %d failed\n", s_passed, s_failed);
    return s_failed ? 1 : 0;
}
