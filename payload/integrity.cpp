#include "payload/payload.h"
#include "payload/stored_entries.h"
#include "setup/crc32.h"
#include "setup/errors.h"

bool CarriedFilesIntact()
{
    for (int entry = 0; entry < StoredEntryCount; ++entry) {
        DWORD size;
        const BYTE *bytes = LoadPayload(g_storedNumbers[entry], &size);
        if (!bytes || size != g_storedSizes[entry] || Crc32(0, bytes, size) != g_storedCrcs[entry]) {
            char detail[16];                // "Entry 65535" at the most
            wsprintfA(detail, "Entry %u", g_storedNumbers[entry]);
            ReportError(SetupDamaged, detail);
            return false;
        }
    }
    return true;
}
