// State the setup sequence fills in its start-up phases and every later phase
// reads.  One thread, alive for the whole run.
#pragma once
#include <windows.h>
#include "setup/product.h"

extern HINSTANCE g_instance;
extern HWND g_backdrop;             // owner of the dialogs, or null
extern PathBuffer g_windowsDir;     // no trailing backslash; empty if unknown
extern PathBuffer g_tempDir;        // as the system gives it, or a drive root
extern PathBuffer g_programFilesDir;// no trailing backslash
extern PathBuffer g_installDir;     // the folder chosen and validated
extern PathBuffer g_programPath;    // g_installDir + ProgramFileName
extern bool g_existingInstall;      // the remembered folder holds the program
extern PathBuffer g_browsePath;     // the folder browser's last answer
