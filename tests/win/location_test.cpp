// The folder rules and the proposal against real folders, drive types and
// registry states.  Drive A: is a floppy and D: a CD-ROM in the test prefix.
#include "location/location.h"
#include "setup/messages.h"
#include "setup/globals.h"
#include "setup/registry.h"
#include "tests/win/check.h"

static const std::string Scratch = "C:\\loctest";

static bool Validate(std::string &path)
{
    PathBuffer buffer;
    lstrcpynA(buffer, path.c_str(), PathSize);
    bool ok = ValidateInstallFolder(buffer, false);
    path = buffer;
    return ok;
}

static std::string CurrentFolder()
{
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

static void GoodFoldersAreTrimmedAndCreated()
{
    FreshFolder(Scratch);
    SetCurrentDirectoryA("C:\\");
    std::string path = "c:\\loctest\\new\\\\";
    CHECK(Validate(path));
    CHECK_EQ(path, "c:\\loctest\\new");
    CHECK(IsFolder(path));
    CHECK_EQ(CurrentFolder(), "C:\\");                // created, not entered

    CHECK(Validate(path));                              // now it exists; silently: not entered
    CHECK_EQ(CurrentFolder(), "C:\\");
    PathBuffer reported = "c:\\loctest\\new";            // in earnest: entered
    CHECK(ValidateInstallFolder(reported, true));
    CHECK(lstrcmpiA(CurrentFolder().c_str(), "C:\\loctest\\new") == 0);

    // A root passes as a root, whatever folder of its drive is current (here
    // a read-only one that an earlier choice entered).
    SetCurrentDirectoryA("C:\\readonly");
    path = "C:\\\\";
    CHECK(Validate(path));
    CHECK_EQ(path, "C:\\");

    path = "C:\\loctest\\Quillmark . .\\";               // Windows drops trailing spaces and dots
    CHECK(Validate(path));
    CHECK_EQ(path, "C:\\loctest\\Quillmark");
    CHECK(IsFolder(path));

    path = "D:\\quillmark";                             // a CD-ROM passes the drive rule
    CHECK(Validate(path));
    SetCurrentDirectoryA("C:\\");
}

static void BadFormsAndRemovableDrivesAreRefusedBeforeAnythingIsMade()
{
    for (const char *bad : {"@:\\x", "[:\\x", "C:x", "", "\\\\server\\share\\x", "loctest\\rel"}) {
        std::string path = bad;
        CHECK(!Validate(path));
    }
    std::string floppy = "A:\\quillmark";
    CHECK(!Validate(floppy));
    CHECK(!FileExists(floppy));
}

static void TheLengthRuleStopsAt227Characters()
{
    FreshFolder(Scratch);
    std::string longest = Scratch + "\\" + std::string(227 - Scratch.size() - 1, 'l');
    CHECK_EQ(longest.size(), 227);
    std::string path = longest;
    CHECK(Validate(path));
    CHECK(IsFolder(longest));

    std::string over = Scratch + "\\" + std::string(228 - Scratch.size() - 1, 'o');
    path = over;
    CHECK(!Validate(path));
    CHECK(!FileExists(over));
    path = over + "\\\\\\";                             // trimmed before it is measured
    CHECK(!Validate(path));
    CHECK_EQ(path, over);
}

static void WhatIsThereDecides()
{
    FreshFolder(Scratch);
    std::string file = Scratch + "\\afile";
    WriteWholeFile(file, "not a folder");
    std::string path = file;
    CHECK(!Validate(path));                             // cannot be entered, cannot be made
    CHECK(!IsFolder(file));

    // Wine keeps no read-only attribute on folders it is asked to set; it
    // reports one for a folder without write permission, which run.sh makes.
    std::string readOnly = "C:\\readonly";
    CHECK_EQ(Attributes(readOnly), (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    path = readOnly;
    CHECK(!Validate(path));

    std::string orphan = Scratch + "\\missing\\sub";
    path = orphan;
    CHECK(!Validate(path));                             // only one level is made
    CHECK(!FileExists(Scratch + "\\missing"));
    SetCurrentDirectoryA("C:\\");
}

// --- the proposal -----------------------------------------------------------

static const char VersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

static void SetProgramFilesDir(const char *value)
{
    WriteRegistryText(HKEY_LOCAL_MACHINE, VersionKey, "ProgramFilesDir", value);
}

static std::string ReadProgramFilesDir()
{
    return ReadRegistryText(HKEY_LOCAL_MACHINE, VersionKey, "ProgramFilesDir");
}

static void ProgramFilesComesFromTheSettingOrTheFirstFixedDrive()
{
    std::string original = ReadProgramFilesDir();
    SetProgramFilesDir("D:\\Programs\\");
    FindProgramFilesFolder();
    CHECK_EQ(g_programFilesDir, "D:\\Programs");

    SetProgramFilesDir("E:");                           // too short to be a folder
    FindProgramFilesFolder();
    CHECK_EQ(g_programFilesDir, "C:\\Program Files"); // A: is a floppy, C: the first fixed

    SetProgramFilesDir(0);
    FindProgramFilesFolder();
    CHECK_EQ(g_programFilesDir, "C:\\Program Files");

    SetProgramFilesDir(original.c_str());
    FindProgramFilesFolder();
    CHECK_EQ(g_programFilesDir, original);
}

static void SetRemembered(const char *value, DWORD size)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Brenlow\\Quillmark\\Settings", 0, 0, 0,
                    KEY_ALL_ACCESS, 0, &key, 0);
    if (value)
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE *>(value), size);
    else
        RegDeleteValueA(key, "Path");
    RegCloseKey(key);
}

static void SetRemembered(const std::string &value)
{
    SetRemembered(value.c_str(), static_cast<DWORD>(value.size() + 1));
}

static std::string Propose(bool *existing)
{
    PathBuffer out;
    *existing = ProposeInstallFolder(out);
    return out;
}

static void TheRememberedFolderIsOfferedAgain()
{
    BuildSettingsKeyPath();
    std::string original = ReadProgramFilesDir();
    SetProgramFilesDir("C:\\Program Files");
    FindProgramFilesFolder();
    FreshFolder(Scratch);
    bool existing;

    std::string installed = Scratch + "\\installed";
    CreateDirectoryA(installed.c_str(), 0);
    WriteWholeFile(installed + "\\Quillmark.exe", "MZ");
    SetRemembered(installed + "\\\\");
    CHECK_EQ(Propose(&existing), installed);          // trimmed by the folder rules
    CHECK(existing);

    std::string empty = Scratch + "\\empty";            // not there yet: made, not marked
    SetRemembered(empty);
    CHECK_EQ(Propose(&existing), empty);
    CHECK(!existing);
    CHECK(IsFolder(empty));

    SetRemembered("Q:\\gone");                          // no such drive
    CHECK_EQ(Propose(&existing), "Q:\\gone");
    CHECK(!existing);

    for (const char *ignored : {":C:\\old", "", static_cast<const char *>(0)}) {
        if (ignored)
            SetRemembered(ignored);
        else
            SetRemembered(0, 0);
        CHECK_EQ(Propose(&existing), "C:\\Program Files\\Quillmark");
        CHECK(!existing);
    }
    WriteRegistryText(HKEY_CURRENT_USER, "Software\\Brenlow\\Quillmark\\Settings", "Path", installed.c_str(),
                      REG_EXPAND_SZ);                   // not text as it stands
    CHECK_EQ(Propose(&existing), "C:\\Program Files\\Quillmark");

    std::string unterminated(PathSize, 'C');             // fills the buffer without a NUL
    SetRemembered(unterminated.c_str(), PathSize);
    CHECK_EQ(Propose(&existing), "C:\\Program Files\\Quillmark");

    SetRemembered(0, 0);
    SetProgramFilesDir(original.c_str());
    SetCurrentDirectoryA("C:\\");
}

static void AVeryLongProgramFilesFolderDoesNotOverrun()
{
    std::string original = ReadProgramFilesDir();
    BuildSettingsKeyPath();
    SetRemembered(0, 0);
    for (size_t length : {249u, 250u, 255u, 259u}) {
        std::string programFiles = "E:\\" + std::string(length - 3, 'p');
        SetProgramFilesDir(programFiles.c_str());
        FindProgramFilesFolder();
        CHECK_EQ(g_programFilesDir, programFiles);
        bool existing;
        std::string proposal = Propose(&existing);
        CHECK_EQ(proposal, length < 250 ? programFiles + "\\Quillmark" : "E:\\Quillmark");
    }
    SetProgramFilesDir(original.c_str());
}

// Box 28 names the drive without room, the install folder's; the temporary
// folder's is not asked, as nothing goes there.  Q: is a drive of 1 MB, C:
// has room.
static void ADriveWithoutRoomIsNamed()
{
    PathBuffer savedTemp;
    lstrcpyA(savedTemp, g_tempDir);
    lstrcpyA(g_tempDir, "C:\\");
    CreateDirectoryA("Q:\\room", 0);
    std::string lead = BoxLine(NotEnoughRoom, "Drive Q:\\ needs ");
    lead.pop_back();                                    // the box's text goes on
    CHECK(!HasRoomFor("Q:\\room"));                   // the files take more than 1 MB
    CHECK_EQ(TakeBoxes().substr(0, lead.size()), lead);

    lstrcpyA(g_tempDir, "Q:\\");
    HANDLE filler = CreateFileA("Q:\\filler", GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    ULARGE_INTEGER free;
    GetDiskFreeSpaceExA("Q:\\", &free, 0, 0);
    std::string bytes(static_cast<size_t>(free.QuadPart - 4096), 'f');
    DWORD written;
    WriteFile(filler, bytes.data(), static_cast<DWORD>(bytes.size()), &written, 0);
    CloseHandle(filler);
    CHECK(HasRoomFor("C:\\loctest"));
    CHECK_EQ(TakeBoxes(), "");
    DeleteFileA("Q:\\filler");
    lstrcpyA(g_tempDir, savedTemp);
}

extern const TestCase g_locationTests[] = {
    {"good folders are trimmed and created", GoodFoldersAreTrimmedAndCreated},
    {"bad forms and removable drives are refused", BadFormsAndRemovableDrivesAreRefusedBeforeAnythingIsMade},
    {"the length rule stops at 227 characters", TheLengthRuleStopsAt227Characters},
    {"what is there decides", WhatIsThereDecides},
    {"Program Files from the setting or the first fixed drive", ProgramFilesComesFromTheSettingOrTheFirstFixedDrive},
    {"the remembered folder is offered again", TheRememberedFolderIsOfferedAgain},
    {"a very long Program Files folder does not overrun", AVeryLongProgramFilesFolderDoesNotOverrun},
    {"a drive without room is named", ADriveWithoutRoomIsNamed},
    {0, 0},
};
