// The uninstaller: the records it looks for and the functions its run is made of.
// Product names, paths and text come from the installer's own headers.
#pragma once
#include <windows.h>
#include "registration/record_keys.h"
#include "setup/product.h"

// The installation's folder.  Without an installation, the folder the
// installer's records name, if any: what points into it is ours.
extern PathBuffer g_installDir;

// folder.cpp
enum Installation {
    Installed,      // g_installDir holds the program
    NotInstalled,   // nothing of the records names a folder holding it
    Unreachable     // the records name g_installDir, which cannot be reached
};
Installation FindInstallation();
// Whether the uninstall entry is this installation's: it starts this
// uninstaller, or names g_installDir (or, naming no folder, a file that is
// not there at all).
bool UninstallEntryIsOurs();
// Whether the uninstall entry's command starts the file at `path`.
bool UninstallEntryNames(const char *path);
// Whether the App Paths entry names the program in g_installDir.
bool AppPathsEntryIsOurs();
// Whether the remembered folder is g_installDir (or is no folder at all).
bool SettingsPathIsOurs();
// Whether `fullPath` (without a trailing backslash) is a folder the system or
// the user keeps for itself: a drive's root, the Windows, Program Files,
// profile or temporary folder, or another of the shell's special folders.
bool IsKeptFolder(const char *fullPath);
// Whether a setup.exe runs (it holds its mutex while it does).
bool SetupIsRunning();

// files.cpp
bool IsProgramRunning();
// Whether the file at `path` is the program as the installer put it there.
bool IsInstalledProgram(const char *path);
// The files of the installer's in the folder but the program (and what a
// stopped run of the installer left, by its journal); false when one is left.
bool RemoveApplicationFiles();
// The program; false when it is left, or it is not the installer's (changed
// since, or a newer version: then it stays, and says why).  Removed last,
// once nothing else of the installation is left: until then it is the mark
// of the installation, so that the uninstaller can finish later.
bool RemoveProgram();
// This uninstaller, and its copies in the Windows and the install folder.
void RemoveUninstaller();
void RemoveInstallFolder();
// Whether this uninstaller runs from `folder`: g_installDir (the copy the
// installer leaves there when it could not register it), or the Windows folder.
bool RunsFrom(const char *folder);
bool RunsFromWindowsFolder();
// What stopped runs left of the installer's and the uninstaller's own, by
// proof: a setup's journal in the Windows folder, and the uninstaller's
// copies under its temporary names there and in g_installDir.
void ClearStoppedRuns();

// shortcuts.cpp: only shortcuts that start the program in g_installDir.
bool ShortcutsRemain();
bool RemoveShortcuts();     // false when one of them stays

// records.cpp: only records that are the installation's.
bool RecordsRemain();
bool RemoveRegistryRecords();   // false when one of them stays

// messages.cpp
void ShowMessage(const char *text, UINT type);
bool Ask(const char *question);
bool AskToRemove();
void NoteFailure(const char *item);
void NoteKept(const char *path);
// The program file was kept: it is not the installer's.
void NoteProgramKept(const char *path);
// The closing report: `done`, or `unfinished` when anything could not be
// removed, then what could not and what was kept.
void ShowClosing(const char *done, const char *unfinished);
