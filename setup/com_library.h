// The COM library, for the shell-link object that writes and reads
// shortcuts.  Loaded only while shortcuts are handled, from the system
// folder, never linked.
#pragma once
#include <objbase.h>

struct ComLibrary {
    HMODULE library;
    decltype(&::CoUninitialize) CoUninitialize;
    decltype(&::CoCreateInstance) CoCreateInstance;
};

// The shell link, and its interfaces for ANSI text and for its file.
inline const GUID ShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const GUID ShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline const GUID PersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Loads OLE32.DLL and starts COM on this thread.  False, with nothing left
// loaded, when the library or one of its functions is missing, or when
// CoInitialize gives anything but S_OK (COM already started here: it is not
// ours to end).
bool StartCom(ComLibrary &com);

// Ends COM on this thread and unloads the library.
void EndCom(ComLibrary &com);
