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

// Loads LZ32 and VERSION from the system folder (payload/libraries.h).  When
// either cannot be had, box 45 names it and the result is false.
bool LoadPayloadLibraries();

// Whether every carried file is there as the build stored it (size and
// CRC-32), read in place.  At the first that is not, box 42 names its entry
// and the result is false.
bool CarriedFilesIntact();

// Where the staging file "data.tmp" goes: the temporary folder, or the
// install folder when that one cannot be used (g_tempDir empty).
const char *StagingFolder();

// Writes `count` bytes as a new file at `path`, replacing one of that name.
bool WriteBufferToFile(const BYTE *bytes, DWORD count, const char *path);

// Entry `id` as stored, into `folder`\`name`.
bool StagePayload(WORD id, const char *folder, const char *name);

// Entry `id` expanded into `folder`\`name`, by way of "data.tmp" in the
// staging folder, which is deleted again.
bool ExpandPayload(WORD id, const char *folder, const char *name);

// Gives the complete file at `stagedPath` the path `targetPath`.  A file that
// had it is moved aside first (its path with ".old") and put back if the new
// one cannot take it, so it is either replaced or left exactly as it was.
bool PutInPlace(const char *stagedPath, const char *targetPath);

// The expanding install: ExpandPayload under the staging name beside `name`
// (its name with ".new"), then PutInPlace.
bool InstallPayload(WORD id, const char *folder, const char *name);

// The raw install: entry `id` as stored, read-only when asked, by way of a
// staging name beside `name`.
bool WritePayloadFile(WORD id, const char *folder, const char *name, bool readOnly);

// Writes the table's files into g_installDir in order.  At the first that
// cannot be written it shows box 35, naming the file, and returns false; the
// files written before it stay.
bool InstallManifest();

enum PlacementResult { Placed, AlreadyRunning, NewerPresent, PlacementFailed };

// Puts the main program in place, unless a copy there is running or newer.
// Every result but Placed has shown its box.
PlacementResult PlaceMainProgram();

// The version of `path`: high word of the first half, and the second half;
// both 0 without a version resource.
void QueryFileVersion(const char *path, unsigned *major, DWORD *ls);
