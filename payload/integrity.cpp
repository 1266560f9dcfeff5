#include "payload/payload.h"
#include "payload/stored_entries.h"
#include "setup/crc32.h"
#include "setup/errors.h"
#include "setup/text.h"

bool CarriedFilesIntact()
{
    for (const StoredEntry &entry : g_storedEntries) {
        DWORD size;
        const BYTE *bytes = LoadPayload(entry.id, &size);
        if (!bytes || size != entry.size || Crc32(0, bytes, size) != entry.crc) {
            char detail[16] = "Entry ";
            AppendNumber(detail, sizeof detail, entry.id);
            ReportError(SetupDamaged, detail);
            return false;
        }
    }
    return true;
}
