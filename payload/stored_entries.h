// The "FILE" entries as the build stored them in setup.exe, each with its
// size and CRC-32: what the installer checks its own carried files against.
#pragma once
#include <stdint.h>
#include "carried_files.h"
#include "stored_sums.h"

struct StoredEntry {
    unsigned short id;
    uint32_t size;
    uint32_t crc;
};

static const StoredEntry g_storedEntries[] = {STORED_ENTRIES};

static_assert(sizeof g_storedEntries / sizeof g_storedEntries[0] == CARRIED_ENTRY_COUNT,
              "every carried file");
