// Shortcuts through the real shell-link object.
#include "registration/registration.h"
#include "setup/globals.h"
#include "tests/win/check.h"
#include <shlobj.h>

static std::string SpecialFolder(int folder)
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(0, path, folder, FALSE);
    return path;
}

static std::string StartMenuLink() { return SpecialFolder(CSIDL_STARTMENU) + "\\Quillmark.lnk"; }
static std::string DesktopLink() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Quillmark.lnk"; }

static void Prepare()
{
    lstrcpyA(g_installDir, "C:\\linktest");
    lstrcpyA(g_programPath, "C:\\linktest\\Quillmark.exe");
    CreateDirectoryA(g_installDir, 0);
    DeleteFileA(StartMenuLink().c_str());
    DeleteFileA(DesktopLink().c_str());
}

// What a shortcut file says, read back through the shell.
struct LinkContents {
    std::string target, workingDir, description, iconFile;
    int iconIndex = -1;
};

static LinkContents ReadLink(const std::string &path)
{
    LinkContents contents;
    IShellLinkA *link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, 0, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void **>(&link))))
        return contents;
    IPersistFile *file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[MAX_PATH];
            if (SUCCEEDED(link->GetPath(text, MAX_PATH, 0, 0)))
                contents.target = text;
            if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH)))
                contents.workingDir = text;
            if (SUCCEEDED(link->GetDescription(text, MAX_PATH)))
                contents.description = text;
            if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &contents.iconIndex)))
                contents.iconFile = text;
        }
        file->Release();
    }
    link->Release();
    return contents;
}

static void BothShortcutsPointAtTheProgram()
{
    Prepare();
    CreateShortcuts();
    CoInitialize(0);
    for (const std::string &path : {StartMenuLink(), DesktopLink()}) {
        CHECK(FileExists(path));
        LinkContents link = ReadLink(path);
        CHECK(lstrcmpiA(link.target.c_str(), "C:\\linktest\\Quillmark.exe") == 0);
        CHECK_EQ(link.workingDir, "C:\\linktest");
        CHECK_EQ(link.description, "Shortcut to Quillmark");
        CHECK(lstrcmpiA(link.iconFile.c_str(), "C:\\linktest\\Quillmark.exe") == 0);
        CHECK_EQ(link.iconIndex, 0);
    }
    CoUninitialize();
}

static void NoShortcutsWhenComIsAlreadyInitialised()
{
    Prepare();
    CHECK_EQ(CoInitialize(0), S_OK);
    CreateShortcuts();                                  // its CoInitialize gets S_FALSE
    // It leaves without uninitialising: that count and ours are balanced here.
    CoUninitialize();
    CoUninitialize();
    CHECK(!FileExists(StartMenuLink()));
    CHECK(!FileExists(DesktopLink()));
}

static const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

static void SetStartMenuFolder(const std::string &folder)
{
    WriteRegistryText(HKEY_CURRENT_USER, ShellFolders, "Start Menu", folder.c_str(), REG_EXPAND_SZ);
}

static std::string StartMenuSetting()
{
    return ReadRegistryText(HKEY_CURRENT_USER, ShellFolders, "Start Menu");
}

static void AFolderTooLongForTheNameLosesOnlyItsShortcut()
{
    std::string original = StartMenuSetting();
    // 247 characters: '\Quillmark.lnk' would take the path to 261.
    std::string outer = "C:\\" + std::string(120, 's');
    std::string folder = outer + "\\" + std::string(247 - outer.size() - 1, 'm');
    CreateDirectoryA(outer.c_str(), 0);
    CreateDirectoryA(folder.c_str(), 0);
    SetStartMenuFolder(folder);
    Prepare();
    bool redirected = SpecialFolder(CSIDL_STARTMENU) == folder;
    CHECK(redirected);
    if (redirected) {
        CreateShortcuts();
        CHECK(FileExists(DesktopLink()));
        CHECK(!FileExists(folder + "\\Quillmark.lnk"));
        CHECK(!FileExists((folder + "\\Quillmark.lnk").substr(0, MAX_PATH - 1)));
    }
    SetStartMenuFolder(original);
}

extern const TestCase g_shortcutTests[] = {
    {"both shortcuts point at the program", BothShortcutsPointAtTheProgram},
    {"no shortcuts when COM is already initialised", NoShortcutsWhenComIsAlreadyInitialised},
    {"a folder too long for the name loses only its shortcut", AFolderTooLongForTheNameLosesOnlyItsShortcut},
    {0, 0},
};
