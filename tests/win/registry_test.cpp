// The registry layer against Wine's real registry.
#include "registration/record_keys.h"
#include "registration/registration.h"
#include "setup/globals.h"
#include "setup/messages.h"
#include "setup/registry.h"
#include "tests/win/check.h"
#include <cstring>

static const char ScratchKey[] = "Software\\QuillmarkTests\\Registry";

static void SettingsKeyIsCreatedWithItsParents()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brenlow");
    BuildSettingsKeyPath();
    CHECK_EQ(g_settingsKeyPath, "Software\\Brenlow\\Quillmark\\Settings");
    HKEY key;
    CHECK_EQ(OpenSettingsKey(&key), ERROR_SUCCESS);
    RegCloseKey(key);
    CHECK(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brenlow\\Quillmark\\Settings", 0, KEY_READ,
                        &key) == ERROR_SUCCESS);
    RegCloseKey(key);
}

// Stores raw bytes under `name`, as a string or as binary data.
static void Store(HKEY key, const char *name, DWORD type, const std::string &bytes)
{
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

static void StringsAreAlwaysTerminatedInsideTheBuffer()
{
    HKEY key;
    CHECK_EQ(CreateKey(HKEY_CURRENT_USER, ScratchKey, ReadWriteAccess, &key), ERROR_SUCCESS);

    CHECK_EQ(SetStringValue(key, "Written", "hello"), ERROR_SUCCESS);
    DWORD type, size = 0;
    RegQueryValueExA(key, "Written", 0, &type, 0, &size);
    CHECK_EQ(type, REG_SZ);
    CHECK_EQ(size, 6);                                  // the text and its NUL

    struct {
        const char *name;
        std::string stored;
        LONG status;
        std::string read;
        DWORD type;
    } cases[] = {
        {"Short", std::string("abcde"), ERROR_SUCCESS, "abcde", REG_SZ},         // no NUL stored
        {"Exact", std::string(259, 'x') + '\0', ERROR_SUCCESS, std::string(259, 'x'), REG_SZ},
        {"Unterminated259", std::string(259, 'y'), ERROR_SUCCESS, std::string(259, 'y'), REG_SZ},
        {"Full", std::string(260, 'z'), ERROR_MORE_DATA, "", REG_SZ},             // no room for a NUL
        {"TooLong", std::string(300, 'w'), ERROR_MORE_DATA, "", REG_SZ},
        {"Empty", std::string(), ERROR_SUCCESS, "", REG_SZ},
        // Not text as it stands: a folder with a variable still to expand, bytes.
        {"Expandable", std::string("%ProgramFiles%\\Quillmark") + '\0', ERROR_INVALID_DATATYPE, "", REG_EXPAND_SZ},
        {"Binary", std::string("C:\\Quillmark") + '\0', ERROR_INVALID_DATATYPE, "", REG_BINARY},
    };
    for (auto &c : cases) {
        Store(key, c.name, c.type, c.stored);
        char memory[PathSize + 8];
        std::memset(memory, '#', sizeof memory);
        LONG status = QueryStringValue(key, c.name, memory, PathSize);
        CHECK_EQ(status, c.status);
        CHECK(std::memchr(memory, 0, PathSize) != 0);
        CHECK_EQ(memory, c.read);
        for (size_t i = PathSize; i < sizeof memory; ++i)
            CHECK_EQ(memory[i], '#');
    }
    CHECK(QueryStringValue(key, "Missing", reinterpret_cast<char *>(&type), 1) != ERROR_SUCCESS);
    RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuillmarkTests");
}

// A folder too long to name the uninstaller in: no uninstall entry, rather
// than one with an empty command, and box 9.
static void NoUninstallEntryWithoutTheUninstallersPath()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, UninstallEntryKey);
    CHECK(!RegisterUninstaller(("C:\\" + std::string(250, 'w')).c_str()));
    CHECK_EQ(TakeBoxes(), BoxLine(UninstallerNotRegistered));
    HKEY key;
    CHECK_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallEntryKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

extern const TestCase g_registryTests[] = {
    {"settings key is created with its parents", SettingsKeyIsCreatedWithItsParents},
    {"strings are always terminated inside the buffer", StringsAreAlwaysTerminatedInsideTheBuffer},
    {"no uninstall entry without the uninstaller's path", NoUninstallEntryWithoutTheUninstallersPath},
    {0, 0},
};
