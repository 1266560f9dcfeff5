// What the uninstaller tells the user: the questions, the notices, and the
// closing report with whatever could not be removed and whatever was kept.
#include "apps/uninstaller/uninstaller.h"
#include "setup/text.h"

static const char Caption[] = "Quillmark Uninstall";
static const char FailuresHeading[] = "\n\nThese items could not be removed:";
static const char ProgramHeading[] = "\n\nThis program was kept because it is not the one Quillmark's setup "
                                     "installed (it may be a newer version).  Remove it first:";
static const char KeptHeading[] = "\n\nThese files were kept because they differ from the ones Quillmark's setup "
                                  "installs:";
static const char LeftOut[] = "\n...";

// A list for the closing report, one line an item.  The last bytes are kept
// for the line that says more items did not fit.
enum { ListSize = 2048, LeadRoom = 512 };
struct ItemList {
    char text[ListSize];
    bool leftOut;
};
static ItemList g_failures;
static ItemList g_kept;
static PathBuffer g_programKept;

// The closing report: its first line and the headings (LeadRoom), then the
// lists and the program.
static char g_closing[2 * ListSize + LeadRoom + PathSize];

void ShowMessage(const char *text, UINT type)
{
    MessageBoxA(NULL, text, Caption, type | MB_OK | MB_SETFOREGROUND);
}

bool Ask(const char *question)
{
    return MessageBoxA(NULL, question, Caption, MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES;
}

bool AskToRemove()
{
    char question[PathSize + 160];

    CopyText(question, sizeof question, "Are you sure you want to remove Quillmark from ");
    AppendText(question, sizeof question, g_installDir);
    AppendText(question, sizeof question, "?\n\nIts shortcuts and registry entries are removed too.  "
                                          "Files of your own in that folder are kept.");
    return Ask(question);
}

static void AddItem(ItemList &list, const char *item)
{
    size_t room = sizeof list.text - sizeof LeftOut;

    if (TextLength(list.text) + 1 + TextLength(item) >= room) {
        list.leftOut = true;
        return;
    }
    AppendText(list.text, room, "\n");
    AppendText(list.text, room, item);
}

void NoteFailure(const char *item)
{
    AddItem(g_failures, item);
}

void NoteKept(const char *path)
{
    AddItem(g_kept, path);
}

void NoteProgramKept(const char *path)
{
    CopyText(g_programKept, PathSize, path);
}

static void AppendList(const char *heading, const ItemList &list)
{
    if (!list.text[0] && !list.leftOut)
        return;
    AppendText(g_closing, sizeof g_closing, heading);
    AppendText(g_closing, sizeof g_closing, list.text);
    if (list.leftOut)
        AppendText(g_closing, sizeof g_closing, LeftOut);
}

void ShowClosing(const char *done, const char *unfinished)
{
    bool failed = g_failures.text[0] || g_failures.leftOut || g_programKept[0];

    CopyText(g_closing, sizeof g_closing, failed ? unfinished : done);
    AppendList(FailuresHeading, g_failures);
    if (g_programKept[0]) {
        AppendText(g_closing, sizeof g_closing, ProgramHeading);
        AppendText(g_closing, sizeof g_closing, "\n");
        AppendText(g_closing, sizeof g_closing, g_programKept);
    }
    AppendList(KeptHeading, g_kept);
    ShowMessage(g_closing, failed ? MB_ICONWARNING : MB_ICONINFORMATION);
}
