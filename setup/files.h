// Files as both programs see them: whether one is there, whether the program
// is running, the path of one.
#pragma once
#include "setup/product.h"

// Whether the system will delete or replace `path` at the next restart (a
// change queued with MOVEFILE_DELAY_UNTIL_REBOOT names it): a file written
// there now would be lost then.
bool ChangesAtRestart(const char *path);

// JoinPath for a file operation: when the path does not fit, the last error
// says so (ERROR_FILENAME_EXCED_RANGE), as the operation itself would have.
bool PathIn(const char *folder, const char *name, PathBuffer out);

// Deletes the file at `path`, read-only or not.  True when it is gone (one
// that was not there counts); one that stays keeps the attributes it had.
bool RemoveFile(const char *path);

// True when a find-first search for `folder`\`name` finds it, and it is a
// file, not a folder.
bool FileExistsIn(const char *folder, const char *name);

// True when `folder` holds ProgramFileName.
bool ProgramFileExists(const char *folder);

// What the program file at `path` is.  A running program holds no handle of
// its file open: the system has mapped it, which allows reading it and even
// renaming it, but not writing it.  So the file is opened for writing, with
// no sharing, and left as it was (a read-only one is opened with its
// attribute cleared for the moment, and gets it back).  Nothing stays open.
enum ProgramState {
    ProgramAbsent,      // no such file (or a folder of that name: no program)
    ProgramPresent,     // there, and neither running nor held
    ProgramRunning      // running, or held open by another process
};
ProgramState ProbeProgramFile(const char *path);
