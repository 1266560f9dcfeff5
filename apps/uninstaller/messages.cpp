// What the uninstaller tells the user: the question, the notices, and the list
// of whatever could not be removed.
#include "apps/uninstaller/uninstaller.h"
#include "setup/text.h"

static const char Caption[] = "Quillmark Uninstall";
static const char FailuresHeading[] = "These items could not be removed:\n";
static const char FailuresLeftOut[] = "\n...";

// The closing report, one line an item.  The last bytes are kept for the line
// that says more items did not fit.
static char g_failures[2048];
static bool g_failuresLeftOut;

void ShowMessage(const char *text, UINT type)
{
    MessageBoxA(NULL, text, Caption, type | MB_OK | MB_SETFOREGROUND);
}

bool AskToRemove()
{
    char question[PathSize + 160];

    CopyText(question, sizeof question, "Are you sure you want to remove Quillmark from ");
    AppendText(question, sizeof question, g_installDir);
    AppendText(question, sizeof question, "?\n\nIts shortcuts and registry entries are removed too.  "
                                          "Files of your own in that folder are kept.");
    return MessageBoxA(NULL, question, Caption, MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES;
}

void NoteFailure(const char *item)
{
    size_t room = sizeof g_failures - sizeof FailuresLeftOut;

    if (g_failures[0] == 0)
        CopyText(g_failures, room, FailuresHeading);
    if (TextLength(g_failures) + 1 + TextLength(item) >= room) {
        g_failuresLeftOut = true;
        return;
    }
    AppendText(g_failures, room, "\n");
    AppendText(g_failures, room, item);
}

void ReportFailures()
{
    if (g_failures[0] == 0)
        return;
    if (g_failuresLeftOut)
        AppendText(g_failures, sizeof g_failures, FailuresLeftOut);
    ShowMessage(g_failures, MB_ICONWARNING);
}
