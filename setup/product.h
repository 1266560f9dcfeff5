// What the installer is built for: the product's names and fixed texts.
#pragma once

enum { PathSize = 260 };                    // the platform's MAX_PATH
typedef char PathBuffer[PathSize];

static const char ProductName[] = "Quillmark";
static const char ProgramFileName[] = "Quillmark.exe";
static const char DefaultSubfolder[] = "\\Quillmark";
static const char UninstallerFileName[] = "qmkuins1.exe";

static const char MakerKeyPrefix[] = "Software\\Brenlow\\";
static const char SettingsKeySuffix[] = "\\Settings";
