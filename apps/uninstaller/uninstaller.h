// The uninstaller: the records it looks for and the functions its run is made of.
// Product names, paths and text come from the installer's own headers.
#pragma once
#include <windows.h>
#include "registration/record_keys.h"
#include "setup/product.h"

// The install folder, as the registry records it (folder.cpp).
extern PathBuffer g_installDir;

// folder.cpp
bool FindInstallFolder();

// files.cpp
bool IsProgramInstalled();
bool IsProgramRunning();
bool RemoveFileIn(const char *folder, const char *name);
void RemoveProgramFiles();
void RemoveUninstaller();
void RemoveInstallFolder();

// shortcuts.cpp
void RemoveShortcuts();

// records.cpp
void RemoveRegistryRecords();

// messages.cpp
void ShowMessage(const char *text, UINT type);
bool AskToRemove();
void NoteFailure(const char *item);
void ReportFailures();
