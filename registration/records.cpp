#include "registration/record_keys.h"
#include "registration/registration.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "setup/registry.h"

static const char DisplayName[] = "Quillmark Version 1.0   (Remove Only)";

bool RegisterAppPath()
{
    bool result = true;
    HKEY appPaths, program;
    if (CreateKey(HKEY_LOCAL_MACHINE, AppPathsKey, ReadWriteAccess, &appPaths) != ERROR_SUCCESS) {
        result = false;
    } else {
        if (CreateKey(appPaths, ProgramFileName, ReadWriteAccess, &program) != ERROR_SUCCESS) {
            result = false;
        } else {
            if (SetStringValue(program, 0, g_programPath) != ERROR_SUCCESS)
                result = false;
            if (SetStringValue(program, FolderValueName, g_installDir) != ERROR_SUCCESS)
                result = false;
            RegCloseKey(program);
        }
        RegCloseKey(appPaths);
    }

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

bool RegisterUninstaller()
{
    HKEY uninstall, product;
    bool result = false;
    // A Windows folder too long to name the uninstaller in gets no entry at
    // all rather than one with an empty command.
    PathBuffer command;
    if (JoinPath(g_windowsDir, UninstallerFileName, command) &&
        CreateKey(HKEY_LOCAL_MACHINE, UninstallKey, ReadWriteAccess, &uninstall) == ERROR_SUCCESS) {
        if (CreateKey(uninstall, ProductName, ReadWriteAccess, &product) == ERROR_SUCCESS) {
            result = SetStringValue(product, DisplayNameValueName, DisplayName) == ERROR_SUCCESS;
            if (SetStringValue(product, UninstallStringValueName, command) != ERROR_SUCCESS)
                result = false;
            RegCloseKey(product);
        }
        RegCloseKey(uninstall);
    }
    if (!result)
        ReportError(UninstallerNotRegistered);
    return result;
}
