// The registry records the installer writes: the App Paths entry, the uninstall
// entry and the remembered folder.  The rest of the user's settings stay.
#include "apps/uninstaller/uninstaller.h"
#include "setup/registry.h"
#include "setup/text.h"

// A record that is already gone counts as removed.
static void CheckRemoved(LONG status, const char *root, const char *key, const char *value)
{
    char record[2 * PathSize];

    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        return;
    CopyText(record, sizeof record, root);
    AppendText(record, sizeof record, key);
    if (value) {
        AppendText(record, sizeof record, ", value ");
        AppendText(record, sizeof record, value);
    }
    NoteFailure(record);
}

static void RemoveFolderValue()
{
    HKEY key;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, g_settingsKeyPath, 0, KEY_SET_VALUE, &key);

    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueA(key, FolderValueName);
        RegCloseKey(key);
    }
    CheckRemoved(status, "HKEY_CURRENT_USER\\", g_settingsKeyPath, FolderValueName);
}

void RemoveRegistryRecords()
{
    CheckRemoved(RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathsEntryKey), "HKEY_LOCAL_MACHINE\\",
                 AppPathsEntryKey, NULL);
    CheckRemoved(RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallEntryKey), "HKEY_LOCAL_MACHINE\\",
                 UninstallEntryKey, NULL);
    RemoveFolderValue();
}

static bool KeyExists(HKEY root, const char *subKey)
{
    HKEY key;

    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RecordsRemain()
{
    HKEY key;
    bool remembered = false;

    if (RegOpenKeyExA(HKEY_CURRENT_USER, g_settingsKeyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        remembered = RegQueryValueExA(key, FolderValueName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    return remembered || KeyExists(HKEY_LOCAL_MACHINE, AppPathsEntryKey) ||
           KeyExists(HKEY_LOCAL_MACHINE, UninstallEntryKey);
}
