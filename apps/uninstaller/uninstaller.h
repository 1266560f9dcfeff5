// The uninstaller: the records it looks for and the functions its run is made of.
// Product names, paths and text come from the installer's own headers.
#pragma once
#include <windows.h>
#include "registration/record_keys.h"
#include "setup/product.h"

// The install folder, as the registry records it (folder.cpp).
extern PathBuffer g_installDir;

// folder.cpp: true when the recorded folder holds an installation.
bool FindInstallation();

// files.cpp
bool IsProgramRunning();
bool RemoveProgramFiles();   // false when a file of the installer's is left
void RemoveUninstaller();
void RemoveInstallFolder();

// shortcuts.cpp
bool ShortcutsRemain();
void RemoveShortcuts();

// records.cpp
bool RecordsRemain();
void RemoveRegistryRecords();

// messages.cpp
void ShowMessage(const char *text, UINT type);
bool Ask(const char *question);
bool AskToRemove();
void NoteFailure(const char *item);
void NoteKept(const char *path);
// The closing report: `done`, or `unfinished` when anything could not be
// removed, then what could not and what was kept.
void ShowClosing(const char *done, const char *unfinished);
