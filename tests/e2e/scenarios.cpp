// The end-to-end scenarios, one function each, and the driver's entry point.
//   driver.exe [--setup=PATH] [--root=PATH] [--signal=DIR] [--timeout=S] SCENARIO
//   driver.exe --list
// Paths are Windows paths as the prefix sees them (Z:\... for the build tree).
#include <stdio.h>
#include <string.h>

#include "tests/e2e/driver.h"

using namespace e2e;

namespace {

const char *const kDriveSpec = "Invalid drive specification";
const char *const kCannotCreate = "Could not create the specified folder.";

std::string Repeat(char c, size_t n) { return std::string(n, c); }

// Dialog 101 of a first run: the default proposal, "Change..." enabled.
HWND ExpectDefaultProposal(Setup &setup) {
    HWND location = setup.WaitFor(Dlg::Location);
    ExpectItemText("101 proposes <Program Files>\\Quillmark", location, 1000, DefaultProposal());
    Check(ItemEnabled(location, 1002), "101: \"Change...\" is enabled");
    return location;
}

void CancelAndExpectExit(Setup &setup, HWND location) {
    Click(location, IDCANCEL);
    CheckEq("exit code", 0, setup.WaitExit());
}

// Checks that the template looks the way the scenarios rely on.
void Prefix() {
    CheckEq("A: is a floppy drive", DRIVE_REMOVABLE, GetDriveTypeA("A:\\"));
    CheckEq("D: is a CD-ROM drive", DRIVE_CDROM, GetDriveTypeA("D:\\"));
    CheckEq("C: is a fixed drive", DRIVE_FIXED, GetDriveTypeA("C:\\"));
    CheckEq("a 32-bit program's ProgramFilesDir", "C:\\Program Files (x86)", ProgramFilesDir());
    std::string native;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
        char data[MAX_PATH] = "";
        DWORD size = sizeof data - 1;
        RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE *>(data), &size);
        RegCloseKey(key);
        native = data;
    }
    CheckEq("a 64-bit program's ProgramFilesDir", "C:\\Program Files", native);
    Check(!RegKeyExists(HKEY_CURRENT_USER, "Software\\Brenlow"), "no settings of an earlier run");
    // The faces the dialogs and the backdrop ask for.
    HDC dc = GetDC(nullptr);
    for (const char *face : {"MS Sans Serif", "Courier", "Symbol", "Times New Roman"}) {
        LOGFONTA want = {};
        want.lfCharSet = DEFAULT_CHARSET;
        strncpy(want.lfFaceName, face, LF_FACESIZE - 1);
        bool found = false;
        EnumFontFamiliesExA(
            dc, &want, [](const LOGFONTA *, const TEXTMETRICA *, DWORD, LPARAM found) -> int {
                *reinterpret_cast<bool *>(found) = true;
                return 0;
            },
            reinterpret_cast<LPARAM>(&found), 0);
        Check(found, std::string("font ") + Quote(face) + " is there");
    }
    ReleaseDC(nullptr, dc);
}

// A first run, left at once: the default proposal, nothing written but the
// settings key.
void FirstRunCancel() {
    std::string proposal = DefaultProposal();
    Check(!Exists(proposal), "before: " + proposal + " does not exist");
    Setup setup;
    HWND location = ExpectDefaultProposal(setup);
    CancelAndExpectExit(setup, location);
    Check(RegKeyExists(HKEY_CURRENT_USER, kSettingsKey), "HKCU\\" + std::string(kSettingsKey) + " exists");
    std::string path;
    Check(!RegRead(HKEY_CURRENT_USER, kSettingsKey, "Path", path), "no folder remembered", Quote(path));
    Check(!Exists(proposal), "nothing made at " + proposal);
}

// The folder remembered by an earlier run, in its three forms.
void RememberedFolder() {
    Note("remembered folder that holds the program (stored with a trailing backslash)");
    MakeDirs("C:\\Apps\\Quillmark");
    WriteAll("C:\\Apps\\Quillmark\\Quillmark.exe", "MZ");
    RegWrite(HKEY_CURRENT_USER, kSettingsKey, "Path", "C:\\Apps\\Quillmark\\");
    {
        Setup setup;
        HWND location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 proposes the remembered folder", location, 1000, "C:\\Apps\\Quillmark");
        Check(!ItemEnabled(location, 1002), "101: \"Change...\" is disabled for an existing installation");
        CancelAndExpectExit(setup, location);
    }

    Note("remembered folder without the program, its last level missing");
    MakeDirs("C:\\Old");
    RegWrite(HKEY_CURRENT_USER, kSettingsKey, "Path", "C:\\Old\\Quillmark");
    {
        Setup setup;
        HWND location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 proposes the remembered folder", location, 1000, "C:\\Old\\Quillmark");
        Check(ItemEnabled(location, 1002), "101: \"Change...\" is enabled");
        CancelAndExpectExit(setup, location);
    }
    Check(IsDir("C:\\Old\\Quillmark"), "the remembered folder was created by its silent check");

    Note("remembered folder beginning with ':'");
    RegWrite(HKEY_CURRENT_USER, kSettingsKey, "Path", ":\\Apps\\Quillmark");
    {
        Setup setup;
        HWND location = ExpectDefaultProposal(setup);
        CancelAndExpectExit(setup, location);
    }
}

// Dialog 102: typing, cancelling, browsing.
void ChangeFolderDialog() {
    MakeDirs("C:\\Work\\Drafts");
    Setup setup;
    HWND location = ExpectDefaultProposal(setup);

    ChangeFolder(setup, location, "C:\\Scripts\\Quillmark");
    ExpectItemText("101 shows the folder typed in 102", location, 1000, "C:\\Scripts\\Quillmark");

    ChangeFolder(setup, location, "C:\\Elsewhere", false);
    CheckEq("after \"Cancel\" in 102, 101 still shows the previous folder", "C:\\Scripts\\Quillmark",
            ItemText(location, 1000));

    Click(location, 1002);
    HWND change = setup.WaitFor(Dlg::ChangeFolder);
    CheckEq("102 starts from the current folder", "C:\\Scripts\\Quillmark", ItemText(change, 1000));

    Click(change, 1001);
    HWND browser = setup.WaitFor(Dlg::Browser);
    Check(HasItem(browser, 14145), "the browser has its folder tree");
    bool titled = false;
    for (HWND child = GetWindow(browser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = "";
        GetClassNameA(child, name, sizeof name);
        if (!strcmp(name, "Static") && ItemText(browser, GetDlgCtrlID(child)) ==
                                           "Chose the folder where you wish to install Quillmark")
            titled = true;
    }
    Check(titled, "the browser shows \"Chose the folder where you wish to install Quillmark\"");
    Click(browser, IDCANCEL);
    setup.WaitGone(browser);
    Sync(change);
    CheckEq("a cancelled browser changes nothing", "C:\\Scripts\\Quillmark", ItemText(change, 1000));

    Click(change, 1001);
    browser = setup.WaitFor(Dlg::Browser);
    PickFolder(setup, browser, "C:\\Work\\Drafts");
    setup.WaitGone(browser);
    ExpectItemText("102 shows the browsed folder joined with Quillmark", change, 1000, "C:\\Work\\Drafts\\Quillmark");

    Click(change, 1001);
    browser = setup.WaitFor(Dlg::Browser);
    PickFolder(setup, browser, "C:\\");
    setup.WaitGone(browser);
    ExpectItemText("a browsed drive root gives <root>Quillmark", change, 1000, "C:\\Quillmark");

    Click(change, IDOK);
    setup.WaitGone(change);
    ExpectItemText("101 shows the folder chosen in 102", location, 1000, "C:\\Quillmark");

    CancelAndExpectExit(setup, location);
    for (const char *path : {"C:\\Quillmark", "C:\\Scripts", "C:\\Work\\Drafts\\Quillmark", "C:\\Elsewhere"})
        Check(!Exists(path), std::string("nothing made at ") + path);
}

// Every rule of the folder check, in one run: each rejected folder shows its
// box and 101 comes back with the proposal; a folder of the longest length
// allowed is created and leads to the agreement.
void RejectedFolders() {
    const std::string parent = "C:\\" + Repeat('p', 120);  // 123 characters
    const std::string longest = parent + "\\" + Repeat('q', 103);
    const std::string tooLong = parent + "\\" + Repeat('q', 104);
    MakeDirs(parent);
    WriteAll("C:\\qm-file.txt", "a file, not a folder\r\n");
    // Wine keeps no read-only attribute on a folder; scenario.sh makes
    // C:\ReadOnly a folder without write permission, which Wine reports so.
    if (!IsDir("C:\\ReadOnly") || !(Attributes("C:\\ReadOnly") & FILE_ATTRIBUTE_READONLY))
        Fatal("C:\\ReadOnly is not a read-only folder");

    struct Case {
        std::string folder, code, text;
    };
    const Case cases[] = {
        {"@:\\x", "11", kDriveSpec},
        {"C:x", "11", kDriveSpec},
        {"A:\\Quillmark", "12", "You can't install Quillmark to a removable disk."},
        {tooLong, "27", "Folder name too long"},
        {"C:\\qm-file.txt", "16", kCannotCreate},
        {"C:\\ReadOnly", "14", "The folder is read only."},
        {"C:\\Missing\\Quillmark", "16", kCannotCreate},
    };
    Setup setup;
    HWND location = ExpectDefaultProposal(setup);
    const std::string proposal = DefaultProposal();
    for (const Case &c : cases) {
        Note("folder " + Quote(c.folder) + " (" + std::to_string(c.folder.size()) + " characters)");
        ChangeFolder(setup, location, c.folder);
        ExpectItemText("101 shows it", location, 1000, c.folder);
        Click(location, IDOK);
        ExpectError(setup, c.code, c.text);
        location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 reopens on the proposal", location, 1000, proposal);
    }
    Check(DirIsEmpty("A:\\"), "nothing made on the floppy");
    Check(!Exists(tooLong), "the too-long folder was not made");
    Check(!Exists("C:\\Missing"), "no parent folder was made for C:\\Missing\\Quillmark");
    Check(!IsDir("C:\\qm-file.txt") && ReadAll("C:\\qm-file.txt") == "a file, not a folder\r\n",
          "the file named as a folder is untouched");
    Check((Attributes("C:\\ReadOnly") & FILE_ATTRIBUTE_READONLY) != 0, "the read-only folder stays read-only");

    Note("folder of 227 characters, parent present");
    ChangeFolder(setup, location, longest);
    ExpectItemText("101 shows it", location, 1000, longest);
    Click(location, IDOK);
    HWND agreement = setup.WaitFor(Dlg::Agreement);
    Check(IsDir(longest), "the 227-character folder was created");
    Click(agreement, IDCANCEL);
    CheckEq("exit code after \"Decline\"", 0, setup.WaitExit());
    Check(DirIsEmpty(longest), "nothing written into it");
}

// The agreement: its text, "Decline" (the folder stays), then "Accept".
void Agreement() {
    const std::string license = ReadAll(g_cfg.root + "\\resources\\license.txt");
    const std::string proposal = DefaultProposal();
    {
        Setup setup;
        HWND location = ExpectDefaultProposal(setup);
        Click(location, IDOK);
        HWND agreement = setup.WaitFor(Dlg::Agreement);
        CheckEq("158 shows resources/license.txt as stored", license, ItemText(agreement, 1000));
        Click(agreement, IDCANCEL);
        CheckEq("exit code after \"Decline\"", 0, setup.WaitExit());
        Check(IsDir(proposal), "the validated folder was created: " + proposal);
        Check(DirIsEmpty(proposal), "nothing written into it");
    }
    {
        Note("again, accepting");
        Setup setup;
        HWND location = ExpectDefaultProposal(setup);
        Click(location, IDOK);
        HWND agreement = setup.WaitFor(Dlg::Agreement);
        Click(agreement, IDOK);
        setup.WaitFor(Dlg::Wait);
        Note("the wait box is up");
        CheckEq("exit code", 0, setup.WaitExit());
    }
}

// The settings key cannot be written: the system's text, then the end.
void SettingsDenied() {
    RegDenyWrites(HKEY_CURRENT_USER, kSettingsKey);
    Setup setup;
    ExpectError(setup, "1", SystemMessage(ERROR_ACCESS_DENIED));
    ExpectError(setup, "1A", "Unable to proceed with installation");
    CheckEq("exit code", 0, setup.WaitExit());
}

// No temporary folder: box 3, and the run goes on.
void NoTempPath() {
    const std::string tooLong = "C:\\" + Repeat('t', 297);  // 300 characters
    // The fault must be real: with these settings the system has no answer.
    char saved[2][MAX_PATH + 1] = {};
    DWORD had[2] = {GetEnvironmentVariableA("TMP", saved[0], MAX_PATH), GetEnvironmentVariableA("TEMP", saved[1], MAX_PATH)};
    SetEnvironmentVariableA("TMP", tooLong.c_str());
    SetEnvironmentVariableA("TEMP", tooLong.c_str());
    char temp[MAX_PATH];
    DWORD got = GetTempPathA(MAX_PATH, temp);
    SetEnvironmentVariableA("TMP", had[0] ? saved[0] : nullptr);
    SetEnvironmentVariableA("TEMP", had[1] ? saved[1] : nullptr);
    if (got != 0) Fatal("GetTempPathA still answers with TMP and TEMP of 300 characters: " + Quote(temp));

    Env env;
    env.set = {{"TMP", tooLong}, {"TEMP", tooLong}};
    Setup setup(env);
    ExpectError(setup, "3", "Unable to locate temp path.");
    HWND location = ExpectDefaultProposal(setup);
    CancelAndExpectExit(setup, location);
}

// The backdrop behind dialog 101, for a screenshot taken by the script: the
// driver says when 101 is up ("ready") and waits until the shot is taken ("done").
void Backdrop() {
    if (g_cfg.signal.empty()) Fatal("the backdrop scenario needs --signal=DIR");
    Setup setup;
    HWND location = setup.WaitFor(Dlg::Location);
    Sync(location);
    WriteAll(g_cfg.signal + "\\ready", "");
    ULONGLONG end = GetTickCount64() + g_cfg.timeoutMs;
    while (!Exists(g_cfg.signal + "\\done")) {
        if (GetTickCount64() > end) Fatal("no screenshot taken");
        if (!setup.Running()) Fatal("setup.exe ended before the screenshot");
        Sleep(25);
    }
    Check(setup.Dialogs().size() == 1, "only dialog 101 was up for the screenshot", setup.Describe());
    CancelAndExpectExit(setup, location);
}

struct Scenario {
    const char *name;
    void (*run)();
    const char *about;
};

// tests/e2e/CMakeLists.txt reads the names from the lines below.
const Scenario kScenarios[] = {
    {"prefix", Prefix, "the Wine prefix as the scenarios expect it"},
    {"first-run-cancel", FirstRunCancel, "first run, default proposal, Cancel"},
    {"remembered-folder", RememberedFolder, "the proposal from a remembered folder, three ways"},
    {"change-folder", ChangeFolderDialog, "dialog 102: typing, cancelling, browsing"},
    {"rejected-folders", RejectedFolders, "every folder rule's message, the longest folder allowed"},
    {"agreement", Agreement, "licence text, Decline, Accept"},
    {"settings-denied", SettingsDenied, "settings key not writable: boxes 1 and 1A"},
    {"no-temp-path", NoTempPath, "no temporary folder: box 3"},
    {"backdrop", Backdrop, "the backdrop behind 101, for the screenshot scenario.sh takes"},
};

std::string Parent(const std::string &path) {
    size_t at = path.find_last_of('\\');
    return at == std::string::npos ? path : path.substr(0, at);
}

bool Option(const char *arg, const char *name, std::string &value) {
    size_t n = strlen(name);
    if (strncmp(arg, name, n) || arg[n] != '=') return false;
    value = arg + n + 1;
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    // driver.exe lives in <build>\tests; the build folder is in the repository.
    g_cfg.build = Parent(Parent(self));
    g_cfg.root = Parent(g_cfg.build);
    std::string name, value;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--list")) {
            for (const Scenario &s : kScenarios) printf("%-20s %s\n", s.name, s.about);
            return 0;
        }
        if (Option(argv[i], "--setup", value)) g_cfg.setup = value;
        else if (Option(argv[i], "--root", value)) g_cfg.root = value;
        else if (Option(argv[i], "--build", value)) g_cfg.build = value;
        else if (Option(argv[i], "--signal", value)) g_cfg.signal = value;
        else if (Option(argv[i], "--timeout", value)) g_cfg.timeoutMs = static_cast<DWORD>(atoi(value.c_str())) * 1000;
        else if (argv[i][0] != '-' && name.empty()) name = argv[i];
        else {
            fprintf(stderr, "driver: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (g_cfg.setup.empty()) g_cfg.setup = g_cfg.build + "\\setup.exe";
    if (g_cfg.timeoutMs == 0) g_cfg.timeoutMs = 60000;
    const Scenario *scenario = nullptr;
    for (const Scenario &s : kScenarios)
        if (name == s.name) scenario = &s;
    if (!scenario) {
        fprintf(stderr, "usage: driver.exe [--setup=PATH] [--root=PATH] [--signal=DIR] [--timeout=S] SCENARIO\n"
                        "       driver.exe --list\n");
        return 2;
    }
    printf("# scenario %s: %s\n", scenario->name, scenario->about);
    bool aborted = false;
    try {
        scenario->run();
    } catch (const Abort &abort) {
        aborted = true;
        printf("FAIL - %s\n", abort.what.c_str());
    }
    int failures = FailureCount() + (aborted ? 1 : 0);
    printf("# %s: %d checks, %d failed%s\n", scenario->name, CheckCount(), FailureCount(),
           aborted ? ", stopped early" : "");
    return failures ? 1 : 0;
}
