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

// Entry `id` expanded (payload/expand.h) into a new file at `path` (none may
// be there), which it reaches only when it came out as the build made it:
// `size` bytes of CRC-32 `crc` (else ERROR_CRC).
bool ExpandEntry(WORD id, const char *path, uint32_t size, uint32_t crc);
