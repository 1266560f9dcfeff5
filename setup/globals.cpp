#include "setup/globals.h"

HINSTANCE g_instance;
HWND g_backdrop;
PathBuffer g_windowsDir;
PathBuffer g_tempDir;
PathBuffer g_programFilesDir;
PathBuffer g_installDir;
PathBuffer g_programPath;
bool g_existingInstall;
PathBuffer g_browsePath;
