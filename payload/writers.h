// The file writers beneath the installs of payload/install.cpp.  Each writes
// one complete new file or none, and leaves the reason for a failure as the
// last error.
#pragma once
#include <windows.h>
#include <stdint.h>

// Removes a file of ours, read-only or not, keeping the last error.
void Discard(const char *path);

// Entry `id` as stored, into a new file at `path` (none may be there),
// read-only when asked.
bool WriteEntry(WORD id, const char *path, bool readOnly);

// Entry `id` expanded through LZ32 into a new file at `path` (none may be
// there), by way of the staging file "data.tmp" (or the first free name
// after it: data.1.tmp ...) in StagingFolder(), which goes at EndStaging().  The new
// file must come out as the build made it: `size` bytes of CRC-32 `crc`
// (else ERROR_CRC).  `stagingFailed` tells whether a failure was the staging
// file's rather than the new file's.
bool ExpandEntry(WORD id, const char *path, uint32_t size, uint32_t crc, bool &stagingFailed);

// The path of the staging file of the last expansion.
const char *StagingPath();

// Closes the staging file, which the system then deletes.
void EndStaging();
