// Helpers of the end-to-end driver; see driver.h.
#include "tests/e2e/driver.h"
#include "registration/record_keys.h"
#include "resources/resource_ids.h"

#include <commctrl.h>
#include <shlobj.h>
#include <stdio.h>
#include <winternl.h>

#include <algorithm>
#include <map>

namespace e2e {

Config g_cfg;
const char *const kSettingsKey = "Software\\Brenlow\\Quillmark\\Settings";

namespace {
int g_checks = 0;
int g_failures = 0;
const DWORD kPollMs = 25;
const DWORD kMessageMs = 10000;  // how long a sent message may take to be answered

DWORD Limit(DWORD timeoutMs) { return timeoutMs ? timeoutMs : g_cfg.timeoutMs; }
ULONGLONG Now() { return GetTickCount64(); }
}  // namespace

// ---- checks --------------------------------------------------------------
std::string Hex(unsigned long value) {
    char text[32];
    snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

std::string Quote(const std::string &text) {
    std::string out = "'";
    for (unsigned char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20 || c >= 0x7F) out += "\\x" + Hex(c).substr(2);
        else out += static_cast<char>(c);
    }
    return out + "'";
}

void Fatal(const std::string &what) { throw Abort{what}; }

void Note(const std::string &what) { printf("# %s\n", what.c_str()); }

bool Check(bool ok, const std::string &what, const std::string &detail) {
    ++g_checks;
    if (!ok) ++g_failures;
    bool show = !ok && !detail.empty();
    printf("%s - %s%s%s\n", ok ? "ok" : "FAIL", what.c_str(), show ? ": " : "", show ? detail.c_str() : "");
    return ok;
}

bool CheckEq(const std::string &what, const std::string &expected, const std::string &actual) {
    if (expected == actual) return Check(true, what);
    std::string detail = "expected " + Quote(expected) + ", got " + Quote(actual);
    if (expected.size() > 200 || actual.size() > 200) {
        size_t at = 0;
        while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
        detail = "lengths " + std::to_string(expected.size()) + " (expected) and " +
                 std::to_string(actual.size()) + "; first difference at byte " + std::to_string(at) +
                 ": expected " + Quote(expected.substr(at, 40)) + ", got " + Quote(actual.substr(at, 40));
    }
    return Check(false, what, detail);
}

bool CheckEq(const std::string &what, long long expected, long long actual) {
    return Check(expected == actual, what,
                 expected == actual ? "" : "expected " + std::to_string(expected) + ", got " + std::to_string(actual));
}

int CheckCount() { return g_checks; }
int FailureCount() { return g_failures; }

// ---- windows ---------------------------------------------------------------
namespace {
// The child of `dialog` with control id `id` (compared in 16 bits, as dialog
// templates store it), or null.
HWND FindItem(HWND dialog, int id) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetDlgCtrlID(child) & 0xFFFF) == (id & 0xFFFF)) return child;
    }
    return nullptr;
}

HWND Item(HWND dialog, int id) {
    HWND item = FindItem(dialog, id);
    if (!item) Fatal(std::string("no control ") + std::to_string(id) + " in " + DlgName(Classify(dialog)));
    return item;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string SentText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kMessageMs, &length))
        Fatal("no answer to WM_GETTEXTLENGTH from a " + ClassOf(window));
    std::string text(length + 1, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                             kMessageMs, &got))
        Fatal("no answer to WM_GETTEXT from a " + ClassOf(window));
    text.resize(std::min<size_t>(got, length));
    return text;
}

// Reads what the window manager keeps (the text a static control was given),
// without sending anything: the program may be busy with no message loop.
bool AnyChildText(HWND dialog, const char *text) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char kept[256] = "";
        GetWindowTextA(child, kept, sizeof kept);
        if (!strcmp(kept, text)) return true;
    }
    return false;
}
}  // namespace

const char *DlgName(Dlg kind) {
    switch (kind) {
    case Dlg::Location: return "location dialog (101)";
    case Dlg::ChangeFolder: return "change-folder dialog (102)";
    case Dlg::Agreement: return "agreement dialog (158)";
    case Dlg::Wait: return "wait box (103)";
    case Dlg::MessageBox: return "message box";
    case Dlg::Browser: return "folder browser";
    case Dlg::Other: break;
    }
    return "unknown dialog";
}

Dlg Classify(HWND dialog) {
    if (FindItem(dialog, EDIT_BOX)) {
        if (FindItem(dialog, CHANGE_BUTTON)) return Dlg::Location;
        if (FindItem(dialog, BROWSE_BUTTON)) return Dlg::ChangeFolder;
        return Dlg::Agreement;
    }
    if (FindItem(dialog, 14145)) return Dlg::Browser;
    // A message box: its text (static 0xFFFF) and OK, or Yes and No.
    if (FindItem(dialog, 0xFFFF) && (FindItem(dialog, IDOK) || FindItem(dialog, IDYES))) return Dlg::MessageBox;
    if (AnyChildText(dialog, "A moment please...")) return Dlg::Wait;
    return Dlg::Other;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id) { return SentText(Item(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::string &text) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                             kMessageMs, &result))
        Fatal("no answer to WM_SETTEXT from control " + std::to_string(id));
}

void SetItemText(HWND dialog, int id, const std::wstring &text) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                             kMessageMs, &result))
        Fatal("no answer to WM_SETTEXT from control " + std::to_string(id));
}

bool HasItem(HWND dialog, int id) { return FindItem(dialog, id) != nullptr; }

bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(Item(dialog, id)) != FALSE; }

void Click(HWND dialog, int id) {
    if (!PostMessageA(Item(dialog, id), BM_CLICK, 0, 0)) Fatal("cannot post a click to control " + std::to_string(id));
}

void Sync(HWND window) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kMessageMs, &result))
        Fatal("the program does not answer messages");
}

// ---- the process under test ------------------------------------------------
namespace {
std::string EnvironmentBlock(const Env &env) {
    std::map<std::string, std::string> vars;  // by upper-case name: "Name=value"
    auto upper = [](std::string s) {
        for (char &c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        return s;
    };
    char *block = GetEnvironmentStringsA();
    for (char *p = block; *p; p += strlen(p) + 1) {
        std::string entry = p;
        size_t eq = entry.find('=', 1);  // names like "=C:" begin with '='
        if (eq == std::string::npos) continue;
        vars[upper(entry.substr(0, eq))] = entry;
    }
    FreeEnvironmentStringsA(block);
    for (const auto &kv : env.set) vars[upper(kv.first)] = kv.first + "=" + kv.second;
    std::string out;
    for (const auto &kv : vars) out += kv.second + '\0';
    return out + '\0';
}
}  // namespace

Setup::Setup(const Env &env, const std::string &exe) : path_(exe.empty() ? g_cfg.setup : exe) {
    const std::string &path = path_;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) Fatal("no program at " + path);
    std::string folder = path.substr(0, path.find_last_of('\\'));
    std::string commandLine = "\"" + path + "\"";
    std::string block;
    if (!env.set.empty()) block = EnvironmentBlock(env);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        block.empty() ? nullptr : &block[0], folder.c_str(), &si, &pi))
        Fatal("cannot start " + path + ": error " + std::to_string(GetLastError()));
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    Note("started " + path + " (pid " + std::to_string(pid_) + ")");
}

Setup::~Setup() {
    if (Running()) {
        printf("# %s still running at the end; ending it\n", Name().c_str());
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

std::string Setup::Name() const { return path_.substr(path_.find_last_of("\\:") + 1); }

bool Setup::Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool Setup::Ended(DWORD &code) const {
    if (Running()) return false;
    code = 0;
    GetExitCodeProcess(process_, &code);
    return true;
}

namespace {
struct EnumState {
    DWORD pid;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
    EnumState *state = reinterpret_cast<EnumState *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == state->pid && IsWindowVisible(window) && ClassOf(window) == "#32770") state->found.push_back(window);
    return TRUE;
}

bool Interactive(Dlg kind) { return kind != Dlg::Wait && kind != Dlg::Other; }
}  // namespace

std::vector<HWND> Setup::Dialogs() const {
    EnumState state{pid_, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::string Setup::Describe() const {
    std::string out;
    for (HWND dialog : Dialogs()) {
        if (!out.empty()) out += "; ";
        Dlg kind = Classify(dialog);
        out += DlgName(kind);
        if (kind == Dlg::MessageBox)
            out += " " + Quote(WindowText(dialog)) + " " + Quote(SentText(FindItem(dialog, 0xFFFF)));
        else if (kind == Dlg::Other || kind == Dlg::Browser)
            out += " " + Quote(WindowText(dialog));
    }
    return out.empty() ? "no dialog" : out;
}

HWND Setup::WaitFor(Dlg kind, DWORD timeoutMs) {
    std::vector<HWND> before = Dialogs();
    ULONGLONG end = Now() + Limit(timeoutMs);
    for (;;) {
        for (HWND dialog : Dialogs()) {
            Dlg seen = Classify(dialog);
            // A dialog being ended is hidden before its controls go: one
            // that is still visible after it was read was read whole (a 101
            // losing its "Change..." would otherwise pass for a 158).
            if (seen == kind && IsWindowVisible(dialog)) return dialog;
            bool isNew = std::find(before.begin(), before.end(), dialog) == before.end();
            if (isNew && Interactive(seen))
                Fatal(std::string("waiting for the ") + DlgName(kind) + ", got " + Describe());
        }
        if (!Running()) {
            DWORD code = 0;
            GetExitCodeProcess(process_, &code);
            Fatal(Name() + " ended (exit code " + Hex(code) + ") while waiting for the " + DlgName(kind));
        }
        if (Now() > end)
            Fatal(std::string("no ") + DlgName(kind) + " within " + std::to_string(Limit(timeoutMs) / 1000) +
                  " s; up: " + Describe());
        Sleep(kPollMs);
    }
}

void Setup::WaitGone(HWND window, DWORD timeoutMs) {
    ULONGLONG end = Now() + Limit(timeoutMs);
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (Now() > end) Fatal("a dialog stays up: " + Describe());
        Sleep(kPollMs);
    }
}

DWORD Setup::WaitExit(DWORD timeoutMs) {
    ULONGLONG end = Now() + Limit(timeoutMs);
    std::map<HWND, int> polls;  // how many polls in a row each interactive dialog was seen
    for (;;) {
        if (WaitForSingleObject(process_, kPollMs) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process_, &code);
            return code;
        }
        std::map<HWND, int> next;
        for (HWND dialog : Dialogs()) {
            if (!Interactive(Classify(dialog))) continue;
            int count = polls.count(dialog) ? polls[dialog] + 1 : 1;
            if (count * kPollMs > 3000) Fatal(Name() + " should end but waits in: " + Describe());
            next[dialog] = count;
        }
        polls.swap(next);
        if (Now() > end) Fatal(Name() + " did not end within " + std::to_string(Limit(timeoutMs) / 1000) + " s");
    }
}

extern "C" NTSTATUS NTAPI NtSuspendProcess(HANDLE process);
extern "C" NTSTATUS NTAPI NtResumeProcess(HANDLE process);

Suspension::Suspension(const Setup &program) : process_(OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, program.Pid())) {
    if (!process_) Fatal("cannot open " + program.Name() + " to suspend it: error " + std::to_string(GetLastError()));
    NTSTATUS status = NtSuspendProcess(process_);
    if (!NT_SUCCESS(status)) {
        CloseHandle(process_);
        Fatal("cannot suspend " + program.Name() + ": status " + Hex(status));
    }
}

Suspension::~Suspension() {
    NtResumeProcess(process_);
    CloseHandle(process_);
}

// ---- screenshots ---------------------------------------------------------
void Screenshot(const std::string &name) {
    if (g_cfg.signal.empty()) Fatal("a screenshot needs --signal=DIR");
    const std::string taken = g_cfg.signal + "\\" + name + ".taken";
    WriteAll(g_cfg.signal + "\\" + name + ".want", "");
    ULONGLONG end = Now() + g_cfg.timeoutMs;
    while (!Exists(taken)) {
        if (Now() > end) Fatal("no screenshot " + name + " taken");
        Sleep(kPollMs);
    }
    Note("screenshot " + name);
}

// ---- composite steps -----------------------------------------------------
void AnswerBox(Setup &program, const std::string &caption, const std::string &text, int button) {
    HWND box = program.WaitFor(Dlg::MessageBox);
    CheckEq("box " + Quote(caption) + ": caption", caption, WindowText(box));
    CheckEq("box " + Quote(caption) + ": text", text, ItemText(box, 0xFFFF));
    Click(box, button);
    program.WaitGone(box);
}

void ExpectError(Setup &setup, const std::string &code, const std::string &text) {
    HWND box = setup.WaitFor(Dlg::MessageBox);
    std::string caption = WindowText(box);
    CheckEq("error box " + code + ": caption", "ERROR " + code, caption);
    CheckEq("error box " + code + ": text", text, ItemText(box, 0xFFFF));
    Click(box, IDOK);
    setup.WaitGone(box);
}

std::string WithDetail(const std::string &text, const std::string &detail) {
    std::string shown = text;
    while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n')) shown.pop_back();
    return shown + "\r\n\r\n" + detail;
}

void ExpectError(Setup &setup, const FixedMessage &message, const std::string &detail) {
    ExpectError(setup, message.code, detail.empty() ? message.text : WithDetail(message.text, detail));
}

void ChangeFolder(Setup &setup, HWND location, const std::string &folder, bool ok) {
    Click(location, CHANGE_BUTTON);
    HWND change = setup.WaitFor(Dlg::ChangeFolder);
    SetItemText(change, EDIT_BOX, folder);
    Click(change, ok ? IDOK : IDCANCEL);
    setup.WaitGone(change);
    Sync(location);
}

bool ExpectItemText(const std::string &what, HWND dialog, int id, const std::string &expected) {
    ULONGLONG end = Now() + 5000;
    std::string text = ItemText(dialog, id);
    while (text != expected && Now() < end) {
        Sleep(kPollMs);
        text = ItemText(dialog, id);
    }
    return CheckEq(what, expected, text);
}

// ---- the folder browser -------------------------------------------------------
// The tree view lives in the 32-bit process under test: its items are read
// through a TVITEM placed in that process's memory, laid out for its bitness.
//
// Under qemu user emulation the emulated program's addresses are not those of
// the host process that carries it: Wine's server reads and writes the host
// process's memory, where every emulated address lies a fixed distance higher
// (0x1000 here, as the kernel keeps page 0 unmapped).  The distance is found
// by looking for the program's own headers, which the loader maps at its image
// base; on a machine that runs 32-bit programs itself it is 0.
namespace {
struct TvItem32 {
    UINT mask;
    UINT32 hItem;
    UINT state, stateMask;
    UINT32 pszText;
    int cchTextMax, iImage, iSelectedImage, cChildren;
    UINT32 lParam;
};

std::string FileHead(const std::string &path, DWORD size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fatal("cannot read " + path);
    std::string head(size, '\0');
    DWORD got = 0;
    ReadFile(file, &head[0], size, &got, nullptr);
    CloseHandle(file);
    head.resize(got);
    return head;
}

ULONG_PTR HostOffset(HANDLE process, const std::string &exe) {
    const DWORD size = 0x400;
    std::string head = FileHead(exe, size);
    if (head.size() < size || head.compare(0, 2, "MZ")) Fatal(exe + " is not a program");
    DWORD pe = *reinterpret_cast<const DWORD *>(&head[0x3C]);
    if (pe + 0x40 > size || head.compare(pe, 4, std::string("PE\0\0", 4))) Fatal(exe + " has no PE header");
    const char *optional = &head[pe + 24];
    bool pe32 = *reinterpret_cast<const WORD *>(optional) == 0x10B;
    ULONG_PTR base = pe32 ? *reinterpret_cast<const DWORD *>(optional + 28)
                          : static_cast<ULONG_PTR>(*reinterpret_cast<const ULONGLONG *>(optional + 24));
    // The headers are mapped as they stand in the file, up to SizeOfHeaders.
    const DWORD headers = std::min<DWORD>(size, *reinterpret_cast<const DWORD *>(optional + 60));
    char memory[size];
    for (ULONG_PTR offset = 0; offset <= 0x100000; offset += 0x1000) {
        SIZE_T got = 0;
        if (ReadProcessMemory(process, reinterpret_cast<void *>(base + offset), memory, headers, &got) &&
            got == headers && !memcmp(memory, head.data(), headers))
            return offset;
    }
    Fatal("cannot find the headers of " + exe + " in its process");
}

class RemoteTree {
public:
    RemoteTree(const Setup &setup, HWND browser) : tree_(Item(browser, 14145)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(tree_, &pid);
        if (pid != setup.Pid()) Fatal("the folder browser is not setup.exe's");
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                               FALSE, pid);
        if (!process_) Fatal("cannot open the browser's process: error " + std::to_string(GetLastError()));
        BOOL wow = FALSE;
        IsWow64Process(process_, &wow);
        narrow_ = wow != FALSE;
        offset_ = HostOffset(process_, setup.Path());
        // Wine 10 checks what it is asked to write against the emulated
        // program's own map, then writes at the host address: the buffer is
        // committed over both (Wine 8 writes without a check).
        memory_ = static_cast<char *>(
            VirtualAllocEx(process_, nullptr, offset_ + 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!memory_) Fatal("cannot place a buffer in the browser's process: error " + std::to_string(GetLastError()));
    }
    ~RemoteTree() {
        VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteTree(const RemoteTree &) = delete;
    RemoteTree &operator=(const RemoteTree &) = delete;

    LPARAM Send(UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(tree_, message, wParam, lParam, SMTO_NORMAL, kMessageMs, &result))
            Fatal("the folder browser's tree does not answer");
        return static_cast<LPARAM>(result);
    }
    LPARAM Next(LPARAM item, UINT how) { return Send(TVM_GETNEXTITEM, how, item); }

    std::string Text(LPARAM item) {
        const int size = 1024;
        char *text = memory_ + 256;  // in the other process
        if (narrow_) {
            TvItem32 tv = {};
            tv.mask = TVIF_TEXT | TVIF_HANDLE;
            tv.hItem = static_cast<UINT32>(item);
            tv.pszText = static_cast<UINT32>(reinterpret_cast<ULONG_PTR>(text));
            tv.cchTextMax = size;
            Write(memory_, &tv, sizeof tv);
        } else {
            TVITEMA tv = {};
            tv.mask = TVIF_TEXT | TVIF_HANDLE;
            tv.hItem = reinterpret_cast<HTREEITEM>(item);
            tv.pszText = text;
            tv.cchTextMax = size;
            Write(memory_, &tv, sizeof tv);
        }
        Write(text, "", 1);
        if (!Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory_))) Fatal("cannot read an item of the browser's tree");
        char local[size + 1] = "";
        SIZE_T got = 0;
        if (!ReadProcessMemory(process_, text + offset_, local, size, &got)) Fatal("cannot read the browser's process");
        local[size] = '\0';
        return local;
    }

private:
    void Write(char *at, const void *data, size_t size) {
        SIZE_T put = 0;
        if (!WriteProcessMemory(process_, at + offset_, data, size, &put) || put != size)
            Fatal("cannot write into the browser's process");
    }

    HWND tree_;
    HANDLE process_ = nullptr;
    bool narrow_ = false;
    ULONG_PTR offset_ = 0;
    char *memory_ = nullptr;
};

std::string Lower(std::string s) {
    for (char &c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

// True when the tree item called `text` stands for `part` of a path: a
// folder by its name, a drive ("C:") by a name that shows "(C:)".
bool Names(const std::string &text, const std::string &part) {
    if (part.size() == 2 && part[1] == ':') return Lower(text).find("(" + Lower(part) + ")") != std::string::npos;
    return Lower(text) == Lower(part);
}
}  // namespace

void PickFolder(const Setup &setup, HWND browser, const std::string &folder) {
    // The parts of the path: "C:", then each folder name.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < folder.size()) {
        size_t end = folder.find('\\', start);
        if (end == std::string::npos) end = folder.size();
        if (end > start) parts.push_back(folder.substr(start, end - start));
        start = end + 1;
    }
    if (parts.empty() || parts[0].size() != 2 || parts[0][1] != ':') Fatal("PickFolder needs a full path: " + folder);

    RemoteTree tree(setup, browser);
    // The drive is looked for in the first three levels (the desktop, "My
    // Computer", the drives), expanding each item on the way as a user would;
    // each folder after it is a child of the one before.
    LPARAM item = 0;
    std::vector<LPARAM> level;
    for (LPARAM root = tree.Next(0, TVGN_ROOT); root; root = tree.Next(root, TVGN_NEXT)) level.push_back(root);
    std::string seen;
    for (int depth = 0; depth < 3 && !item; ++depth) {
        std::vector<LPARAM> below;
        for (LPARAM node : level) {
            std::string text = tree.Text(node);
            seen += (seen.empty() ? "" : ", ") + Quote(text);
            if (Names(text, parts[0])) {
                item = node;
                break;
            }
            if (depth == 2) continue;
            tree.Send(TVM_EXPAND, TVE_EXPAND, node);
            for (LPARAM child = tree.Next(node, TVGN_CHILD); child; child = tree.Next(child, TVGN_NEXT))
                below.push_back(child);
        }
        level.swap(below);
    }
    if (!item) Fatal("no drive " + parts[0] + " in the folder browser; items: " + seen);
    for (size_t i = 1; i < parts.size(); ++i) {
        tree.Send(TVM_EXPAND, TVE_EXPAND, item);
        LPARAM found = 0;
        std::string names;
        for (LPARAM child = tree.Next(item, TVGN_CHILD); child && !found; child = tree.Next(child, TVGN_NEXT)) {
            std::string text = tree.Text(child);
            names += (names.empty() ? "" : ", ") + Quote(text);
            if (Names(text, parts[i])) found = child;
        }
        if (!found) Fatal("no folder " + Quote(parts[i]) + " in the folder browser; there: " + names);
        item = found;
    }
    tree.Send(TVM_SELECTITEM, TVGN_CARET, item);
    if (tree.Next(0, TVGN_CARET) != item) Fatal("the folder browser did not select " + folder);
    Note("picked " + Quote(tree.Text(item)) + " in the folder browser");
    Click(browser, IDOK);
}

// ---- programs started by the one under test ------------------------------------
namespace {
struct TopSearch {
    const std::string *title;
    DWORD notPid;
    HWND found;
    DWORD pid;
};
BOOL CALLBACK FindTitled(HWND window, LPARAM param) {
    TopSearch *search = reinterpret_cast<TopSearch *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->notPid || !IsWindowVisible(window) || WindowText(window) != *search->title) return TRUE;
    search->found = window;
    search->pid = pid;
    return FALSE;
}

struct ProcessHandle {
    explicit ProcessHandle(DWORD pid, DWORD access) : handle(OpenProcess(access, FALSE, pid)) {
        if (!handle) Fatal("cannot open process " + std::to_string(pid) + ": error " + std::to_string(GetLastError()));
    }
    ~ProcessHandle() { CloseHandle(handle); }
    ProcessHandle(const ProcessHandle &) = delete;
    ProcessHandle &operator=(const ProcessHandle &) = delete;
    HANDLE handle;
};
}  // namespace

HWND FindTopWindow(const std::string &title, DWORD notPid, DWORD *pid) {
    TopSearch search{&title, notPid, nullptr, 0};
    EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
    if (pid) *pid = search.pid;
    return search.found;
}

std::string ProcessImage(DWORD pid) {
    ProcessHandle process(pid, PROCESS_QUERY_LIMITED_INFORMATION);
    char path[MAX_PATH * 2] = "";
    DWORD size = sizeof path;
    if (!QueryFullProcessImageNameA(process.handle, 0, path, &size))
        Fatal("no image name for process " + std::to_string(pid) + ": error " + std::to_string(GetLastError()));
    return std::string(path, size);
}

// The 32-bit PEB of the process: where a 64-bit caller is told it is
// (ProcessWow64Information), or, where Wine answers that with a flag only, the
// page after the 64-bit PEB, where Wine keeps it.  Recognised by the image base
// it records; its fields are 32-bit pointers, read through the host offset
// (see the folder browser above).
std::string ProcessCurrentDir(DWORD pid) {
    std::string image = ProcessImage(pid);
    ProcessHandle process(pid, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    BOOL wow = FALSE;
    if (!IsWow64Process(process.handle, &wow) || !wow) Fatal(image + " is not a 32-bit process");
    std::string head = FileHead(image, 0x400);
    DWORD pe = head.size() >= 0x40 ? *reinterpret_cast<const DWORD *>(&head[0x3C]) : 0;
    if (pe == 0 || pe + 24 + 32 > head.size()) Fatal(image + " has no PE header");
    DWORD imageBase = *reinterpret_cast<const DWORD *>(&head[pe + 24 + 28]);
    ULONG_PTR offset = HostOffset(process.handle, image);

    auto read = [&](ULONG_PTR at, void *out, SIZE_T size) {
        SIZE_T got = 0;
        return ReadProcessMemory(process.handle, reinterpret_cast<void *>(at + offset), out, size, &got) && got == size;
    };
    std::vector<ULONG_PTR> candidates;
    ULONG_PTR wowPeb = 0;
    if (NT_SUCCESS(NtQueryInformationProcess(process.handle, ProcessWow64Information, &wowPeb, sizeof wowPeb, nullptr)) &&
        wowPeb > 1)
        candidates.push_back(wowPeb);
    PROCESS_BASIC_INFORMATION basic = {};
    if (NT_SUCCESS(NtQueryInformationProcess(process.handle, ProcessBasicInformation, &basic, sizeof basic, nullptr)))
        candidates.push_back(reinterpret_cast<ULONG_PTR>(basic.PebBaseAddress) + 0x1000);
    for (ULONG_PTR peb : candidates) {
        DWORD fields[5] = {};  // ..., ImageBaseAddress (+8), Ldr, ProcessParameters (+0x10)
        if (!read(peb, fields, sizeof fields) || fields[2] != imageBase) continue;
        // RTL_USER_PROCESS_PARAMETERS (32-bit): CurrentDirectory.DosPath at +0x24.
        struct {
            USHORT length, maximum;
            DWORD buffer;
        } dosPath = {};
        WCHAR text[MAX_PATH + 1] = {};
        if (!read(fields[4] + 0x24, &dosPath, sizeof dosPath) || dosPath.length > MAX_PATH * sizeof(WCHAR) ||
            !read(dosPath.buffer, text, dosPath.length))
            Fatal("cannot read the process parameters of " + image);
        char narrow[MAX_PATH * 2] = "";
        WideCharToMultiByte(CP_ACP, 0, text, dosPath.length / sizeof(WCHAR), narrow, sizeof narrow - 1, nullptr, nullptr);
        return narrow;
    }
    Fatal("cannot find the 32-bit PEB of " + image);
}

void CloseProgram(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (!pid) Fatal("no process behind the window to close");
    ProcessHandle process(pid, SYNCHRONIZE);
    if (!PostMessageA(window, WM_CLOSE, 0, 0)) Fatal("cannot post WM_CLOSE: error " + std::to_string(GetLastError()));
    if (WaitForSingleObject(process.handle, g_cfg.timeoutMs) != WAIT_OBJECT_0)
        Fatal("process " + std::to_string(pid) + " did not end after WM_CLOSE");
}

// ---- shortcuts -------------------------------------------------------------
bool ReadShortcut(const std::wstring &path, ShortcutInfo &info) {
    info = ShortcutInfo();
    HRESULT init = CoInitialize(nullptr);
    bool loaded = false;
    IShellLinkA *link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void **>(&link)))) {
        IPersistFile *file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
            if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
                loaded = true;
                char text[MAX_PATH * 2];
                WIN32_FIND_DATAA found;
                text[0] = '\0';
                link->GetPath(text, sizeof text, &found, SLGP_RAWPATH);
                info.target = text;
                text[0] = '\0';
                link->GetArguments(text, sizeof text);
                info.arguments = text;
                text[0] = '\0';
                link->GetWorkingDirectory(text, sizeof text);
                info.workingDir = text;
                text[0] = '\0';
                link->GetDescription(text, sizeof text);
                info.description = text;
                text[0] = '\0';
                link->GetIconLocation(text, sizeof text, &info.iconIndex);
                info.iconPath = text;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return loaded;
}

std::wstring ShortcutFile(int csidl) {
    WCHAR path[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        Fatal("no special folder " + std::to_string(csidl));
    return path + std::wstring(ShortcutFileName);
}

std::string Printable(const std::wstring &text) {
    std::string out(text.size() * 3 + 1, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], static_cast<int>(out.size()), nullptr, nullptr));
    if (!out.empty()) out.pop_back();  // the NUL
    return out;
}

// ---- files ---------------------------------------------------------------
bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDir(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD Attributes(const std::string &path) { return GetFileAttributesA(path.c_str()); }

std::string ReadAll(const std::string &path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fatal("cannot read " + path + ": error " + std::to_string(GetLastError()));
    std::string data;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got) data.append(chunk, got);
    CloseHandle(file);
    return data;
}

void WriteAll(const std::string &path, const std::string &bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fatal("cannot write " + path + ": error " + std::to_string(GetLastError()));
    DWORD put = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(file);
    if (!ok || put != bytes.size()) Fatal("cannot write " + path);
}

void MakeDirs(const std::string &path) {
    for (size_t at = 3; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '\\') {
            std::string part = path.substr(0, at);
            if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                Fatal("cannot create " + part + ": error " + std::to_string(GetLastError()));
        }
    }
}

void RemoveTree(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name != "." && name != "..") RemoveTree(path + "\\" + name);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    } else {
        DeleteFileA(path.c_str());
    }
    if (Exists(path)) Fatal("cannot remove " + path);
}

bool DirIsEmpty(const std::string &path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") empty = false;
    } while (empty && FindNextFileA(search, &found));
    FindClose(search);
    return empty;
}

std::vector<std::string> ListDir(const std::string &path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void SetReadOnly(const std::string &path, bool readOnly) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) Fatal("no file " + path);
    attributes = readOnly ? attributes | FILE_ATTRIBUTE_READONLY : attributes & ~FILE_ATTRIBUTE_READONLY;
    if (!SetFileAttributesA(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) ||
        ((GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY) != 0) != readOnly)
        Fatal("cannot change the read-only attribute of " + path);
}

std::string TempDir() {
    char path[MAX_PATH + 1] = "";
    DWORD length = GetTempPathA(sizeof path, path);
    if (!length || length >= sizeof path) Fatal("no temporary folder");
    return path;
}

std::string WindowsDir() {
    char path[MAX_PATH + 1] = "";
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    if (!length || length >= sizeof path) Fatal("no Windows folder");
    return path;
}

std::string SystemMessage(DWORD error) {
    char *text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, error, 0x400,
                                  reinterpret_cast<char *>(&text), 0, nullptr);
    std::string out = length && text ? std::string(text, length) : "";
    LocalFree(text);
    return out;
}

HeldFile::HeldFile(const std::string &path)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    if (handle_ == INVALID_HANDLE_VALUE) Fatal("cannot hold " + path + ": error " + std::to_string(GetLastError()));
}

HeldFile::~HeldFile() { CloseHandle(handle_); }

// ---- registry ------------------------------------------------------------
bool RegRead(HKEY root, const std::string &key, const char *name, std::string &value, DWORD *valueType) {
    HKEY open = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &open) != ERROR_SUCCESS) return false;
    char data[4096];
    DWORD size = sizeof data - 1, type = 0;
    LONG status = RegQueryValueExA(open, name, nullptr, &type, reinterpret_cast<BYTE *>(data), &size);
    RegCloseKey(open);
    if (status != ERROR_SUCCESS) return false;
    if (valueType) *valueType = type;
    data[size] = '\0';
    value.assign(data, size && data[size - 1] == '\0' ? size - 1 : size);
    return true;
}

bool RegKeyExists(HKEY root, const std::string &key) {
    HKEY open = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &open) != ERROR_SUCCESS) return false;
    RegCloseKey(open);
    return true;
}

void RegWrite(HKEY root, const std::string &key, const char *name, const std::string &value) {
    HKEY open = nullptr;
    LONG status = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &open, nullptr);
    if (status != ERROR_SUCCESS) Fatal("cannot create key " + key + ": error " + std::to_string(status));
    status = RegSetValueExA(open, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
    RegCloseKey(open);
    if (status != ERROR_SUCCESS) Fatal("cannot write value in " + key + ": error " + std::to_string(status));
}

void RegDeleteKeyTree(HKEY root, const std::string &key) {
    HKEY open = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &open) != ERROR_SUCCESS) return;
    RegDeleteTreeA(open, nullptr);
    RegCloseKey(open);
    RegDeleteKeyExA(root, key.c_str(), KEY_WOW64_32KEY, 0);
    if (RegKeyExists(root, key)) Fatal("cannot delete key " + key);
}

void RegDenyWrites(HKEY root, const std::string &key) {
    HKEY open = nullptr;
    LONG status = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_READ | WRITE_DAC | KEY_WOW64_32KEY, nullptr,
                                  &open, nullptr);
    if (status != ERROR_SUCCESS) Fatal("cannot create key " + key + ": error " + std::to_string(status));
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    char aclBuffer[256];
    ACL *acl = reinterpret_cast<ACL *>(aclBuffer);
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    status = RegSetKeySecurity(open, DACL_SECURITY_INFORMATION, &sd);
    RegCloseKey(open);
    FreeSid(everyone);
    if (status != ERROR_SUCCESS) Fatal("cannot set the security of " + key + ": error " + std::to_string(status));
    // The fault must be there, or the scenario proves nothing.
    status = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | KEY_WOW64_32KEY, nullptr, &open,
                             nullptr);
    if (status == ERROR_SUCCESS) RegCloseKey(open);
    if (status != ERROR_ACCESS_DENIED)
        Fatal("key " + key + " still opens for writing (status " + std::to_string(status) + ")");
}

void RegAllowWrites(HKEY root, const std::string &key) {
    HKEY open = nullptr;
    SECURITY_DESCRIPTOR sd;  // without a DACL: everyone may do anything
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    if (!SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE) ||
        RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC | KEY_WOW64_32KEY, &open) ||
        RegSetKeySecurity(open, DACL_SECURITY_INFORMATION, &sd))
        Fatal("cannot let " + key + " be written again");
    RegCloseKey(open);
}

bool PendingDelete(const std::string &path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size() - 2), type = 0;
    LONG status = RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                                   reinterpret_cast<BYTE *>(data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ) return false;
    // Pairs of source and target; an empty target means delete.
    std::vector<std::string> items;
    for (size_t at = 0; at < size;) {
        std::string item(&data[at]);
        items.push_back(item);
        at += item.size() + 1;
    }
    std::string wanted = Lower("\\??\\" + path);
    for (size_t i = 0; i + 1 < items.size(); i += 2)
        if (Lower(items[i]) == wanted && items[i + 1].empty()) return true;
    return false;
}

// ---- the machine as setup sees it ------------------------------------------
std::string ProgramFilesDir() {
    std::string value;
    if (!RegRead(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", value))
        Fatal("no ProgramFilesDir in the 32-bit view of the registry");
    if (value.size() > 2 && value.back() == '\\') value.pop_back();
    return value;
}

std::string DefaultProposal() { return ProgramFilesDir() + "\\Quillmark"; }

}  // namespace e2e
