#include "payload/installed_files.h"
#include "registration/record_keys.h"
#include "registration/registration.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/registry.h"
#include "setup/text.h"
#include "stored_sums.h"

static const char DisplayName[] = PRODUCT_NAME " Version " PRODUCT_VERSION "   (Remove Only)";

// The key `entry` under HKEY_LOCAL_MACHINE\`list`, with two text values, and
// what `more` writes there besides; false when any part of the first could
// not be written (both values are tried).
static bool WriteEntry(const char *list, const char *entry, const char *firstName, const char *first,
                       const char *secondName, const char *second, void (*more)(HKEY) = 0)
{
    HKEY listKey, entryKey;
    bool written = false;
    if (CreateKey(HKEY_LOCAL_MACHINE, list, ReadWriteAccess, &listKey) == ERROR_SUCCESS) {
        if (CreateKey(listKey, entry, ReadWriteAccess, &entryKey) == ERROR_SUCCESS) {
            written = SetStringValue(entryKey, firstName, first) == ERROR_SUCCESS;
            if (SetStringValue(entryKey, secondName, second) != ERROR_SUCCESS)
                written = false;
            if (more)
                more(entryKey);
            RegCloseKey(entryKey);
        }
        RegCloseKey(listKey);
    }
    return written;
}

// What Windows' own list of programs shows besides the name: who made it,
// its version and icon, where it is and the room it takes (in KB), and that
// it can only be removed.  The uninstaller finds the folder here first.  A
// failure to write these is silent.
static void DescribeEntry(HKEY entry)
{
    PathBuffer icon;
    DWORD bytes = UNINSTALLER_SIZE;
    for (DWORD size : g_installedSizes)
        bytes += size;
    SetStringValue(entry, "Publisher", MAKER_NAME);
    SetStringValue(entry, "DisplayVersion", PRODUCT_VERSION);
    if (CopyText(icon, PathSize, g_programPath) && AppendText(icon, PathSize, ",0"))
        SetStringValue(entry, "DisplayIcon", icon);
    SetStringValue(entry, InstallLocationValueName, g_installDir);
    SetNumberValue(entry, "EstimatedSize", bytes / 1024 + (bytes % 1024 != 0));
    SetNumberValue(entry, "NoModify", 1);
    SetNumberValue(entry, "NoRepair", 1);
}

bool RegisterAppPath()
{
    bool result = WriteEntry(AppPathsKey, ProgramFileName, 0, g_programPath, FolderValueName, g_installDir);
    HKEY settings;
    LONG status = OpenSettingsKey(&settings);
    if (status != ERROR_SUCCESS) {
        result = false;
        ReportSystemError(status, FolderNotRemembered);
    } else {
        SetStringValue(settings, FolderValueName, g_installDir);
        RegCloseKey(settings);
    }
    if (!result)
        ReportError(RegistryNotWritten);
    return result;
}

bool RegisterUninstaller(const char *folder)
{
    // A folder too long to name the uninstaller in gets no entry at all
    // rather than one with an empty command.
    PathBuffer command;
    bool result = JoinPath(folder, UninstallerFileName, command) &&
                  WriteEntry(UninstallKey, ProductName, DisplayNameValueName, DisplayName,
                             UninstallStringValueName, command, DescribeEntry);
    if (!result)
        ReportError(UninstallerNotRegistered);
    return result;
}
