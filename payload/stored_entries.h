// The "FILE" entries as the build stored them in setup.exe, each with its
// size and CRC-32: what the installer checks its own carried files against.
#pragma once
#include <stdint.h>
#include "carried_files.h"
#include "stored_sums.h"

inline const unsigned short g_storedNumbers[] = {STORED_ENTRY_NUMBERS};
inline const uint32_t g_storedSizes[] = {STORED_ENTRY_SIZES};
inline const uint32_t g_storedCrcs[] = {STORED_ENTRY_CRCS};

enum { StoredEntryCount = sizeof g_storedNumbers / sizeof g_storedNumbers[0] };
static_assert(StoredEntryCount == CARRIED_ENTRY_COUNT, "every carried file");
