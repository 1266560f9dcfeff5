#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "setup/globals.h"

void InstallManifest()
{
    for (const PayloadEntry &entry : g_manifest) {
        if (entry.method == Expand)
            InstallPayload(entry.id, g_installDir, entry.name);
        else
            WritePayloadFile(entry.id, g_installDir, entry.name, entry.readOnly);
    }
}
