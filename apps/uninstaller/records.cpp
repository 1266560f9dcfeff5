// The registry records the installer writes: the App Paths entry, the uninstall
// entry and the remembered folder.  The rest of the user's settings stay, and
// so do records that name another program or another installation.
#include "apps/uninstaller/uninstaller.h"
#include "setup/registry.h"
#include "setup/text.h"

// A record that is already gone counts as removed; one that is not is noted
// for the closing report.  True when it is gone.
static bool CheckRemoved(LONG status, const char *root, const char *key, const char *value)
{
    char record[2 * PathSize];

    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        return true;
    CopyText(record, sizeof record, root);
    AppendText(record, sizeof record, key);
    if (value) {
        AppendText(record, sizeof record, ", value ");
        AppendText(record, sizeof record, value);
    }
    NoteFailure(record);
    return false;
}

static LONG DeleteValue(HKEY root, const char *key, const char *name)
{
    HKEY opened;
    LONG status = RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &opened);

    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueA(opened, name);
        RegCloseKey(opened);
    }
    return status;
}

// The App Paths entry, only when it names the program of this installation.
// A key that something else put a subkey into stays, with that subkey, and
// without the installer's values.
static bool RemoveAppPathsEntry()
{
    if (!AppPathsEntryIsOurs() || RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathsEntryKey) == ERROR_SUCCESS)
        return true;
    bool gone = CheckRemoved(DeleteValue(HKEY_LOCAL_MACHINE, AppPathsEntryKey, NULL), "HKEY_LOCAL_MACHINE\\",
                             AppPathsEntryKey, "(default)");
    return CheckRemoved(DeleteValue(HKEY_LOCAL_MACHINE, AppPathsEntryKey, FolderValueName), "HKEY_LOCAL_MACHINE\\",
                        AppPathsEntryKey, FolderValueName) &&
           gone;
}

// The uninstall entry goes last, and only when every other record went:
// while it is there, the uninstaller can be run again to finish.
bool RemoveRegistryRecords()
{
    bool gone = RemoveAppPathsEntry();

    if (SettingsPathIsOurs())
        gone &= CheckRemoved(DeleteValue(HKEY_CURRENT_USER, g_settingsKeyPath, FolderValueName),
                             "HKEY_CURRENT_USER\\", g_settingsKeyPath, FolderValueName);
    if (gone && UninstallEntryIsOurs())
        gone = CheckRemoved(RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallEntryKey), "HKEY_LOCAL_MACHINE\\",
                            UninstallEntryKey, NULL);
    return gone;
}

bool RecordsRemain()
{
    HKEY key;
    bool remembered = false;

    if (RegOpenKeyExA(HKEY_CURRENT_USER, g_settingsKeyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        remembered = RegQueryValueExA(key, FolderValueName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    return (remembered && SettingsPathIsOurs()) || AppPathsEntryIsOurs() || UninstallEntryIsOurs();
}
