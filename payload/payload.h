// The files the installer carries in its own resources and how they reach
// the disk.
#pragma once
#include <windows.h>
#include "setup/product.h"

// The bytes of "FILE" entry `id`, valid for the whole run; null when there is
// no such entry or it is empty.
const BYTE *LoadPayload(WORD id, DWORD *size);

// Replaces `path` with `count` bytes (a read-only file included).  False when
// the file cannot be created or not every byte is written.
bool WriteBufferToFile(const BYTE *bytes, DWORD count, const char *path);

bool StagePayload(WORD id, const char *folder, const char *name);

// Copies one file to another through LZ32, expanding an SZDD image.  A target
// that cannot be created gives false and no other file.
bool ExpandFile(const char *sourceFolder, const char *sourceName, const char *targetFolder,
                const char *targetName);

// The expanding install: entry `id` goes to "data.tmp" in the temporary
// folder, then expanded to `folder`\`name`; the staging file is deleted.
bool InstallPayload(WORD id, const char *folder, const char *name);

// The raw install: entry `id` as stored, read-only when asked.
bool WritePayloadFile(WORD id, const char *folder, const char *name, bool readOnly);

// Writes every file of the table into g_installDir; a file that cannot be
// written is skipped.
void InstallManifest();

enum PlacementResult { Placed, AlreadyRunning, NewerPresent, PlacementFailed };

// Puts the main program in place, unless a copy there is running or newer.
// Every result but Placed has shown its box (34 and 37 only when the failing
// call left an error number).
PlacementResult PlaceMainProgram();

// The version of `path`: high word of the first half, and the second half;
// both 0 without a version resource.
void QueryFileVersion(const char *path, unsigned *major, DWORD *ls);
