// The payload writers and the main program's placement, on real files.
#include <algorithm>
#include <vector>
#include "payload/journal.h"
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "payload/writers.h"
#include "setup/crc32.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "tests/win/check.h"
#include "tests/win/stop_at.h"

static const std::string Scratch = "C:\\paytest";

static std::string Expected(const char *name)
{
    return ReadWholeFile(g_payloadFiles + "\\" + name);
}

// Where a staging file of expanded entries would be: nothing goes there.
static std::string StagingFile()
{
    return std::string(g_tempDir) + "data.tmp";
}

// Sets an error no failure here gives, so that a failure that leaves the
// last error alone is seen.
static void StaleError()
{
    SetLastError(ERROR_INVALID_FUNCTION);
}

static void MissingEntriesWriteNothing()
{
    FreshFolder(Scratch);
    DWORD size = 1;
    CHECK(LoadPayload(999, &size) == 0);
    CHECK_EQ(size, 0);
    StaleError();
    CHECK(!InstallPayload(999, Scratch.c_str(), "expanded.bin"));
    CHECK_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    CHECK_EQ(Listing(Scratch), "");
}

static void ExpandingInstallsWriteTheirTargetOnly()
{
    FreshFolder(Scratch);
    DeleteFileA(StagingFile().c_str());
    CHECK(InstallPayload(111, Scratch.c_str(), "Sample.scp"));     // an SZDD image
    CHECK(InstallPayload(121, Scratch.c_str(), "copy.scm"));       // stored raw: copied
    CHECK_EQ(ReadWholeFile(Scratch + "\\Sample.scp"), Expected("Sample.scp"));
    CHECK_EQ(ReadWholeFile(Scratch + "\\copy.scm"), Expected("Blue.scm"));
    CHECK(!FileExists(StagingFile()));

    // A target that cannot be created: false.
    CHECK(!InstallPayload(163, (Scratch + "\\no\\such").c_str(), "tips.txt"));
    CHECK(!FileExists(StagingFile()));

    // One that is in use: false, and nothing written under another name.
    std::string busy = Scratch + "\\tips.txt";
    WriteWholeFile(busy, "in use");
    HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    StaleError();
    CHECK(!InstallPayload(163, Scratch.c_str(), "tips.txt"));
    CHECK_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(held);
    CHECK_EQ(ReadWholeFile(busy), "in use");
    CHECK_EQ(Listing(Scratch), "Sample.scp, copy.scm, tips.txt");
    CHECK(!FileExists(StagingFile()));
}

// On a drive without room for them, no file is written and the files there
// stay exactly as they were.  Q: is a drive of 1 MB.
static void AFailedWriteLeavesTheEarlierFilesAsTheyWere()
{
    const std::string folder = "Q:\\paytest", filler = "Q:\\filler";
    FreshFolder(folder);
    for (const char *name : {"main.dct", "thes.bin"}) {
        std::string path = folder + "\\" + name;
        WriteWholeFile(path, "the earlier file");
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    const DWORD attributes = Attributes(folder + "\\main.dct");
    ULARGE_INTEGER free;
    GetDiskFreeSpaceExA("Q:\\", &free, 0, 0);
    const ULONGLONG room = 100 * 1024;                  // main.dct needs more
    WriteWholeFile(filler, std::string(static_cast<size_t>(free.QuadPart - room), 'f'));

    StaleError();
    CHECK(!InstallPayload(112, folder.c_str(), "main.dct"));
    CHECK_EQ(GetLastError(), ERROR_DISK_FULL);
    lstrcpyA(g_installDir, folder.c_str());
    JoinPath(g_installDir, ProgramFileName, g_programPath);
    CHECK(!InstallFiles());
    CHECK_EQ(TakeBoxes().substr(0, 10), "ERROR 35: ");
    for (const char *name : {"main.dct", "thes.bin"}) {
        CHECK_EQ(ReadWholeFile(folder + "\\" + name), "the earlier file");
        CHECK_EQ(Attributes(folder + "\\" + name), attributes);
    }
    CHECK_EQ(Listing(folder), "main.dct, thes.bin");
    CHECK(!FileExists(StagingFile()));
    DeleteFileA(filler.c_str());
}

// The temporary folder's length does not matter: nothing is written there.
static void ALongTemporaryFolder()
{
    PathBuffer saved;
    lstrcpyA(saved, g_tempDir);
    FreshFolder(Scratch);
    for (size_t length : {251u, 252u}) {
        std::string temp = "C:\\" + std::string(length - 4, 't');
        CreateDirectoryA(temp.c_str(), 0);
        lstrcpyA(g_tempDir, (temp + "\\").c_str());
        CHECK(InstallPayload(111, Scratch.c_str(), "Sample.scp"));
        CHECK_EQ(Listing(temp), "");
    }
    CHECK_EQ(Listing(Scratch), "Sample.scp");
    CHECK_EQ(ReadWholeFile(Scratch + "\\Sample.scp"), Expected("Sample.scp"));
    lstrcpyA(g_tempDir, saved);
}

// The system's text is shown as it stands, inserts such as %1 included, with
// the file named on a line of its own; status 0 shows nothing.
static void SystemTextsAreShownAsTheyStand()
{
    ReportSystemError(ERROR_BAD_EXE_FORMAT, FileNotWritten, "C:\\Quillmark\\tips.txt");
    std::string box = TakeBoxes();
    CHECK(box.find("%1") != std::string::npos);
    CHECK_EQ(box.substr(0, 10), "ERROR 35: ");
    CHECK(box.size() > 24 && box.substr(box.size() - 24) == "\r\nC:\\Quillmark\\tips.txt\n");
    ReportSystemError(0, FileNotWritten, "C:\\Quillmark\\tips.txt");
    CHECK_EQ(TakeBoxes(), "");
}

// A carried file changed in memory, as damage in transit would change it: the
// check names its entry.  Every entry is checked, read in place.
static void DamagedEntriesAreFound()
{
    CHECK(CarriedFilesIntact());
    for (WORD id : {WORD(MainProgramEntry), WORD(LicenceEntry)}) {
        DWORD size;
        BYTE *byte = const_cast<BYTE *>(LoadPayload(id, &size)) + size / 2;
        DWORD protection;
        VirtualProtect(byte, 1, PAGE_READWRITE, &protection);
        *byte ^= 0x20;
        CHECK(!CarriedFilesIntact());
        CHECK_EQ(TakeBoxes(), BoxLine(SetupDamaged, "Entry " + std::to_string(id)));
        *byte ^= 0x20;
        VirtualProtect(byte, 1, protection, &protection);
    }
    CHECK(CarriedFilesIntact());
}

static void Prepare(const char *existingProgram)
{
    FreshFolder(Scratch);
    lstrcpyA(g_installDir, Scratch.c_str());
    JoinPath(g_installDir, ProgramFileName, g_programPath);
    if (existingProgram)
        CopyFileA((g_fixtures + "\\" + existingProgram).c_str(), g_programPath, FALSE);
}

static void VersionsAreReadFromTheFile()
{
    struct { const char *file; unsigned major; DWORD ls; } cases[] = {
        {"Quillmark-1.0.0.1.exe", 1, 1}, {"Quillmark-1.0.1.0.exe", 1, 0x10000},
        {"Quillmark-1.2.0.0.exe", 1, 0}, {"Quillmark-2.0.0.0.exe", 2, 0},
        {"Quillmark-noversion.exe", 0, 0},
    };
    for (auto &c : cases) {
        unsigned major = 99;
        DWORD ls = 99;
        QueryFileVersion((g_fixtures + "\\" + c.file).c_str(), &major, &ls);
        CHECK_EQ(major, c.major);
        CHECK_EQ(ls, c.ls);
    }
}

// Every file is written, as built and read-only where marked, over the
// read-only files of an earlier install too; nothing else is left.
static void EveryFileIsWritten()
{
    Prepare(0);
    CHECK(InstallFiles());
    CHECK(InstallFiles());
    CHECK_EQ(ReadWholeFile(g_programPath), Expected(ProgramFileName));
    for (const PayloadEntry &entry : g_manifest) {
        std::string path = Scratch + "\\" + entry.name;
        CHECK_EQ(ReadWholeFile(path), Expected(entry.name));
        bool marked = Attributes(path) & FILE_ATTRIBUTE_READONLY;
        CHECK_EQ(marked, entry.readOnly);
    }
    CHECK(Listing(Scratch).find(".new") == std::string::npos && Listing(Scratch).find(".old") == std::string::npos);
    CHECK(!FileExists(StagingFile()));
}

static void TheMainProgramIsReplacedUnlessNewerOrRunning()
{
    Prepare("Quillmark-1.2.0.0.exe");
    SetFileAttributesA(g_programPath, FILE_ATTRIBUTE_READONLY);
    CHECK(InstallFiles());
    CHECK_EQ(ReadWholeFile(g_programPath), Expected(ProgramFileName));

    for (const char *newer : {"Quillmark-1.0.0.1.exe", "Quillmark-1.0.1.0.exe"}) {
        Prepare(newer);
        std::string before = ReadWholeFile(g_programPath);
        CHECK(!InstallFiles());
        CHECK_EQ(TakeBoxes(), BoxLine(NewerCopyFound));
        CHECK_EQ(ReadWholeFile(g_programPath), before);
        CHECK_EQ(Listing(Scratch), "Quillmark.exe");
    }

    Prepare("Quillmark-1.2.0.0.exe");
    HANDLE held = CreateFileA(g_programPath, GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    CHECK(!InstallFiles());
    CHECK_EQ(TakeBoxes(), BoxLine(RunningCopyFound));
    CloseHandle(held);
    CHECK_EQ(Listing(Scratch), "Quillmark.exe");
    CHECK(!FileExists(StagingFile()));
}

// Files of the user's under names like the installer's staging names: no
// journal lists them, so nothing touches them.
static const char *const UsersFiles[] = {"tips.txt.new", "Blue.scm.old", "image.tmp", "data.tmp",
                                         "Quillmark.exe.new", "tips.txt.1.new"};

static void UsersFilesAre(bool laid)
{
    for (const char *name : UsersFiles)
        laid ? CHECK_EQ(ReadWholeFile(Scratch + "\\" + name), std::string("mine: ") + name)
             : (void)WriteWholeFile(Scratch + "\\" + name, std::string("mine: ") + name);
}

// The release as built, read-only where marked, and the user's files: no
// other name, no journal.
static void CheckInstalledWithUsersFiles()
{
    std::vector<std::string> names(std::begin(UsersFiles), std::end(UsersFiles));
    names.push_back(ProgramFileName);
    CHECK_EQ(ReadWholeFile(g_programPath), Expected(ProgramFileName));
    for (const PayloadEntry &entry : g_manifest) {
        std::string path = Scratch + "\\" + entry.name;
        CHECK_EQ(ReadWholeFile(path), Expected(entry.name));
        CHECK_EQ(bool(Attributes(path) & FILE_ATTRIBUTE_READONLY), entry.readOnly);
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string &name : names)
        listing += (listing.empty() ? "" : ", ") + name;
    CHECK_EQ(Listing(Scratch), listing);
    UsersFilesAre(true);
}

// Not by a refused run (box 5), not by one that installs, which stages
// under the next free names.
static void TheUsersFilesOfStagingNamesStay()
{
    Prepare("Quillmark-1.0.0.1.exe");
    UsersFilesAre(false);
    const std::string before = Listing(Scratch);
    CHECK(!InstallFiles());
    CHECK_EQ(TakeBoxes(), BoxLine(NewerCopyFound));
    CHECK_EQ(Listing(Scratch), before);
    DeleteFileA(g_programPath);
    CHECK(InstallFiles());
    CHECK(InstallFiles());
    CheckInstalledWithUsersFiles();
}

// An older release: the program of 1.2.0.0, and each file of the table with
// text of its own, read-only where the table marks it.
static std::string Older(const char *name)
{
    return std::string("older ") + name;
}

static void LayOlderRelease()
{
    Prepare("Quillmark-1.2.0.0.exe");
    for (const PayloadEntry &entry : g_manifest) {
        WriteWholeFile(Scratch + "\\" + entry.name, Older(entry.name));
        if (entry.readOnly)
            SetFileAttributesA((Scratch + "\\" + entry.name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    UsersFilesAre(false);
}

// The child of the test below: the install, stopped at its `k`-th file
// operation.  Unstopped, it ends with their count, and above it the number
// of the first of the commit phase (the check before the first hard link).
int InstallStoppedAt(int k)
{
    lstrcpyA(g_installDir, Scratch.c_str());
    JoinPath(g_installDir, ProgramFileName, g_programPath);
    StopAtFileOperation(k);
    return InstallFiles() ? FileOperationsSoFar() | (FirstHardLink() - 2) << 12 : 1;
}

static DWORD RunStoppedAt(int k)
{
    char self[MAX_PATH];
    GetModuleFileNameA(0, self, sizeof self);
    std::string command = std::string("\"") + self + "\" \"" + g_payloadFiles + "\" \"" + g_fixtures +
                          "\" --stop-at " + std::to_string(k);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child;
    DWORD code = 1;
    if (CreateProcessA(self, &command[0], 0, 0, FALSE, 0, 0, 0, &startup, &child)) {
        WaitForSingleObject(child.hProcess, INFINITE);
        GetExitCodeProcess(child.hProcess, &code);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    return code;
}

// An install over an older release, stopped before its file operations in
// turn, each in a child process: every name holds the whole of the old
// release's file or the new one's, the user's files stay, and the next
// install is exact.  A 32-bit process takes seconds to start where Wine runs
// through qemu, so every operation of the commit phase (each file taking
// its name, the set-aside files and the journal going) is a stop, and every
// fourth before it.
static void AStopAtAnyMomentIsRecovered()
{
    const std::string older = ReadWholeFile(g_fixtures + "\\Quillmark-1.2.0.0.exe");
    LayOlderRelease();
    const DWORD whole = RunStoppedAt(0);
    const int operations = whole & 0xFFF, committing = whole >> 12, failedBefore = FailedChecks();
    CHECK(operations > 100 && committing > 0 && committing < operations);
    int stops = 0;
    for (int k = 1; k <= operations && FailedChecks() == failedBefore; k += k < committing ? 4 : 1, ++stops) {
        LayOlderRelease();
        CHECK_EQ(RunStoppedAt(k), StoppedExitCode);
        std::string program = ReadWholeFile(g_programPath);
        CHECK(program == older || program == Expected(ProgramFileName));
        for (const PayloadEntry &entry : g_manifest) {
            std::string now = ReadWholeFile(Scratch + "\\" + entry.name);
            if (now != Older(entry.name))
                CHECK_EQ(now, Expected(entry.name));
        }
        UsersFilesAre(true);
        CHECK(InstallFiles());
        CheckInstalledWithUsersFiles();
    }
    std::printf("     %d stops of %d file operations, each from number %d on\n", stops, operations, committing);

    // Into a folder without the release, where the files are written under
    // their names: the recovery leaves all of it or none.
    Prepare(0);
    UsersFilesAre(false);
    const std::string none = Listing(Scratch);
    const int fresh = RunStoppedAt(0) & 0xFFF;
    for (int k = 1; k < fresh && FailedChecks() == failedBefore; k += 5) {
        Prepare(0);
        UsersFilesAre(false);
        CHECK_EQ(RunStoppedAt(k), StoppedExitCode);
        RecoverFolder(Scratch.c_str());
        if (Listing(Scratch) != none)
            CheckInstalledWithUsersFiles();
    }
}

// A folder under the name of a file of the release (the user's drafts in it)
// is a failure of that file: box 35 names it, and it stays as it was.  An
// expanded file that does not come out as the build made it fails too.
static void WhatIsNotTheBuildsFileFails()
{
    Prepare(0);
    const std::string folder = Scratch + "\\Sample.scp";
    CreateDirectoryA(folder.c_str(), 0);
    WriteWholeFile(folder + "\\draft.scp", "FADE IN:");
    CHECK(!InstallFiles());
    std::string box = TakeBoxes();
    CHECK_EQ(box.substr(0, 10), "ERROR 35: ");
    CHECK(box.size() > folder.size() && box.substr(box.size() - folder.size() - 1) == folder + "\n");
    CHECK_EQ(Listing(Scratch), "Sample.scp");
    CHECK_EQ(Listing(folder), "draft.scp");

    const std::string built = Expected("Sample.scp"), target = Scratch + "\\Sample.new";
    uint32_t crc = Crc32(0, built.data(), built.size());
    // Nothing is written of one that comes out otherwise, shorter or longer.
    for (uint32_t size : {uint32_t(built.size()), uint32_t(built.size() - 1), uint32_t(built.size() + 1)}) {
        StaleError();
        CHECK(!ExpandEntry(111, target.c_str(), size, size == built.size() ? crc ^ 1 : crc));
        CHECK_EQ(GetLastError(), ERROR_CRC);
        CHECK(!FileExists(target));
    }
    CHECK(ExpandEntry(111, target.c_str(), built.size(), crc));
    CHECK_EQ(ReadWholeFile(target), built);
}

extern const TestCase g_payloadTests[] = {
    {"missing entries write nothing", MissingEntriesWriteNothing},
    {"expanding installs write their target only", ExpandingInstallsWriteTheirTargetOnly},
    {"system texts are shown as they stand", SystemTextsAreShownAsTheyStand},
    {"damaged entries are found", DamagedEntriesAreFound},
    {"every file is written", EveryFileIsWritten},
    {"versions are read from the file", VersionsAreReadFromTheFile},
    {"a failed write leaves the earlier files as they were", AFailedWriteLeavesTheEarlierFilesAsTheyWere},
    {"a long temporary folder", ALongTemporaryFolder},
    {"the main program is replaced unless newer or running", TheMainProgramIsReplacedUnlessNewerOrRunning},
    {"the user's files of staging names stay", TheUsersFilesOfStagingNamesStay},
    {"what is not the build's file fails", WhatIsNotTheBuildsFileFails},
    {0, 0},
};

// Run on their own (tests/win/run.sh --stops): they take minutes.
extern const TestCase g_stopTests[] = {
    {"a stop at any moment is recovered", AStopAtAnyMomentIsRecovered},
    {0, 0},
};
