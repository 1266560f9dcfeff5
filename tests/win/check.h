// A small checking kit for the tests that run under Wine: each failed check
// prints where it failed; the run ends with "N passed, N failed".
#pragma once
#include <string>
#include <type_traits>

void Check(bool ok, const char *what, const char *file, int line);
#define CHECK(condition) Check((condition), #condition, __FILE__, __LINE__)

// A comparison that prints, when it fails, what was found and what was
// expected: texts quoted (long ones as their lengths and first difference),
// numbers in decimal and hex.
void CheckEqual(const std::string &actual, const std::string &expected, const char *what,
                const char *file, int line);
void CheckEqual(long long actual, long long expected, const char *what, const char *file, int line);
template <typename A, typename E,
          typename = std::enable_if_t<(std::is_arithmetic<A>::value || std::is_enum<A>::value) &&
                                      (std::is_arithmetic<E>::value || std::is_enum<E>::value)>>
void CheckEqual(const A &actual, const E &expected, const char *what, const char *file, int line)
{
    CheckEqual(static_cast<long long>(actual), static_cast<long long>(expected), what, file, line);
}
inline void CheckEqual(const char *actual, const char *expected, const char *what,
                       const char *file, int line)
{
    CheckEqual(std::string(actual), std::string(expected), what, file, line);
}
inline void CheckEqual(const char *actual, const std::string &expected, const char *what,
                       const char *file, int line)
{
    CheckEqual(std::string(actual), expected, what, file, line);
}
inline void CheckEqual(const std::string &actual, const char *expected, const char *what,
                       const char *file, int line)
{
    CheckEqual(actual, std::string(expected), what, file, line);
}
#define CHECK_EQ(actual, expected) \
    CheckEqual((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)

// Message boxes the code under test shows are answered with OK as they come
// up, and what each said is kept.  TakeBoxes returns one
// "CAPTION: text" line per box answered since it was last called; a test
// case that leaves a box untaken fails.
std::string TakeBoxes();
struct FixedMessage;
// The line its box gives, with a detail below the text when there is one.
std::string BoxLine(const FixedMessage &message, const std::string &detail = "");

// How many checks have failed so far.
int FailedChecks();

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
// The names in a folder, sorted, as "a, b, c".
std::string Listing(const std::string &folder);
// Empties and recreates a scratch folder (read-only files included).
void FreshFolder(const std::string &path);
// A text value of `key` under `root`: written (a null `value` deletes it) or read.
void WriteRegistryText(void *root, const char *key, const char *name, const char *value,
                       unsigned long type = 1 /* REG_SZ */);
std::string ReadRegistryText(void *root, const char *key, const char *name);
