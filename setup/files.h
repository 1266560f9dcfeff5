// Files as both programs see them: whether one is there, whether the program
// is running, the path of one.
#pragma once
#include "setup/product.h"

// JoinPath for a file operation: when the path does not fit, the last error
// says so (ERROR_FILENAME_EXCED_RANGE), as the operation itself would have.
bool PathIn(const char *folder, const char *name, PathBuffer out);

// True when a find-first search for `folder`\`name` finds it, and it is a
// file, not a folder.
bool FileExistsIn(const char *folder, const char *name);

// True when `folder` holds ProgramFileName.
bool ProgramFileExists(const char *folder);

// What opening the program file at `path` for reading, without sharing, says
// of it.  Nothing stays open.
enum ProgramState {
    ProgramPresent,     // it opened: it is there and nobody has it open
    ProgramRunning,     // another process holds it (a sharing violation): it runs
    ProgramNotOpened    // any other failure, normally because there is no such file
};
ProgramState ProbeProgramFile(const char *path);
