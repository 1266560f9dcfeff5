// A small checking kit for the tests that run under Wine: each failed check
// prints where it failed; the run ends with "N passed, N failed".
#pragma once
#include <string>

void Check(bool ok, const char *what, const char *file, int line);
void CheckText(const std::string &actual, const std::string &expected, const char *what,
               const char *file, int line);
#define CHECK(condition) Check((condition), #condition, __FILE__, __LINE__)
#define CHECK_TEXT(actual, expected) CheckText((actual), (expected), #actual, __FILE__, __LINE__)

// A group of related checks.
struct TestCase {
    const char *name;
    void (*run)();
};

// Where the build left the expected bytes, as a Windows path (Z:\...).
extern std::string g_payloadFiles;  // build/payload/files
extern std::string g_fixtures;      // build/fixtures

// Helpers over the real file system and registry.
std::string ReadWholeFile(const std::string &path);
bool WriteWholeFile(const std::string &path, const std::string &bytes);
bool FileExists(const std::string &path);
bool IsFolder(const std::string &path);
unsigned Attributes(const std::string &path);
// Empties and recreates a scratch folder (read-only files included).
void FreshFolder(const std::string &path);
// A text value of `key` under `root`: written (a null `value` deletes it) or read.
void WriteRegistryText(void *root, const char *key, const char *name, const char *value,
                       unsigned long type = 1 /* REG_SZ */);
std::string ReadRegistryText(void *root, const char *key, const char *name);
