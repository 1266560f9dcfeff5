#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"

bool InstallManifest()
{
    for (const PayloadEntry &entry : g_manifest) {
        bool written = entry.method == Expand
                           ? InstallPayload(entry.id, g_installDir, entry.name)
                           : WritePayloadFile(entry.id, g_installDir, entry.name, entry.readOnly);
        if (!written) {
            DWORD error = GetLastError();
            PathBuffer path;
            JoinPath(g_installDir, entry.name, path);
            ReportSystemError(error, FileNotWritten, path);
            return false;
        }
    }
    return true;
}
