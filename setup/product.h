// What the installer is built for: the product's names and fixed texts.
#pragma once
#include "carried_files.h"

enum { PathSize = 260 };                    // the platform's MAX_PATH
typedef char PathBuffer[PathSize];

#define PRODUCT_NAME "Quillmark"
#define PRODUCT_VERSION "1.0"
#define MAKER_NAME "Brenlow"

inline const char ProductName[] = PRODUCT_NAME;
inline const char ProgramFileName[] = MAIN_PROGRAM_NAME;
inline const char DefaultSubfolder[] = "\\" PRODUCT_NAME;
inline const char UninstallerFileName[] = UNINSTALLER_NAME;

inline const char MakerKeyPrefix[] = "Software\\" MAKER_NAME "\\";

// Held by a running setup.exe, for as long as it runs.
inline const char SetupMutexName[] = "Brenlow " PRODUCT_NAME " Setup";
inline const char SettingsKeySuffix[] = "\\Settings";
