// The files the installer carries in its own resources and how they reach
// the disk.
#pragma once
#include <windows.h>
#include "setup/product.h"

// Every operation here that fails leaves the reason as the last error, and
// leaves no file it began: a file is written whole or not at all.

// The bytes of "FILE" entry `id`, valid for the whole run; null when there is
// no such entry or it is empty.
const BYTE *LoadPayload(WORD id, DWORD *size);

// Loads VERSION from the system folder (payload/libraries.h).  When it
// cannot be had, box 45 names it and the result is false.
bool LoadPayloadLibraries();

// Whether every carried file is there as the build stored it (size and
// CRC-32), read in place.  At the first that is not, box 42 names its entry
// and the result is false.
bool CarriedFilesIntact();

// Writes the program and the table's files into g_installDir, all or
// nothing.  What a run stopped part-way left is cleared first, and the
// program already there is checked (MayReplaceProgram).  When a file cannot
// be written, the folder is put back as it was, and then box 34 or 37 (the
// program) or 35 (naming the file) says why; the result is false.
bool InstallFiles();

// Entry `id` expanded into `folder`\`name`, all or nothing: a file of that
// name is replaced only by a complete new one, and only when it came out as
// the build made it (the size and CRC-32 recorded for the uninstaller, or for
// the install folder's file of that entry).
bool InstallPayload(WORD id, const char *folder, const char *name);

// Whether the program file already at g_programPath may be replaced: not
// when it is running (box 4) or newer (box 5); one not of version 1 gets
// box 17 and may.
bool MayReplaceProgram();

// The version of `path`: high word of the first half, and the second half;
// both 0 without a version resource.
void QueryFileVersion(const char *path, unsigned *major, DWORD *ls);
