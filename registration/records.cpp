#include "registration/record_keys.h"
#include "registration/registration.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/registry.h"

static const char DisplayName[] = "Quillmark Version 1.0   (Remove Only)";

// The key `entry` under HKEY_LOCAL_MACHINE\`list`, with two text values; false
// when any part of it could not be written (both values are tried).
static bool WriteEntry(const char *list, const char *entry, const char *firstName, const char *first,
                       const char *secondName, const char *second)
{
    HKEY listKey, entryKey;
    bool written = false;
    if (CreateKey(HKEY_LOCAL_MACHINE, list, ReadWriteAccess, &listKey) == ERROR_SUCCESS) {
        if (CreateKey(listKey, entry, ReadWriteAccess, &entryKey) == ERROR_SUCCESS) {
            written = SetStringValue(entryKey, firstName, first) == ERROR_SUCCESS;
            if (SetStringValue(entryKey, secondName, second) != ERROR_SUCCESS)
                written = false;
            RegCloseKey(entryKey);
        }
        RegCloseKey(listKey);
    }
    return written;
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
                             UninstallStringValueName, command);
    if (!result)
        ReportError(UninstallerNotRegistered);
    return result;
}
