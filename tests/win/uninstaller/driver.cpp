// Runs a program and answers its message boxes in the order given.
//
//   driver [--hold PATH | --mutex NAME | --link PATH TARGET]... [PROGRAM [BUTTON:TEXT]... | PROGRAM all:]
//
// BUTTON is yes, no or ok; TEXT must occur in the box's message.  --hold keeps
// PATH open for reading, sharing only reading, while the program runs: opening it
// without sharing then fails with error 32, and deleting it fails.  --mutex
// holds a mutex of that name meanwhile.  --link saves a shortcut (a shell
// link) at PATH that starts TARGET, before anything else; without a PROGRAM
// that is all.
// Every box is printed.  Exit code 0 when each expected box came in order and the
// program ended without another one; 1 otherwise.  With all: every box is
// answered yes, or OK where it has no yes, and the exit code is the program's.
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

static const DWORD StepTimeoutMs = 90000;
static DWORD g_processId;
static HWND g_box;

static BOOL CALLBACK FindBox(HWND window, LPARAM)
{
    DWORD owner = 0;
    char className[16];

    GetWindowThreadProcessId(window, &owner);
    if (owner != g_processId || !IsWindowVisible(window))
        return TRUE;
    if (!GetClassNameA(window, className, sizeof className) || strcmp(className, "#32770") != 0)
        return TRUE;
    g_box = window;
    return FALSE;
}

// Waits for the next box of the program, or for its end (returns null).
static HWND WaitForBox(HANDLE process, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 25) {
        g_box = NULL;
        EnumWindows(FindBox, 0);
        if (g_box)
            return g_box;
        if (WaitForSingleObject(process, 25) == WAIT_OBJECT_0)
            return NULL;
    }
    return NULL;
}

static void ReadBox(HWND box, char *text, int size)
{
    char caption[128];
    DWORD_PTR ignored;

    text[0] = 0;
    GetWindowTextA(box, caption, sizeof caption);
    SendMessageTimeoutA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, size, (LPARAM) text,
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    printf("  box [%s]: ", caption);
    for (const char *c = text; *c; c++)
        if (*c == '\n')
            fputs("\\n", stdout);
        else if (*c != '\r')
            putchar(*c);
    printf("\n");
    fflush(stdout);
}

static int ButtonId(const char *step)
{
    if (strncmp(step, "yes:", 4) == 0) return IDYES;
    if (strncmp(step, "no:", 3) == 0) return IDNO;
    if (strncmp(step, "ok:", 3) == 0) return IDOK;
    return 0;
}

// Saves a shortcut at `path` (the code page's text) that starts `target`.
static bool SaveLink(const char *path, const char *target)
{
    WCHAR wide[MAX_PATH];
    IShellLinkA *link = NULL;
    IPersistFile *file = NULL;
    bool saved = MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) &&
                 SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                            (void **) &link)) &&
                 SUCCEEDED(link->SetPath(target)) &&
                 SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **) &file)) &&
                 SUCCEEDED(file->Save(wide, TRUE));
    if (file)
        file->Release();
    if (link)
        link->Release();
    return saved;
}

int main(int argc, char **argv)
{
    int arg = 1;
    CoInitialize(NULL);
    for (;;) {
        if (arg + 1 < argc && strcmp(argv[arg], "--hold") == 0) {
            HANDLE held = CreateFileA(argv[arg + 1], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
            if (held == INVALID_HANDLE_VALUE) {
                printf("driver: cannot hold %s (error %lu)\n", argv[arg + 1], GetLastError());
                return 1;
            }
            arg += 2;   // the handle stays open until the driver ends
        } else if (arg + 1 < argc && strcmp(argv[arg], "--mutex") == 0) {
            CreateMutexA(NULL, FALSE, argv[arg + 1]);
            arg += 2;
        } else if (arg + 2 < argc && strcmp(argv[arg], "--link") == 0) {
            if (!SaveLink(argv[arg + 1], argv[arg + 2])) {
                printf("driver: cannot save a shortcut at %s\n", argv[arg + 1]);
                return 1;
            }
            arg += 3;
        } else {
            break;
        }
    }
    if (arg >= argc)
        return 0;

    STARTUPINFOA startup = {};
    PROCESS_INFORMATION started = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(argv[arg], NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started)) {
        printf("driver: cannot start %s (error %lu)\n", argv[arg], GetLastError());
        return 1;
    }
    g_processId = started.dwProcessId;

    if (arg + 1 < argc && strcmp(argv[arg + 1], "all:") == 0) {
        char text[4096];
        for (HWND box; (box = WaitForBox(started.hProcess, StepTimeoutMs));) {
            ReadBox(box, text, sizeof text);
            int button = GetDlgItem(box, IDYES) ? IDYES : IDOK;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM) GetDlgItem(box, button));
            for (DWORD waited = 0; IsWindow(box) && waited < StepTimeoutMs; waited += 25)
                Sleep(25);
        }
        DWORD code = 1;
        if (WaitForSingleObject(started.hProcess, StepTimeoutMs) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(started.hProcess, &code))
            TerminateProcess(started.hProcess, 1);
        return int(code);
    }

    int failed = 0;
    for (int step = arg + 1; step < argc && !failed; step++) {
        int button = ButtonId(argv[step]);
        const char *expected = strchr(argv[step], ':') + (button ? 1 : 0);
        char text[4096];
        HWND box = WaitForBox(started.hProcess, StepTimeoutMs);
        if (!button || !box) {
            DWORD code = STILL_ACTIVE;
            GetExitCodeProcess(started.hProcess, &code);
            printf("driver: expected a box with \"%s\", %s (exit code 0x%lX)\n", expected,
                   !button ? "bad step" : code == STILL_ACTIVE ? "none came in time" : "the program ended",
                   code);
            failed = 1;
            break;
        }
        ReadBox(box, text, sizeof text);
        if (!strstr(text, expected)) {
            printf("driver: expected \"%s\"\n", expected);
            failed = 1;
            break;
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM) GetDlgItem(box, button));
        for (DWORD waited = 0; IsWindow(box) && waited < StepTimeoutMs; waited += 25)
            Sleep(25);
    }

    if (!failed) {
        HWND extra = WaitForBox(started.hProcess, StepTimeoutMs);
        if (extra) {
            char text[4096];
            ReadBox(extra, text, sizeof text);
            printf("driver: unexpected box\n");
            failed = 1;
        } else if (WaitForSingleObject(started.hProcess, 0) != WAIT_OBJECT_0) {
            printf("driver: the program did not end\n");
            failed = 1;
        }
    }
    if (failed)
        TerminateProcess(started.hProcess, 1);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return failed;
}
