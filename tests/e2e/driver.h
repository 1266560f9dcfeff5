// The end-to-end driver: starts setup.exe in the same Wine prefix, works its
// dialogs the way a user would (through window messages), and checks what it
// leaves behind.  Each scenario is one function built from the helpers below;
// a check prints one line and counts a failure, a broken flow throws Abort.
#pragma once
#include <windows.h>

#include "setup/messages.h"

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// ---- configuration -------------------------------------------------------
struct Config {
    std::string root;      // the repository, as a Windows path (Z:\...)
    std::string build;     // its build folder
    std::string setup;     // the setup.exe under test
    std::string signal;    // folder for hand-shakes with the scenario script (Screenshot)
    DWORD timeoutMs = 60000;
    bool timing = false;   // --timing: the install scenario prints how long setup takes
};
extern Config g_cfg;

// ---- checks --------------------------------------------------------------
struct Abort {
    std::string what;
};
[[noreturn]] void Fatal(const std::string &what);
void Note(const std::string &what);  // a step, printed as "# ..."
bool Check(bool ok, const std::string &what, const std::string &detail = "");
bool CheckEq(const std::string &what, const std::string &expected, const std::string &actual);
bool CheckEq(const std::string &what, long long expected, long long actual);
int CheckCount();
int FailureCount();
std::string Quote(const std::string &text);  // printable, with \r \n \xNN escapes
std::string Hex(unsigned long value);

// ---- windows of the program under test ------------------------------------
enum class Dlg { Location, ChangeFolder, Agreement, Wait, MessageBox, Browser, Other };
const char *DlgName(Dlg kind);
Dlg Classify(HWND dialog);

std::string WindowText(HWND window);                  // caption (kept by the server)
std::string ItemText(HWND dialog, int id);            // control text via WM_GETTEXT
void SetItemText(HWND dialog, int id, const std::string &text);
void SetItemText(HWND dialog, int id, const std::wstring &text);  // as typed in letters the code page may lack
bool ItemEnabled(HWND dialog, int id);
bool HasItem(HWND dialog, int id);
void Click(HWND dialog, int id);                      // as a mouse click on the button
void Sync(HWND window);                               // returns once its thread has read its queue

struct Env {
    std::vector<std::pair<std::string, std::string>> set;  // name, value
};

// A program under test (setup.exe, or the uninstaller), started by the driver.
class Setup {
public:
    explicit Setup(const Env &env = Env(), const std::string &exe = "");
    ~Setup();
    Setup(const Setup &) = delete;
    Setup &operator=(const Setup &) = delete;

    // Waits until a visible dialog of this kind is up and returns it.  Another
    // dialog that wants an answer (a message box while waiting for a dialog,
    // say) or the end of the process fails at once.
    HWND WaitFor(Dlg kind, DWORD timeoutMs = 0);
    void WaitGone(HWND window, DWORD timeoutMs = 0);
    // Waits for the end of the process and returns its exit code.  A dialog
    // that stays up waiting for an answer fails at once.
    DWORD WaitExit(DWORD timeoutMs = 0);
    bool Running() const;
    // True once the process has ended, with its exit code in `code`.
    bool Ended(DWORD &code) const;
    DWORD Pid() const { return pid_; }
    const std::string &Path() const { return path_; }
    std::string Name() const;  // the program's file name, for messages
    std::vector<HWND> Dialogs() const;  // visible "#32770" windows of the process
    std::string Describe() const;       // the dialogs up now, for messages

private:
    std::string path_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// Holds every thread of a program under test still (NtSuspendProcess) while
// it lives, then lets them go on (NtResumeProcess).  What the program painted
// stays on the screen meanwhile; it must not be sent messages.
class Suspension {
public:
    explicit Suspension(const Setup &program);
    ~Suspension();
    Suspension(const Suspension &) = delete;
    Suspension &operator=(const Suspension &) = delete;

private:
    HANDLE process_;
};

// ---- screenshots ---------------------------------------------------------
// Under Xvfb the scenario script takes screenshots when the driver asks
// (take_screenshots in tests/harness/env.sh): the driver makes NAME.want in
// the signal folder and waits; the script saves the screen as NAME.png in
// build/screenshots and answers with NAME.taken.
void Screenshot(const std::string &name);

// ---- composite steps -----------------------------------------------------
// Waits for a message box, checks its caption and text, presses `button`.
void AnswerBox(Setup &program, const std::string &caption, const std::string &text, int button);
// Waits for an error box, checks its caption ("ERROR " + code) and text, presses OK.
void ExpectError(Setup &setup, const std::string &code, const std::string &text);
void ExpectError(Setup &setup, const FixedMessage &message, const std::string &detail = "");
// A box's text with a detail below it, as the installer shows it: the text
// without its line ends, a blank line, the detail.
std::string WithDetail(const std::string &text, const std::string &detail);
// From dialog 101: "Change...", type `folder` into 102, press OK (or Cancel).
void ChangeFolder(Setup &setup, HWND location, const std::string &folder, bool ok = true);
// Waits until control `id` of `dialog` reads `expected`; checks it.
bool ExpectItemText(const std::string &what, HWND dialog, int id, const std::string &expected);
// In setup's folder browser: opens the tree down to `folder` (a full path,
// "C:\" for a drive), selects it and presses OK.
void PickFolder(const Setup &setup, HWND browser, const std::string &folder);

// ---- programs started by the one under test ------------------------------------
// A visible top-level window with this exact title, of a process other than
// `notPid`; null when there is none.  `pid` gets its process id.
HWND FindTopWindow(const std::string &title, DWORD notPid, DWORD *pid = nullptr);
std::string ProcessImage(DWORD pid);       // full path of its program file
std::string ProcessCurrentDir(DWORD pid);  // current folder of a 32-bit process
// Posts WM_CLOSE to `window` and waits until its process has ended.
void CloseProgram(HWND window);

// ---- shortcuts -------------------------------------------------------------
struct ShortcutInfo {
    std::string target, arguments, workingDir, description, iconPath;
    int iconIndex = -1;
};
// Reads a shell link through IShellLinkA / IPersistFile; false when it cannot be loaded.
bool ReadShortcut(const std::wstring &path, ShortcutInfo &info);
// The product's shortcut in a special folder, which may hold letters the code
// page lacks: UTF-16, as the programs name it (setup/shell_folders.h).
std::wstring ShortcutFile(int csidl);
std::string Printable(const std::wstring &text);  // UTF-8, for messages

// ---- files ---------------------------------------------------------------
bool Exists(const std::string &path);
bool Exists(const std::wstring &path);
bool IsDir(const std::string &path);
DWORD Attributes(const std::string &path);  // INVALID_FILE_ATTRIBUTES when missing
std::string ReadAll(const std::string &path);
void WriteAll(const std::string &path, const std::string &bytes);
void MakeDirs(const std::string &path);
void RemoveTree(const std::string &path);
bool DirIsEmpty(const std::string &path);
std::vector<std::string> ListDir(const std::string &path);  // names, sorted, without . and ..
void SetReadOnly(const std::string &path, bool readOnly);
std::string TempDir();     // GetTempPathA, as a program started by the driver sees it
std::string WindowsDir();  // GetWindowsDirectoryA
std::string SystemMessage(DWORD error);  // FormatMessageA text, as a program sees it

// Holds a file open with no sharing until destroyed.
class HeldFile {
public:
    explicit HeldFile(const std::string &path);
    ~HeldFile();
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;

private:
    HANDLE handle_;
};

// ---- registry ------------------------------------------------------------
// Every key is opened in the view a 32-bit program has (KEY_WOW64_32KEY);
// HKEY_CURRENT_USER\Software is the same in both views.
bool RegRead(HKEY root, const std::string &key, const char *name, std::string &value, DWORD *type = nullptr);
bool RegKeyExists(HKEY root, const std::string &key);
void RegWrite(HKEY root, const std::string &key, const char *name, const std::string &value);
void RegDeleteKeyTree(HKEY root, const std::string &key);
// Leaves `key` (created if needed) readable but not writable: a DACL that
// grants everyone KEY_READ only.  Lasts until the Wine server stops.
void RegDenyWrites(HKEY root, const std::string &key);
// Undoes RegDenyWrites (which the key's owner may always do).
void RegAllowWrites(HKEY root, const std::string &key);
// Whether `path` waits to be deleted at the next restart (MoveFileEx with
// MOVEFILE_DELAY_UNTIL_REBOOT): a pair in the Session Manager's
// PendingFileRenameOperations with an empty target.  Read in the running
// Wine session, before a restart has carried it out.
bool PendingDelete(const std::string &path);

// ---- the machine as setup sees it ------------------------------------------
extern const char *const kSettingsKey;   // Software\Brenlow\Quillmark\Settings
std::string ProgramFilesDir();            // the 32-bit view's ProgramFilesDir
std::string DefaultProposal();            // ProgramFilesDir + "\Quillmark"

}  // namespace e2e
