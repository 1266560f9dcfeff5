// A stop at a chosen moment, as a killed task or a crash makes one: from the
// call of this on, the program's own calls of the file operations below are
// counted, and the `k`-th ends the process (TerminateProcess, exit code
// StoppedExitCode) before it is made.  The calls go through the program's
// import table, which is patched (CreateHardLinkA, looked up at run time,
// through GetProcAddress).  Needs no C runtime.
#pragma once

enum : unsigned { StoppedExitCode = 0x5709 };
void StopAtFileOperation(int k);
// How many were made so far, and the number of the first CreateHardLinkA (0 for none).
int FileOperationsSoFar();
int FirstHardLink();
