// The file writers beneath the installs of payload/install.cpp.  Each writes
// one complete new file or none, and leaves the reason for a failure as the
// last error.
#pragma once
#include <windows.h>

// Removes a file of ours, read-only or not, keeping the last error.
void Discard(const char *path);

// Entry `id` as stored, into a new file at `path`, read-only when asked.
bool WriteEntry(WORD id, const char *path, bool readOnly);

// Entry `id` expanded through LZ32 into a new file at `path`, by way of the
// staging file "data.tmp" in StagingFolder(), which is deleted again.
bool ExpandEntry(WORD id, const char *path);
