// The end-to-end scenarios, one function each, and the driver's entry point.
//   driver.exe [--setup=PATH] [--root=PATH] [--signal=DIR] [--timeout=S] [--timing] SCENARIO
//   driver.exe --list
// Paths are Windows paths as the prefix sees them (Z:\... for the build tree).
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <iterator>
#include <map>

#include "payload/manifest_table.h"
#include "registration/record_keys.h"
#include "resources/resource_ids.h"
#include "setup/messages.h"
#include "setup/product.h"
#include "tests/e2e/driver.h"

using namespace e2e;

namespace {

std::string Repeat(char c, size_t n) { return std::string(n, c); }

// Dialog 101 of a first run: the default proposal, "Change..." enabled.
HWND ExpectDefaultProposal(Setup &setup) {
    HWND location = setup.WaitFor(Dlg::Location);
    ExpectItemText("101 proposes <Program Files>\\Quillmark", location, EDIT_BOX, DefaultProposal());
    Check(ItemEnabled(location, CHANGE_BUTTON), "101: \"Change...\" is enabled");
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

// Copies of setup.exe with one byte changed in the middle of an entry, an
// SZDD image and one stored raw: box 42 names the entry before anything is
// made, not even the settings key.
void DamagedCopies(const std::string &proposal) {
    const std::string exe = ReadAll(g_cfg.setup);
    const PayloadEntry *expanded = nullptr, *raw = nullptr;
    for (const PayloadEntry &row : g_manifest) {
        if (row.method == Expand && !expanded) expanded = &row;
        if (row.method == Raw && !raw) raw = &row;
    }
    for (const PayloadEntry *row : {expanded, raw}) {
        const std::string entry = std::to_string(row->id);
        Note("a copy of setup.exe with entry " + entry + " (" + row->name + ") damaged");
        const std::string stored = ReadAll(g_cfg.build + "\\payload\\rc\\" + entry + ".bin");
        size_t at = exe.find(stored);
        if (at == std::string::npos || exe.find(stored, at + 1) != std::string::npos)
            Fatal("entry " + entry + " is not in setup.exe exactly once");
        std::string damaged = exe;
        damaged[at + stored.size() / 2] ^= 0x20;
        const std::string copy = TempDir() + "damaged-" + entry + ".exe";
        WriteAll(copy, damaged);
        Setup setup(Env(), copy);
        ExpectError(setup, SetupDamaged, "Entry " + entry);
        CheckEq("exit code", 0, setup.WaitExit());
        Check(!RegKeyExists(HKEY_CURRENT_USER, "Software\\Brenlow"), "no settings key");
        Check(!Exists(proposal), "nothing made at " + proposal);
    }
}

// A first run, left at once: the default proposal, nothing written but the
// settings key.
void FirstRunCancel() {
    std::string proposal = DefaultProposal();
    Check(!Exists(proposal), "before: " + proposal + " does not exist");
    DamagedCopies(proposal);
    Setup setup;
    HWND location = ExpectDefaultProposal(setup);
    CancelAndExpectExit(setup, location);
    Check(RegKeyExists(HKEY_CURRENT_USER, kSettingsKey), "HKCU\\" + std::string(kSettingsKey) + " exists");
    std::string path;
    Check(!RegRead(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, path), "no folder remembered", Quote(path));
    Check(!Exists(proposal), "nothing made at " + proposal);
}

// The folder remembered by an earlier run, in its three forms.
void RememberedFolder() {
    Note("remembered folder that holds the program (stored with a trailing backslash)");
    MakeDirs("C:\\Apps\\Quillmark");
    WriteAll(std::string("C:\\Apps\\Quillmark\\") + ProgramFileName, "MZ");
    RegWrite(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, "C:\\Apps\\Quillmark\\");
    {
        Setup setup;
        HWND location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 proposes the remembered folder", location, EDIT_BOX, "C:\\Apps\\Quillmark");
        Check(!ItemEnabled(location, CHANGE_BUTTON), "101: \"Change...\" is disabled for an existing installation");
        CancelAndExpectExit(setup, location);
    }

    Note("remembered folder without the program, its last level missing");
    MakeDirs("C:\\Old");
    RegWrite(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, "C:\\Old\\Quillmark");
    {
        Setup setup;
        HWND location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 proposes the remembered folder", location, EDIT_BOX, "C:\\Old\\Quillmark");
        Check(ItemEnabled(location, CHANGE_BUTTON), "101: \"Change...\" is enabled");
        CancelAndExpectExit(setup, location);
    }
    Check(IsDir("C:\\Old\\Quillmark"), "the remembered folder was created by its silent check");

    Note("remembered folder beginning with ':'");
    RegWrite(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, ":\\Apps\\Quillmark");
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
    ExpectItemText("101 shows the folder typed in 102", location, EDIT_BOX, "C:\\Scripts\\Quillmark");

    ChangeFolder(setup, location, "C:\\Elsewhere", false);
    CheckEq("after \"Cancel\" in 102, 101 still shows the previous folder", "C:\\Scripts\\Quillmark",
            ItemText(location, EDIT_BOX));

    Click(location, CHANGE_BUTTON);
    HWND change = setup.WaitFor(Dlg::ChangeFolder);
    CheckEq("102 starts from the current folder", "C:\\Scripts\\Quillmark", ItemText(change, EDIT_BOX));

    Click(change, BROWSE_BUTTON);
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
    CheckEq("a cancelled browser changes nothing", "C:\\Scripts\\Quillmark", ItemText(change, EDIT_BOX));

    Click(change, BROWSE_BUTTON);
    browser = setup.WaitFor(Dlg::Browser);
    PickFolder(setup, browser, "C:\\Work\\Drafts");
    setup.WaitGone(browser);
    ExpectItemText("102 shows the browsed folder joined with Quillmark", change, EDIT_BOX, "C:\\Work\\Drafts\\Quillmark");

    Click(change, BROWSE_BUTTON);
    browser = setup.WaitFor(Dlg::Browser);
    PickFolder(setup, browser, "C:\\");
    setup.WaitGone(browser);
    ExpectItemText("a browsed drive root gives <root>Quillmark", change, EDIT_BOX, "C:\\Quillmark");

    Click(change, IDOK);
    setup.WaitGone(change);
    ExpectItemText("101 shows the folder chosen in 102", location, EDIT_BOX, "C:\\Quillmark");

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
        std::string folder;
        FixedMessage message;
    };
    const Case cases[] = {
        {"@:\\x", InvalidDrive},
        {"C:x", InvalidDrive},
        {"A:\\Quillmark", RemovableDrive},
        {tooLong, FolderTooLong},
        {"C:\\qm-file.txt", CannotCreateFolder},
        {"C:\\ReadOnly", FolderReadOnly},
        {"C:\\Missing\\Quillmark", CannotCreateFolder},
    };
    Setup setup;
    HWND location = ExpectDefaultProposal(setup);
    const std::string proposal = DefaultProposal();
    for (const Case &c : cases) {
        Note("folder " + Quote(c.folder) + " (" + std::to_string(c.folder.size()) + " characters)");
        ChangeFolder(setup, location, c.folder);
        ExpectItemText("101 shows it", location, EDIT_BOX, c.folder);
        Click(location, IDOK);
        ExpectError(setup, c.message);
        location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 reopens on the proposal", location, EDIT_BOX, proposal);
    }
    Note("a folder in letters the code page lacks: the program reads '?'s");
    Click(location, CHANGE_BUTTON);
    HWND change = setup.WaitFor(Dlg::ChangeFolder);
    SetItemText(change, EDIT_BOX, std::wstring(L"C:\\\x03A3\x03C9\x03C4\x03B7\x03C1\x03B7\x03C2"));
    Click(change, IDOK);
    setup.WaitGone(change);
    Click(location, IDOK);
    ExpectError(setup, InvalidFolder);
    location = setup.WaitFor(Dlg::Location);
    Check(DirIsEmpty("A:\\"), "nothing made on the floppy");
    Check(!Exists(tooLong), "the too-long folder was not made");
    Check(!Exists("C:\\Missing"), "no parent folder was made for C:\\Missing\\Quillmark");
    Check(!IsDir("C:\\qm-file.txt"), "the file named as a folder is still a file");
    CheckEq("the file named as a folder is untouched", "a file, not a folder\r\n", ReadAll("C:\\qm-file.txt"));
    Check((Attributes("C:\\ReadOnly") & FILE_ATTRIBUTE_READONLY) != 0, "the read-only folder stays read-only");

    Note("folder of 227 characters, parent present");
    ChangeFolder(setup, location, longest);
    ExpectItemText("101 shows it", location, EDIT_BOX, longest);
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
        CheckEq("158 shows resources/license.txt as stored", license, ItemText(agreement, EDIT_BOX));
        Click(agreement, IDCANCEL);
        CheckEq("exit code after \"Decline\"", 0, setup.WaitExit());
        Check(IsDir(proposal), "the validated folder was created: " + proposal);
        Check(DirIsEmpty(proposal), "nothing written into it");
    }
    {
        Note("again, accepting; a second copy started meanwhile is refused");
        Setup setup;
        HWND location = ExpectDefaultProposal(setup);
        {
            Setup second;
            ExpectError(second, SetupAlreadyRunning);
            CheckEq("the second copy's exit code", 0, second.WaitExit());
        }
        Click(location, IDOK);
        HWND agreement = setup.WaitFor(Dlg::Agreement);
        Click(agreement, IDOK);
        setup.WaitFor(Dlg::Wait);
        Note("the wait box is up");
        CheckEq("exit code", 0, setup.WaitExit());
    }
    {
        Note("the name of setup's mutex taken by an object of another kind: setup cannot have it");
        HANDLE other = CreateEventA(nullptr, TRUE, FALSE, SetupMutexName);
        Setup setup;
        ExpectError(setup, SetupAlreadyRunning);
        CheckEq("exit code", 0, setup.WaitExit());
        CloseHandle(other);
    }
}

// The settings key cannot be written: the system's text, then the end.
void SettingsDenied() {
    RegDenyWrites(HKEY_CURRENT_USER, kSettingsKey);
    Setup setup;
    ExpectError(setup, SettingsKeyFailed.code, SystemMessage(ERROR_ACCESS_DENIED));
    ExpectError(setup, CannotProceed);
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
    ExpectError(setup, NoTempFolder);
    HWND location = ExpectDefaultProposal(setup);
    CancelAndExpectExit(setup, location);
}

// ---- complete runs ---------------------------------------------------------
const char *const kUninstallCaption = "Quillmark Uninstall";

std::string Join(const std::string &folder, const std::string &name) { return folder + "\\" + name; }

std::string Joined(const std::vector<std::string> &names) {
    std::string out;
    for (const std::string &name : names) out += (out.empty() ? "" : ", ") + name;
    return out;
}

// A file as the build made it: build/payload/files/NAME.
const std::string &Built(const std::string &name) {
    static std::map<std::string, std::string> cache;
    auto found = cache.find(name);
    if (found == cache.end()) found = cache.emplace(name, ReadAll(g_cfg.build + "\\payload\\files\\" + name)).first;
    return found->second;
}

std::string FixtureProgram(const std::string &version) {
    return ReadAll(g_cfg.build + "\\fixtures\\Quillmark-" + version + ".exe");
}

// `path` holds `expected` and is read-only or not as `readOnly` says.
bool CheckFile(const std::string &what, const std::string &path, const std::string &expected, bool readOnly) {
    DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return Check(false, what, path + " is missing");
    std::string bytes = ReadAll(path);
    std::string problems;
    if (bytes != expected) {
        size_t at = 0;
        while (at < bytes.size() && at < expected.size() && bytes[at] == expected[at]) ++at;
        problems = std::to_string(bytes.size()) + " bytes, " + std::to_string(expected.size()) +
                   " expected, first difference at byte " + std::to_string(at);
    }
    if (((attributes & FILE_ATTRIBUTE_READONLY) != 0) != readOnly)
        problems += std::string(problems.empty() ? "" : "; ") + (readOnly ? "not read-only" : "read-only");
    return Check(problems.empty(), what, problems);
}

bool CheckAsBuilt(const std::string &folder, const std::string &name, bool readOnly) {
    return CheckFile(name + " as built" + (readOnly ? ", read-only" : ""), Join(folder, name), Built(name), readOnly);
}

bool CheckNoStagingFile() {
    std::string staging = TempDir() + "data.tmp";
    return Check(!Exists(staging), "no staging file " + staging);
}

// `folder` holds exactly the files named, whatever their order.
bool CheckListing(const std::string &what, const std::string &folder, std::vector<std::string> expected) {
    std::vector<std::string> found = ListDir(folder), missing, extra;
    std::sort(expected.begin(), expected.end());
    std::set_difference(expected.begin(), expected.end(), found.begin(), found.end(), std::back_inserter(missing));
    std::set_difference(found.begin(), found.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    std::string detail;
    if (!missing.empty()) detail = "missing: " + Joined(missing);
    if (!extra.empty()) detail += (detail.empty() ? "" : "; ") + std::string("also there: ") + Joined(extra);
    return Check(detail.empty(), what, detail);
}

// The program and the 28 files, each as built, read-only where it should be;
// nothing else in the folder but `extra`; no staging file left.  The files of
// `kept` must still hold the bytes given.
void CheckInstalledFiles(const std::string &folder, const std::vector<std::string> &extra = {},
                         const std::map<std::string, std::string> &kept = {}) {
    std::vector<std::string> expected = extra;
    expected.push_back(ProgramFileName);
    for (const PayloadEntry &file : g_manifest) expected.push_back(file.name);
    CheckListing(folder + " holds the program and the " + std::to_string(ManifestRows) + " files" + (extra.empty() ? "" : " and " + Joined(extra)),
                 folder, expected);
    CheckAsBuilt(folder, ProgramFileName, false);
    for (const PayloadEntry &file : g_manifest) {
        auto keep = kept.find(file.name);
        if (keep == kept.end())
            CheckAsBuilt(folder, file.name, file.readOnly);
        else
            CheckEq(std::string(file.name) + " keeps the bytes it had", keep->second,
                    Exists(Join(folder, file.name)) ? ReadAll(Join(folder, file.name)) : "(missing)");
    }
    CheckNoStagingFile();
}

void CheckRegValue(HKEY root, const std::string &key, const char *name, const std::string &expected) {
    std::string label = std::string(root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM (32-bit view)\\") + key + " " +
                        (name ? Quote(name) : std::string("(default)"));
    std::string value;
    DWORD type = 0;
    if (!RegRead(root, key, name, value, &type)) {
        Check(false, label, "missing");
        return;
    }
    CheckEq(label + " (REG_SZ)", "REG_SZ " + Quote(expected), (type == REG_SZ ? "REG_SZ " : "type " + std::to_string(type) + " ") + Quote(value));
}

// The folder as the installer records it: a drive's root ("Q:") as "Q:\".
std::string Recorded(const std::string &folder) { return folder.size() == 2 ? folder + "\\" : folder; }

void CheckAppPaths(const std::string &folder) {
    CheckRegValue(HKEY_LOCAL_MACHINE, AppPathsEntryKey, nullptr, Join(folder, ProgramFileName));
    CheckRegValue(HKEY_LOCAL_MACHINE, AppPathsEntryKey, FolderValueName, Recorded(folder));
}

// The uninstall entry of an installation in `folder`, with what Windows' list
// of programs shows (the size in KB, of the program, the 28 files and the
// uninstaller).
void CheckUninstallEntry(const std::string &folder) {
    CheckRegValue(HKEY_LOCAL_MACHINE, UninstallEntryKey, DisplayNameValueName, "Quillmark Version 1.0   (Remove Only)");
    CheckRegValue(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, Join(WindowsDir(), UninstallerFileName));
    CheckRegValue(HKEY_LOCAL_MACHINE, UninstallEntryKey, "Publisher", "Brenlow");
    CheckRegValue(HKEY_LOCAL_MACHINE, UninstallEntryKey, "DisplayVersion", "1.0");
    CheckRegValue(HKEY_LOCAL_MACHINE, UninstallEntryKey, "DisplayIcon", Join(folder, ProgramFileName) + ",0");
    CheckRegValue(HKEY_LOCAL_MACHINE, UninstallEntryKey, InstallLocationValueName, Recorded(folder));
    size_t bytes = Built(ProgramFileName).size() + Built(UninstallerFileName).size();
    for (const PayloadEntry &file : g_manifest) bytes += Built(file.name).size();
    const std::pair<const char *, size_t> numbers[] = {{"EstimatedSize", (bytes + 1023) / 1024}, {"NoModify", 1}, {"NoRepair", 1}};
    for (const auto &number : numbers) {
        std::string data;
        DWORD type = 0, found = 0;
        // RegRead drops a last 0 byte, as the end of a text.
        if (RegRead(HKEY_LOCAL_MACHINE, UninstallEntryKey, number.first, data, &type) && type == REG_DWORD && data.size() <= 4)
            memcpy(&found, data.data(), data.size());
        CheckEq(std::string("uninstall entry ") + number.first + " (REG_DWORD)", static_cast<long long>(number.second), found);
    }
}

void CheckRegistration(const std::string &folder) {
    CheckAppPaths(folder);
    CheckUninstallEntry(folder);
    CheckRegValue(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, Recorded(folder));
}

// The uninstaller as built in `folder`, and none in `notIn`.
void CheckUninstallerIn(const std::string &folder, const std::string &notIn) {
    CheckAsBuilt(folder, UninstallerFileName, false);
    Check(!Exists(Join(notIn, UninstallerFileName)), "no uninstaller in " + notIn);
}

struct ShortcutPlace {
    int csidl;
    const char *where;
};
const ShortcutPlace kShortcutPlaces[] = {{CSIDL_STARTMENU, "Start menu"}, {CSIDL_DESKTOPDIRECTORY, "desktop"}};

void CheckShortcuts(const std::string &folder) {
    const std::string program = Join(folder, ProgramFileName);
    for (const ShortcutPlace &place : kShortcutPlaces) {
        std::wstring path = ShortcutFile(place.csidl);
        std::string what = std::string(place.where) + " shortcut";
        ShortcutInfo link;
        if (!Check(ReadShortcut(path, link), what + " " + Printable(path) + " loads")) continue;
        CheckEq(what + ": target", program, link.target);
        CheckEq(what + ": no arguments", "", link.arguments);
        CheckEq(what + ": icon", program + ",0", link.iconPath + "," + std::to_string(link.iconIndex));
        CheckEq(what + ": working folder", Recorded(folder), link.workingDir);
        CheckEq(what + ": description", "Shortcut to Quillmark", link.description);
    }
}

void CheckNoShortcuts() {
    for (const ShortcutPlace &place : kShortcutPlaces) {
        std::wstring path = ShortcutFile(place.csidl);
        Check(!Exists(path), std::string("no ") + place.where + " shortcut " + Printable(path));
    }
}

// Presses "Accept" in dialog 158; returns when (in timing mode) it was pressed.
ULONGLONG Accept(Setup &setup) {
    HWND agreement = setup.WaitFor(Dlg::Agreement);
    Click(agreement, IDOK);
    ULONGLONG accepted = g_cfg.timing ? GetTickCount64() : 0;
    setup.WaitGone(agreement);
    return accepted;
}

// The end of a complete run: setup.exe gone and the program's window up.
struct Launch {
    DWORD exitCode = 0;
    HWND window = nullptr;
    DWORD pid = 0;
};

// Waits, after "Accept" (and any box expected on the way), for setup.exe to
// end and for the window of the program it started.  A box or dialog that
// wants an answer fails at once.  In timing mode (--timing) prints how long
// both took from `accepted`.
Launch WaitForLaunch(Setup &setup, ULONGLONG accepted, const std::string &run) {
    Launch launch;
    bool ended = false;
    ULONGLONG endedAt = 0, windowAt = 0;
    ULONGLONG limit = GetTickCount64() + g_cfg.timeoutMs;
    for (;;) {
        if (!ended && setup.Ended(launch.exitCode)) {
            ended = true;
            if (g_cfg.timing) endedAt = GetTickCount64();
        }
        if (!launch.window) {
            launch.window = FindTopWindow("Quillmark", setup.Pid(), &launch.pid);
            if (launch.window && g_cfg.timing) windowAt = GetTickCount64();
        }
        if (ended && launch.window) break;
        if (!ended) {
            for (HWND dialog : setup.Dialogs()) {
                Dlg kind = Classify(dialog);
                if (kind != Dlg::Wait && kind != Dlg::Other) Fatal("setup.exe should finish, but shows: " + setup.Describe());
            }
        }
        if (GetTickCount64() > limit)
            Fatal(ended ? "no window titled \"Quillmark\" within " + std::to_string(g_cfg.timeoutMs / 1000) + " s"
                        : "setup.exe did not end within " + std::to_string(g_cfg.timeoutMs / 1000) + " s");
        Sleep(25);
    }
    if (g_cfg.timing)
        printf("# timing %s: Accept to the end of setup.exe %llu ms; Accept to the program's window %llu ms\n",
               run.c_str(), endedAt - accepted, windowAt - accepted);
    return launch;
}

// setup.exe ended with 0, and the window it left is the installed program's,
// started in the install folder.
void CheckLaunch(const std::string &folder, const Launch &launch) {
    CheckEq("setup.exe's exit code", 0, launch.exitCode);
    CheckEq("the window titled \"Quillmark\" is the installed program's", Join(folder, ProgramFileName),
            ProcessImage(launch.pid));
    CheckEq("the program runs in the install folder", folder + "\\", ProcessCurrentDir(launch.pid));
}

// The wait box of a run writing into `folder`, photographed as `name` with
// setup.exe held still.  setup.exe paints the box once and writes files with
// no message loop; the first file in the folder shows that the paint is over.
void ShootWaitBox(Setup &setup, const std::string &folder, const std::string &name) {
    HWND wait = setup.WaitFor(Dlg::Wait);
    ULONGLONG limit = GetTickCount64() + g_cfg.timeoutMs;
    while (DirIsEmpty(folder)) {
        if (!setup.Running() || GetTickCount64() > limit) Fatal("nothing written into " + folder);
        Sleep(25);
    }
    Suspension still(setup);
    if (!IsWindowVisible(wait)) Fatal("the wait box went before it could be photographed");
    Screenshot(name);
}

// The backdrop behind dialog 101, then the wait box over it, in screenshots
// taken by the script (tests/harness/check-backdrop.sh and check-wait-box.sh
// look at them); the install goes on to the end.
void Backdrop() {
    Setup setup;
    HWND location = setup.WaitFor(Dlg::Location);
    Sync(location);
    Screenshot("backdrop");
    Check(setup.Dialogs().size() == 1, "only dialog 101 was up for the screenshot", setup.Describe());
    Click(location, IDOK);
    ULONGLONG accepted = Accept(setup);
    ShootWaitBox(setup, DefaultProposal(), "backdrop-wait-box");
    Launch launch = WaitForLaunch(setup, accepted, "install");
    CheckEq("setup.exe's exit code", 0, launch.exitCode);
    CloseProgram(launch.window);
}

// A complete install into a folder of the longest length allowed (227
// characters), typed into dialog 102, with a temporary folder of 251
// characters (its backslash included), where nothing is left: every file,
// record, shortcut and the launch.  Run twice; before the second run the
// user closes the program and files, records and a shortcut are damaged, all
// of which the second run puts right.  The second
// run proposes the first run's folder, which cannot be changed.
void InstallTwice() {
    const std::string parent = "C:\\My Apps";
    const std::string folder = parent + "\\Quillmark" + std::string(227 - parent.size() - 10, '_');
    const std::string temp = "C:\\" + std::string(247, 't');
    const std::string windows = WindowsDir();
    Check(!Exists(folder) && !Exists(Join(windows, UninstallerFileName)), "before: no installation");
    MakeDirs(parent);  // the folder check makes only the last level
    MakeDirs(temp);
    Env env;
    env.set = {{"TMP", temp}, {"TEMP", temp}};
    HWND program = nullptr;
    {
        Setup setup(env);
        HWND location = ExpectDefaultProposal(setup);
        ChangeFolder(setup, location, folder);
        ExpectItemText("101 shows the folder typed", location, EDIT_BOX, folder);
        Click(location, IDOK);
        Launch launch = WaitForLaunch(setup, Accept(setup), "first install");
        CheckInstalledFiles(folder);
        CheckRegistration(folder);
        CheckUninstallerIn(windows, folder);
        CheckShortcuts(folder);
        CheckLaunch(folder, launch);
        Check(DirIsEmpty(temp), "nothing left in the temporary folder");
        program = launch.window;
    }

    Note("the user closes Quillmark; files, records and the desktop shortcut are damaged");
    CloseProgram(program);
    const std::string exe = Join(folder, ProgramFileName);
    WriteAll(exe, Built(ProgramFileName) + "trailing bytes");  // still version 1.0.0.0
    SetReadOnly(exe, true);
    WriteAll(Join(folder, "Sample.scp"), "FADE OUT.\r\n");
    WriteAll(Join(folder, "license.txt"), "short");
    RemoveTree(Join(folder, "tips.txt"));
    for (const char *name : {"Blue.scm", "TV-ThreeCamera.stp"}) {
        SetReadOnly(Join(folder, name), false);
        WriteAll(Join(folder, name), "damaged");
        SetReadOnly(Join(folder, name), true);
    }
    RemoveTree(Join(folder, "Feature.stp"));
    WriteAll(Join(windows, UninstallerFileName), "MZ");
    RegWrite(HKEY_LOCAL_MACHINE, AppPathsEntryKey, FolderValueName, "C:\\Elsewhere");
    RegWrite(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, "C:\\Elsewhere\\qmkuins1.exe");
    DeleteFileW(ShortcutFile(CSIDL_DESKTOPDIRECTORY).c_str());
    {
        Setup setup(env);
        HWND location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 proposes the first run's folder", location, EDIT_BOX, folder);
        Check(!ItemEnabled(location, CHANGE_BUTTON), "101: \"Change...\" is disabled");
        Click(location, IDOK);
        Launch launch = WaitForLaunch(setup, Accept(setup), "second install");
        CheckInstalledFiles(folder);
        CheckRegistration(folder);
        CheckUninstallerIn(windows, folder);
        CheckShortcuts(folder);
        CheckLaunch(folder, launch);
        Check(DirIsEmpty(temp), "nothing left in the temporary folder");
    }
}

// What a complete removal by the uninstaller `command` leaves: no shortcut,
// no record, no uninstaller.
void CheckUninstalled(const std::string &command) {
    CheckNoShortcuts();
    Check(!RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsEntryKey), "no HKLM\\" + std::string(AppPathsEntryKey));
    Check(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntryKey), "no HKLM\\" + std::string(UninstallEntryKey));
    std::string path;
    Check(!RegRead(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, path), "no folder remembered", Quote(path));
    // The running uninstaller cannot delete itself: it waits for the next
    // restart under another name, so that its own is free at once.
    Check(!Exists(command) && !PendingDelete(command), command + " is gone, and its name free");
}

// The uninstaller from the uninstall entry after a complete install: declined,
// nothing changes; confirmed, everything of the installation goes but a file
// of the user's own and the folder that holds it.
void Uninstall() {
    const std::string folder = DefaultProposal();
    HWND program = nullptr;
    {
        Setup setup;
        Click(ExpectDefaultProposal(setup), IDOK);
        Launch launch = WaitForLaunch(setup, Accept(setup), "install");
        CheckEq("setup.exe's exit code", 0, launch.exitCode);
        program = launch.window;
    }
    std::string command;
    if (!RegRead(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, command)) Fatal("no UninstallString");
    // The user's own files, some under names like the installer's staging
    // names, which no journal lists: never touched.
    const std::vector<std::string> mine = {"My Script.scp", "tips.txt.new", "Blue.scm.old", "Sample.scp.old",
                                           "image.tmp", "data.tmp", "Quillmark.exe.new"};
    for (const std::string &name : mine) WriteAll(Join(folder, name), "INT. KITCHEN - NIGHT: " + name);
    auto checkMine = [&] {
        for (const std::string &name : mine)
            CheckEq(name + " is the user's, unchanged", "INT. KITCHEN - NIGHT: " + name,
                    Exists(Join(folder, name)) ? ReadAll(Join(folder, name)) : "(missing)");
    };
    const std::string question = "Are you sure you want to remove Quillmark from " + folder +
                                 "?\n\nIts shortcuts and registry entries are removed too.  "
                                 "Files of your own in that folder are kept.";
    const std::string exe = Join(folder, ProgramFileName);
    SetReadOnly(exe, true);  // the probe for a running program clears it for a moment
    {
        Note("Quillmark still running, its file read-only: setup.exe again, then the uninstaller");
        Setup setup;
        Click(setup.WaitFor(Dlg::Location), IDOK);
        Accept(setup);
        ExpectError(setup, RunningCopyFound);
        CheckEq("exit code", 0, setup.WaitExit());
        Setup uninstaller(Env(), command);
        AnswerBox(uninstaller, kUninstallCaption, question, IDYES);
        AnswerBox(uninstaller, kUninstallCaption,
                  "Quillmark is running.  Close Quillmark and run the uninstaller again.  Nothing has been removed.", IDOK);
        CheckEq("the uninstaller's exit code", 0, uninstaller.WaitExit());
    }
    Check(Attributes(exe) & FILE_ATTRIBUTE_READONLY, "the running program's file is still read-only");
    SetReadOnly(exe, false);
    CheckInstalledFiles(folder, mine);
    checkMine();
    CheckRegistration(folder);
    CloseProgram(program);
    {
        Note("declined");
        Setup uninstaller(Env(), command);
        AnswerBox(uninstaller, kUninstallCaption, question, IDNO);
        CheckEq("the uninstaller's exit code", 0, uninstaller.WaitExit());
    }
    CheckInstalledFiles(folder, mine);
    CheckRegistration(folder);
    CheckShortcuts(folder);
    CheckFile("the uninstaller is still there", command, Built(UninstallerFileName), false);
    {
        Note("confirmed");
        Setup uninstaller(Env(), command);
        AnswerBox(uninstaller, kUninstallCaption, question, IDYES);
        AnswerBox(uninstaller, kUninstallCaption, "Quillmark has been removed.", IDOK);
        CheckEq("the uninstaller's exit code", 0, uninstaller.WaitExit());
    }
    CheckListing("only the user's files are left in " + folder, folder, mine);
    checkMine();
    CheckUninstalled(command);

    Note("installed again before the restart: the new uninstaller stays");
    {
        Setup setup;
        Click(ExpectDefaultProposal(setup), IDOK);
        CloseProgram(WaitForLaunch(setup, Accept(setup), "install").window);
    }
    CheckFile("the uninstaller is there", command, Built(UninstallerFileName), false);
    Check(!PendingDelete(command), command + " is not deleted at the next restart");
    CheckInstalledFiles(folder, mine);
    checkMine();

    Note("an uninstaller's delete of its own file queued for the restart, as older ones did: the new one goes elsewhere");
    if (!MoveFileExA(command.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) Fatal("cannot queue a delete of " + command);
    {
        Setup setup;
        Click(setup.WaitFor(Dlg::Location), IDOK);
        CloseProgram(WaitForLaunch(setup, Accept(setup), "install").window);
    }
    CheckRegValue(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, Join(folder, UninstallerFileName));
    CheckAsBuilt(folder, UninstallerFileName, false);
    Check(!PendingDelete(Join(folder, UninstallerFileName)), "the install folder's uninstaller is not deleted at the restart");
}

// A folder remembered by an earlier installation, holding `program` as its
// Quillmark.exe.  The remembered value keeps a trailing backslash, which a
// run that gets as far as registering rewrites without it.
void EarlierInstallation(const std::string &folder, const std::string &program) {
    MakeDirs(folder);
    WriteAll(Join(folder, ProgramFileName), program);
    RegWrite(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, folder + "\\");
}


// From dialog 101 proposing `folder` through "Accept".
ULONGLONG InstallInto(Setup &setup, const std::string &folder) {
    HWND location = setup.WaitFor(Dlg::Location);
    ExpectItemText("101 proposes " + folder, location, EDIT_BOX, folder);
    Click(location, IDOK);
    return Accept(setup);
}

// A run that ended early: no record of an installation, the remembered folder
// as it was before (`remembered`, or none when empty), no uninstaller, no
// shortcut.
void CheckNotRegistered(const std::string &remembered) {
    Check(!RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsEntryKey), "no App Paths entry");
    Check(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntryKey), "no uninstall entry");
    std::string value;
    RegRead(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, value);
    CheckEq("the remembered folder is not rewritten", remembered, value);
    Check(!Exists(Join(WindowsDir(), UninstallerFileName)), "no uninstaller in the Windows folder");
    CheckNoShortcuts();
}

// An older release in `folder`: the program and the table's files, each with
// other bytes than ours (the program still of version 1.0.0.0), read-only
// where ours are.  Returns each file's bytes.
std::map<std::string, std::string> OlderRelease(const std::string &folder) {
    std::map<std::string, std::string> older = {{ProgramFileName, Built(ProgramFileName) + "older release"}};
    WriteAll(Join(folder, ProgramFileName), older[ProgramFileName]);
    for (const PayloadEntry &file : g_manifest) {
        const std::string path = Join(folder, file.name);
        older[file.name] = "the older release's " + std::string(file.name) + "\r\n";
        if (Exists(path)) SetReadOnly(path, false);
        WriteAll(path, older[file.name]);
        SetReadOnly(path, file.readOnly);
    }
    return older;
}

// A run that failed: `folder` holds exactly the files of `before`, each with
// the bytes it had and read-only as the release before had it (as ours, for
// the release's files; not, for any other); no staging or set-aside file.
void CheckAsBefore(const std::string &folder, const std::map<std::string, std::string> &before) {
    std::vector<std::string> names;
    for (const auto &file : before) {
        names.push_back(file.first);
        bool readOnly = false;
        for (const PayloadEntry &row : g_manifest) readOnly |= file.first == row.name && row.readOnly;
        CheckFile(file.first + " as it was", Join(folder, file.first), file.second, readOnly);
    }
    CheckListing(folder + " holds what it held before, and nothing else", folder, names);
    CheckNoStagingFile();
}

// A refused run wrote nothing: the old program as it was, no other file, no
// record, no shortcut.
void CheckNothingWritten(const std::string &folder, const std::string &program) {
    CheckListing(folder + " holds only the program that was there", folder, {ProgramFileName});
    CheckEq("Quillmark.exe is unchanged", program, ReadAll(Join(folder, ProgramFileName)));
    CheckNoStagingFile();
    CheckNotRegistered(folder + "\\");
}

// A newer Quillmark.exe (1.0.0.1, 1.0.1.0) in the folder: box 5, nothing written.
void NewerProgram() {
    for (const char *version : {"1.0.0.1", "1.0.1.0"}) {
        Note(std::string("Quillmark.exe ") + version + " in the folder");
        const std::string folder = std::string("C:\\Quillmark ") + version;
        const std::string program = FixtureProgram(version);
        EarlierInstallation(folder, program);
        SetReadOnly(Join(folder, ProgramFileName), true);
        Setup setup;
        InstallInto(setup, folder);
        ExpectError(setup, NewerCopyFound);
        CheckEq("exit code", 0, setup.WaitExit());
        CheckNothingWritten(folder, program);
        Check(Attributes(Join(folder, ProgramFileName)) & FILE_ATTRIBUTE_READONLY, "Quillmark.exe is still read-only");
    }
}

// A Quillmark.exe that may be replaced: 1.2.0.0 without a word, 2.0.0.0 and
// one without a version resource after box 17.
void ReplacedProgram() {
    struct Case {
        const char *version;
        bool notice;
    };
    for (const Case &c : {Case{"1.2.0.0", false}, Case{"2.0.0.0", true}, Case{"noversion", true}}) {
        Note(std::string("Quillmark.exe ") + c.version + " in the folder");
        const std::string folder = std::string("C:\\Quillmark ") + c.version;
        EarlierInstallation(folder, FixtureProgram(c.version));
        Setup setup;
        InstallInto(setup, folder);
        if (c.notice) ExpectError(setup, CopyNotVersion1);
        CheckEq("exit code", 0, setup.WaitExit());
        CheckInstalledFiles(folder);
    }
}

// Files held open by another process.  Quillmark.exe: box 4, nothing
// written.  One of the files of an older release, in the middle of the list:
// box 35 names it, and the older release is left exactly as it was.
void FilesInUse() {
    {
        Note("Quillmark.exe held open without sharing");
        const std::string folder = "C:\\Running\\Quillmark";
        EarlierInstallation(folder, Built(ProgramFileName));
        {
            HeldFile held(Join(folder, ProgramFileName));
            Setup setup;
            InstallInto(setup, folder);
            ExpectError(setup, RunningCopyFound);
            CheckEq("exit code", 0, setup.WaitExit());
        }
        CheckNothingWritten(folder, Built(ProgramFileName));
    }
    {
        Note("an upgrade over an older release, Blue.scm held open without sharing");
        const std::string folder = "C:\\Busy\\Quillmark";
        MakeDirs(folder);
        const std::map<std::string, std::string> older = OlderRelease(folder);
        RegWrite(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, folder);
        {
            HeldFile scheme(Join(folder, "Blue.scm"));
            Setup setup;
            InstallInto(setup, folder);
            ExpectError(setup, FileNotWritten.code,
                        WithDetail(SystemMessage(ERROR_SHARING_VIOLATION), Join(folder, "Blue.scm")));
            CheckEq("exit code", 0, setup.WaitExit());
            Check(!FindTopWindow("Quillmark", setup.Pid()), "nothing started");
        }
        CheckAsBefore(folder, older);
        CheckNotRegistered(folder);
    }
}

// Q: is a drive of 4 MB (scenario.sh); the file `filler` leaves `room` bytes
// of it free.
void FillDrive(const std::string &filler, ULONGLONG room) {
    if (Exists(filler)) RemoveTree(filler);
    ULARGE_INTEGER free = {};
    if (!GetDiskFreeSpaceExA("Q:\\", &free, nullptr, nullptr) || free.QuadPart <= room)
        Fatal("drive Q: is not there, or too small: " + std::to_string(free.QuadPart) + " bytes free");
    WriteAll(filler, std::string(static_cast<size_t>(free.QuadPart - room), 'f'));
}

// "Install" in dialog 101; while 158 is up the drive fills up to `room` bytes
// free; after "Accept" the first file that does not fit gets box 35
// (`boxText`), and the run ends.
void RunOutOfRoom(Setup &setup, HWND location, const std::string &filler, ULONGLONG room,
                  const std::string &boxText) {
    Click(location, IDOK);
    HWND agreement = setup.WaitFor(Dlg::Agreement);
    FillDrive(filler, room);
    Click(agreement, IDOK);
    ExpectError(setup, FileNotWritten.code, boxText);
    CheckEq("exit code", 0, setup.WaitExit());
}

// Box 28 for drive `root`: the room it needs, more than it has, and the room
// it has, as the system gives it now.
void ExpectNoRoom(Setup &setup, const std::string &root) {
    HWND box = setup.WaitFor(Dlg::MessageBox);
    CheckEq("box 28: caption", std::string("ERROR ") + NotEnoughRoom.code, WindowText(box));
    const std::string text = ItemText(box, 0xFFFF);
    const std::string lead = WithDetail(NotEnoughRoom.text, "Drive " + root + " needs ");
    ULARGE_INTEGER free = {};
    GetDiskFreeSpaceExA(root.c_str(), &free, nullptr, nullptr);
    unsigned long needed = 0, had = 0;
    int read = text.compare(0, lead.size(), lead)
                   ? 0 : sscanf(text.c_str() + lead.size(), "%lu KB and has %lu KB free.", &needed, &had);
    if (Check(read == 2, "box 28: text", "got " + Quote(text))) {
        CheckEq("box 28: the room free, in KB", static_cast<long long>(free.QuadPart / 1024), had);
        Check(needed > had, "box 28: more room needed than free", std::to_string(needed) + " KB");
    }
    Click(box, IDOK);
    setup.WaitGone(box);
}

// Installs into the root of a drive without room: box 28, and 101 comes
// back.  Emptied, the drive passes; it fills up on the way, and the first file that
// does not fit gets box 35 and the run ends: no file of ours is left, nothing
// is registered or started.  Again, with room, the install completes.  A
// reinstall over an older release runs out the same way: the older release
// stays byte for byte and still starts.  The root is recorded as "Q:\".
void DiskFull() {
    const std::string drive = "Q:", filler = "Q:\\filler";
    const ULONGLONG room = 300 * 1024;  // the first files fit, not main.dct after them
    const std::string boxText = WithDetail(SystemMessage(ERROR_DISK_FULL), Join(drive, "main.dct"));
    {
        Setup setup;
        HWND location = ExpectDefaultProposal(setup);
        FillDrive(filler, room);
        ChangeFolder(setup, location, "Q:\\");
        Click(location, IDOK);
        ExpectNoRoom(setup, "Q:\\");
        location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 reopens on the proposal", location, EDIT_BOX, DefaultProposal());
        CheckListing("nothing written on Q:", drive, {"filler"});

        Note("with the drive emptied, it passes");
        RemoveTree(filler);
        ChangeFolder(setup, location, "Q:\\");
        RunOutOfRoom(setup, location, filler, room, boxText);
        Check(!FindTopWindow("Quillmark", setup.Pid()), "nothing started");
    }
    CheckAsBefore(drive, {{"filler", ReadAll(filler)}});
    CheckNotRegistered("");

    Note("with room made, again");
    RemoveTree(filler);
    HWND program = nullptr;
    {
        Setup setup;
        HWND location = ExpectDefaultProposal(setup);
        ChangeFolder(setup, location, "Q:\\");
        Click(location, IDOK);
        Launch launch = WaitForLaunch(setup, Accept(setup), "install");
        CheckInstalledFiles(drive);
        CheckRegistration(drive);
        CheckShortcuts(drive);
        CheckLaunch(drive, launch);
        program = launch.window;
    }

    Note("a reinstall over an older release that runs out of room on the way: the older release stays");
    CloseProgram(program);
    std::map<std::string, std::string> older = OlderRelease(drive);
    {
        Setup setup;
        HWND location = setup.WaitFor(Dlg::Location);
        ExpectItemText("101 proposes the drive's root", location, EDIT_BOX, "Q:\\");
        RunOutOfRoom(setup, location, filler, room, boxText);
    }
    older["filler"] = ReadAll(filler);
    CheckAsBefore(drive, older);
    CheckRegistration(drive);
    CheckShortcuts(drive);
    Setup started(Env(), Join(drive, ProgramFileName));
    ULONGLONG limit = GetTickCount64() + g_cfg.timeoutMs;
    HWND window = nullptr;
    while (!(window = FindTopWindow("Quillmark", 0)) && started.Running() && GetTickCount64() < limit) Sleep(25);
    if (!Check(window != nullptr, "the earlier install still starts")) return;
    CloseProgram(window);
}

// The App Paths key cannot be written: box 8; everything else still happens.
// An older uninstaller in the Windows folder, held open by another program:
// the new one goes into the install folder, which the entry names, and the
// held one is left as it was.  The temporary folder is on a network share
// that is not there: not used, without a word (nothing left in the folder).
void AppPathsDenied() {
    const std::string folder = DefaultProposal(), held = Join(WindowsDir(), UninstallerFileName);
    RegDenyWrites(HKEY_LOCAL_MACHINE, AppPathsKey);
    WriteAll(held, "MZ an older uninstaller");
    Launch launch;
    {
        HeldFile older(held);
        Env env;
        env.set = {{"TMP", "\\\\server\\share\\temp"}, {"TEMP", "\\\\server\\share\\temp"}};
        Setup setup(env);
        Click(ExpectDefaultProposal(setup), IDOK);
        ULONGLONG accepted = Accept(setup);
        ExpectError(setup, RegistryNotWritten);
        launch = WaitForLaunch(setup, accepted, "install");
    }
    CheckInstalledFiles(folder, {UninstallerFileName});
    Check(!RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsEntryKey), "no App Paths entry");
    CheckRegValue(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, folder);
    CheckRegValue(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, Join(folder, UninstallerFileName));
    CheckEq("the held uninstaller is as it was", "MZ an older uninstaller", ReadAll(held));
    CheckShortcuts(folder);
    CheckLaunch(folder, launch);
}

// The uninstaller can be written in neither the Windows folder nor the
// install folder (older copies held in both): box 9, and no entry names it.
// Then the Uninstall key cannot be written: box 9, and the uninstaller lands
// in the install folder only, where the user will look for it; everything
// else still happens.  The copy written into the Windows folder goes again,
// unless an earlier installation's entry there names it.
void UninstallDenied() {
    const std::string folder = DefaultProposal();
    const std::string copies[] = {Join(WindowsDir(), UninstallerFileName), Join(folder, UninstallerFileName)};
    MakeDirs(folder);
    for (const std::string &copy : copies) WriteAll(copy, "MZ an older uninstaller");
    {
        HeldFile windowsCopy(copies[0]), folderCopy(copies[1]);
        Setup setup;
        Click(ExpectDefaultProposal(setup), IDOK);
        ULONGLONG accepted = Accept(setup);
        ExpectError(setup, UninstallerNotRegistered);
        CloseProgram(WaitForLaunch(setup, accepted, "install").window);
    }
    Check(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntryKey), "no uninstall entry");
    for (const std::string &copy : copies) CheckEq(copy + " is as it was", "MZ an older uninstaller", ReadAll(copy));
    {
        Note("an earlier installation's entry names the Windows folder's uninstaller: it stays");
        RegWrite(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, copies[0]);
        RegDenyWrites(HKEY_LOCAL_MACHINE, UninstallKey);
        Setup setup;
        InstallInto(setup, folder);
        ExpectError(setup, UninstallerNotRegistered);
        CloseProgram(WaitForLaunch(setup, 0, "install").window);
        CheckAsBuilt(WindowsDir(), UninstallerFileName, false);
        RegAllowWrites(HKEY_LOCAL_MACHINE, UninstallKey);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, UninstallEntryKey);
        RegDenyWrites(HKEY_LOCAL_MACHINE, UninstallKey);
    }
    Setup setup;
    InstallInto(setup, folder);
    ExpectError(setup, UninstallerNotRegistered);
    Launch launch = WaitForLaunch(setup, 0, "install");
    CheckInstalledFiles(folder, {UninstallerFileName});
    CheckUninstallerIn(folder, WindowsDir());
    Check(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntryKey), "no uninstall entry");
    CheckAppPaths(folder);
    CheckRegValue(HKEY_CURRENT_USER, kSettingsKey, FolderValueName, folder);
    CheckShortcuts(folder);
    CheckLaunch(folder, launch);
}

// setup.exe run from a downloads folder beside libraries named as ones
// Windows looks for in a program's own folder (tests/e2e/planted_dll.cpp),
// with Wine told to prefer such files to its own, as Windows does
// (scenario.sh): from the start through the folder browser to the program's
// start, not one of them is loaded, and the install is complete.
void PlantedLibraries() {
    const std::string downloads = "C:\\Users\\Public\\Downloads", planted = g_cfg.build + "\\tests\\planted";
    MakeDirs(downloads);
    std::vector<std::string> files = ListDir(planted);
    if (files.empty()) Fatal("no libraries in " + planted);
    for (const std::string &file : files) CopyFileA(Join(planted, file).c_str(), Join(downloads, file).c_str(), FALSE);
    files.push_back("setup.exe");
    WriteAll(Join(downloads, "setup.exe"), ReadAll(g_cfg.setup));

    Setup setup(Env(), Join(downloads, "setup.exe"));
    HWND location = ExpectDefaultProposal(setup);
    Click(location, CHANGE_BUTTON);
    HWND change = setup.WaitFor(Dlg::ChangeFolder);
    Click(change, BROWSE_BUTTON);
    HWND browser = setup.WaitFor(Dlg::Browser);
    PickFolder(setup, browser, "C:\\");
    setup.WaitGone(browser);
    ExpectItemText("102 shows the browsed folder", change, EDIT_BOX, "C:\\Quillmark");
    Click(change, IDOK);
    setup.WaitGone(change);
    Click(location, IDOK);
    Launch launch = WaitForLaunch(setup, Accept(setup), "install");
    CheckInstalledFiles("C:\\Quillmark");
    CheckShortcuts("C:\\Quillmark");
    CheckLaunch("C:\\Quillmark", launch);
    CheckListing("no planted library left its mark of being loaded", downloads, files);
    CloseProgram(launch.window);
}

// Runs the uninstaller the uninstall entry names on the installation in
// `folder` and answers yes: everything of it goes.
void UninstallAll(const std::string &folder) {
    std::string command;
    if (!RegRead(HKEY_LOCAL_MACHINE, UninstallEntryKey, UninstallStringValueName, command)) Fatal("no UninstallString");
    {
        Setup uninstaller(Env(), command);
        AnswerBox(uninstaller, kUninstallCaption,
                  "Are you sure you want to remove Quillmark from " + folder +
                      "?\n\nIts shortcuts and registry entries are removed too.  Files of your own in that folder are kept.",
                  IDYES);
        AnswerBox(uninstaller, kUninstallCaption, "Quillmark has been removed.", IDOK);
        CheckEq("the uninstaller's exit code", 0, uninstaller.WaitExit());
    }
    Check(!Exists(folder), folder + " is gone");
    CheckUninstalled(command);
}

// Code page 932 (scenario.sh runs Wine in Japanese), where a letter's second
// byte may be a backslash's: a folder named with such letters, the last of
// them at its end, typed with a backslash after it.  Every file, record,
// shortcut and the launch name exactly that folder, and the uninstaller
// removes it whole.
void CodePage932() {
    if (GetACP() != 932) Fatal("the code page is " + std::to_string(GetACP()) + ", not 932");
    // So, fu, to, hyou: so (83 5C) and hyou (95 5C) end in the byte of a backslash.
    const std::string folder = "C:\\" "\x83\x5C" "\x83\x74" "\x83\x67" "\x95\x5C";
    Setup setup;
    HWND location = ExpectDefaultProposal(setup);
    ChangeFolder(setup, location, folder + "\\");
    Click(location, IDOK);
    Launch launch = WaitForLaunch(setup, Accept(setup), "install");
    CheckInstalledFiles(folder);
    CheckRegistration(folder);
    CheckShortcuts(folder);
    CheckLaunch(folder, launch);
    CloseProgram(launch.window);
    UninstallAll(folder);
}

// A user whose name the code page (1252) cannot spell: the temporary folder
// and the Start menu and desktop folders lie in a profile named in Greek,
// which setup.exe's ANSI calls see as '?'s.  Both shortcuts are made in
// those folders, and the uninstaller finds and removes them.
void ForeignProfile() {
    const std::wstring profile = L"C:\\users\\\x03A3\x03C9\x03C4\x03B7\x03C1\x03B7\x03C2", temp = profile + L"\\Temp";
    for (const std::wstring &folder : {profile, temp, profile + L"\\Start Menu", profile + L"\\Desktop"})
        CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t *name : {L"Start Menu", L"Desktop"}) {
        const std::wstring folder = profile + L"\\" + name;
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                        name, REG_EXPAND_SZ, folder.c_str(), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }
    SetEnvironmentVariableW(L"TMP", temp.c_str());
    SetEnvironmentVariableW(L"TEMP", temp.c_str());
    CheckEq("the Start menu is in the profile", Printable(profile + L"\\Start Menu" + ShortcutFileName),
            Printable(ShortcutFile(CSIDL_STARTMENU)));

    const std::string folder = DefaultProposal();
    Setup setup;
    Click(ExpectDefaultProposal(setup), IDOK);
    Launch launch = WaitForLaunch(setup, Accept(setup), "install");
    CheckInstalledFiles(folder);
    CheckRegistration(folder);
    CheckShortcuts(folder);
    CheckLaunch(folder, launch);
    Check(RemoveDirectoryW(temp.c_str()), "nothing left in the temporary folder");  // only an empty one goes
    CloseProgram(launch.window);
    UninstallAll(folder);
}

// ---- the tour --------------------------------------------------------------
// The values of `key` under `root` as a 32-bit program reads them, one a line.
void PrintKey(HKEY root, const std::string &key) {
    printf("%s\\%s\n", root == HKEY_CURRENT_USER ? "HKCU" : "HKLM", key.c_str());
    HKEY open = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &open) != ERROR_SUCCESS) {
        printf("    (missing)\n");
        return;
    }
    char name[256];
    char data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(open, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE *>(data), &dataSize) !=
            ERROR_SUCCESS)
            break;
        data[dataSize] = '\0';
        std::string value = type == REG_SZ ? Quote(data) : "(type " + std::to_string(type) + ")";
        printf("    %-16s %s\n", nameSize ? name : "(default)", value.c_str());
    }
    RegCloseKey(open);
}

// Not a test: `make run` without a display (tests/harness/run-setup.sh).  One
// install as a user makes it, the folder chosen through dialog 102 and the
// folder browser, with a screenshot of each screen on the way; then what it
// left: the files in the install folder and the records.  The program started
// is closed at the end.
void Tour() {
    Setup setup;
    HWND location = setup.WaitFor(Dlg::Location);
    Sync(location);
    Screenshot("1-location");
    Click(location, CHANGE_BUTTON);
    HWND change = setup.WaitFor(Dlg::ChangeFolder);
    Sync(change);
    Screenshot("2-change-folder");
    Click(change, BROWSE_BUTTON);
    HWND browser = setup.WaitFor(Dlg::Browser);
    Sync(browser);
    Screenshot("3-folder-browser");
    PickFolder(setup, browser, ProgramFilesDir());
    setup.WaitGone(browser);
    Sync(change);
    Click(change, IDOK);
    setup.WaitGone(change);
    Sync(location);
    const std::string folder = ItemText(location, EDIT_BOX);
    Click(location, IDOK);
    HWND agreement = setup.WaitFor(Dlg::Agreement);
    Sync(agreement);
    Screenshot("4-agreement");
    Click(agreement, IDOK);
    setup.WaitGone(agreement);
    ShootWaitBox(setup, folder, "5-wait-box");
    Launch launch = WaitForLaunch(setup, 0, "install");
    Sync(launch.window);
    Screenshot("6-program");

    const std::vector<std::string> names = ListDir(folder);
    printf("\nsetup.exe ended with exit code %lu and started %s.\n", launch.exitCode, ProcessImage(launch.pid).c_str());
    printf("\n%zu files in %s:\n", names.size(), folder.c_str());
    for (const std::string &name : names) {
        WIN32_FILE_ATTRIBUTE_DATA file = {};
        GetFileAttributesExA(Join(folder, name).c_str(), GetFileExInfoStandard, &file);
        ULONGLONG size = (static_cast<ULONGLONG>(file.nFileSizeHigh) << 32) | file.nFileSizeLow;
        printf("    %-24s %9llu bytes%s\n", name.c_str(), size,
               file.dwFileAttributes & FILE_ATTRIBUTE_READONLY ? ", read-only" : "");
    }
    printf("\nRegistry records (HKLM as a 32-bit program sees it):\n");
    PrintKey(HKEY_LOCAL_MACHINE, AppPathsEntryKey);
    PrintKey(HKEY_LOCAL_MACHINE, UninstallEntryKey);
    PrintKey(HKEY_CURRENT_USER, kSettingsKey);
    printf("\n");
    CloseProgram(launch.window);
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
    {"backdrop", Backdrop, "the backdrop behind 101 and the wait box, in screenshots scenario.sh takes"},
    {"install-twice", InstallTwice, "complete install, then again over damaged files and records"},
    {"uninstall", Uninstall, "the uninstaller after a complete install: declined, confirmed"},
    {"newer-program", NewerProgram, "Quillmark.exe 1.0.0.1 or 1.0.1.0 in the folder: box 5"},
    {"replaced-program", ReplacedProgram, "Quillmark.exe 1.2.0.0 replaced; 2.0.0.0, no version: box 17"},
    {"files-in-use", FilesInUse, "Quillmark.exe held: box 4; two of the files held: box 35 at the first"},
    {"disk-full", DiskFull, "a drive that fills up: box 35, nothing damaged; then installed, reinstalled"},
    {"app-paths-denied", AppPathsDenied, "App Paths key not writable: box 8, the rest goes on"},
    {"uninstall-denied", UninstallDenied, "Uninstall key not writable: box 9, uninstaller in the folder"},
    {"planted-dlls", PlantedLibraries, "libraries planted beside setup.exe are not loaded"},
    {"code-page-932", CodePage932, "Japanese: a folder whose letters end in a backslash's byte, installed and removed"},
    {"foreign-profile", ForeignProfile, "temporary, Start menu and desktop folders the code page cannot spell"},
};

// Not a test: kept out of the table above, which ctest registers.
const Scenario kTour = {"tour", Tour, "one install, a screenshot of each screen (make run without a display)"};

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
            printf("%-20s %s\n", kTour.name, kTour.about);
            return 0;
        }
        if (Option(argv[i], "--setup", value)) g_cfg.setup = value;
        else if (Option(argv[i], "--root", value)) g_cfg.root = value;
        else if (Option(argv[i], "--build", value)) g_cfg.build = value;
        else if (Option(argv[i], "--signal", value)) g_cfg.signal = value;
        else if (!strcmp(argv[i], "--timing")) g_cfg.timing = true;
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
    if (name == kTour.name) scenario = &kTour;
    if (!scenario) {
        fprintf(stderr, "usage: driver.exe [--setup=PATH] [--root=PATH] [--signal=DIR] [--timeout=S] [--timing] SCENARIO\n"
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
    if (CheckCount() || aborted)  // the tour checks nothing
        printf("# %s: %d checks, %d failed%s\n", scenario->name, CheckCount(), FailureCount(),
               aborted ? ", stopped early" : "");
    return failures ? 1 : 0;
}
