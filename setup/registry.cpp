#include "setup/registry.h"
#include "setup/text.h"

PathBuffer g_settingsKeyPath;

void BuildSettingsKeyPath()
{
    CopyText(g_settingsKeyPath, PathSize, MakerKeyPrefix);
    AppendText(g_settingsKeyPath, PathSize, ProductName);
    AppendText(g_settingsKeyPath, PathSize, SettingsKeySuffix);
}

LONG CreateKey(HKEY root, const char *subKey, REGSAM access, HKEY *key)
{
    static char noClass[] = "";
    DWORD disposition;
    return RegCreateKeyExA(root, subKey, 0, noClass, REG_OPTION_NON_VOLATILE, access, 0, key,
                           &disposition);
}

LONG OpenSettingsKey(HKEY *key)
{
    return CreateKey(HKEY_CURRENT_USER, g_settingsKeyPath, ReadWriteAccess, key);
}

LONG QueryStringValue(HKEY key, const char *name, char *buffer, DWORD size)
{
    DWORD count = size, type;
    LONG status = RegQueryValueExA(key, name, 0, &type, reinterpret_cast<BYTE *>(buffer), &count);
    if (status == ERROR_SUCCESS && type != REG_SZ)
        status = ERROR_INVALID_DATATYPE;
    if (status == ERROR_SUCCESS) {
        // Stored data need not end in a NUL.
        if (count > 0 && buffer[count - 1] == 0)
            return status;
        if (count < size) {
            buffer[count] = 0;
            return status;
        }
        status = ERROR_MORE_DATA;
    }
    if (size > 0)
        buffer[0] = 0;
    return status;
}

LONG SetNumberValue(HKEY key, const char *name, DWORD number)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof number);
}

LONG SetStringValue(HKEY key, const char *name, const char *text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                          static_cast<DWORD>(TextLength(text) + 1));
}
