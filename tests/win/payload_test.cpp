// The payload writers and the main program's placement, on real files.
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "setup/errors.h"
#include "setup/globals.h"
#include "setup/paths.h"
#include "tests/win/check.h"

static const std::string Scratch = "C:\\paytest";

static std::string Expected(const char *name)
{
    return ReadWholeFile(g_payloadFiles + "\\" + name);
}

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
    CHECK(!WritePayloadFile(999, Scratch.c_str(), "raw.bin", false));
    CHECK_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    CHECK(!InstallPayload(999, Scratch.c_str(), "expanded.bin"));
    CHECK_EQ(Listing(Scratch), "");
}

static void RawFilesReplaceReadOnlyOnes()
{
    FreshFolder(Scratch);
    std::string target = Scratch + "\\Blue.scm";
    WriteWholeFile(target, "an older, longer scheme file than the new one");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK(WritePayloadFile(121, Scratch.c_str(), "Blue.scm", true));
    CHECK_EQ(ReadWholeFile(target), Expected("Blue.scm"));
    CHECK(Attributes(target) & FILE_ATTRIBUTE_READONLY);

    CHECK(WritePayloadFile(121, Scratch.c_str(), "Blue.scm", true));   // and again
    CHECK_EQ(ReadWholeFile(target), Expected("Blue.scm"));
    CHECK(Attributes(target) & FILE_ATTRIBUTE_READONLY);

    CHECK(WritePayloadFile(117, Scratch.c_str(), "thes.bin", false));
    CHECK_EQ(ReadWholeFile(Scratch + "\\thes.bin"), Expected("thes.bin"));
    CHECK(!(Attributes(Scratch + "\\thes.bin") & FILE_ATTRIBUTE_READONLY));
}

static void ExpandingInstallsGoThroughTheStagingFile()
{
    FreshFolder(Scratch);
    DeleteFileA(StagingFile().c_str());
    CHECK(InstallPayload(111, Scratch.c_str(), "Sample.scp"));     // an SZDD image
    CHECK(InstallPayload(121, Scratch.c_str(), "copy.scm"));       // stored raw: copied
    CHECK_EQ(ReadWholeFile(Scratch + "\\Sample.scp"), Expected("Sample.scp"));
    CHECK_EQ(ReadWholeFile(Scratch + "\\copy.scm"), Expected("Blue.scm"));
    CHECK(!FileExists(StagingFile()));

    // A target that cannot be created: false, and the staging file is gone.
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

// On a drive without room for it a file is not written at all, and one of
// that name already there stays exactly as it was.  Q: is a drive of 1 MB.
static void AFailedWriteLeavesTheEarlierFileAsItWas()
{
    const std::string folder = "Q:\\paytest", filler = "Q:\\filler";
    FreshFolder(folder);
    ULARGE_INTEGER free;
    GetDiskFreeSpaceExA("Q:\\", &free, 0, 0);
    const ULONGLONG room = 100 * 1024;                  // main.dct and thes.bin need more
    WriteWholeFile(filler, std::string(static_cast<size_t>(free.QuadPart - room), 'f'));

    struct { WORD id; const char *name; bool raw; } cases[] = {{112, "main.dct", false}, {117, "thes.bin", true}};
    for (auto &c : cases) {
        std::string path = folder + "\\" + c.name;
        WriteWholeFile(path, "the earlier file");
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        DWORD attributes = Attributes(path);
        StaleError();
        CHECK(!(c.raw ? WritePayloadFile(c.id, folder.c_str(), c.name, true)
                      : InstallPayload(c.id, folder.c_str(), c.name)));
        CHECK_EQ(GetLastError(), ERROR_DISK_FULL);
        CHECK_EQ(ReadWholeFile(path), "the earlier file");
        CHECK_EQ(Attributes(path), attributes);
    }
    CHECK(!InstallPayload(147, folder.c_str(), "Quillmark.hlp"));
    CHECK_EQ(Listing(folder), "main.dct, thes.bin");
    CHECK(!FileExists(StagingFile()));
    DeleteFileA(filler.c_str());
}

// "data.tmp" still fits after a temporary folder of 251 characters; after
// one of 252 nothing is written and the error says why.
static void ALongTemporaryFolder()
{
    PathBuffer saved;
    lstrcpyA(saved, g_tempDir);
    FreshFolder(Scratch);
    for (size_t length : {251u, 252u}) {
        std::string temp = "C:\\" + std::string(length - 4, 't');
        CreateDirectoryA(temp.c_str(), 0);
        lstrcpyA(g_tempDir, (temp + "\\").c_str());
        StaleError();
        bool written = InstallPayload(111, Scratch.c_str(), "Sample.scp");
        CHECK_EQ(written, length == 251);
        if (!written)
            CHECK_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
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

static void TheManifestWritesEveryFile()
{
    FreshFolder(Scratch);
    lstrcpyA(g_installDir, Scratch.c_str());
    CHECK(InstallManifest());
    CHECK(InstallManifest());                           // over read-only files too
    for (const PayloadEntry &entry : g_manifest) {
        std::string path = Scratch + "\\" + entry.name;
        CHECK_EQ(ReadWholeFile(path), Expected(entry.name));
        bool marked = Attributes(path) & FILE_ATTRIBUTE_READONLY;
        CHECK_EQ(marked, entry.readOnly);
    }
    CHECK(!FileExists(StagingFile()));
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

static void TheMainProgramIsPlacedUnlessNewerOrRunning()
{
    std::string program = Scratch + "\\Quillmark.exe";
    Prepare(0);
    CHECK_EQ(PlaceMainProgram(), Placed);
    CHECK_EQ(ReadWholeFile(program), Expected(ProgramFileName));
    CHECK(!FileExists(Scratch + "\\image.tmp"));

    Prepare("Quillmark-1.2.0.0.exe");
    SetFileAttributesA(g_programPath, FILE_ATTRIBUTE_READONLY);
    CHECK_EQ(PlaceMainProgram(), Placed);
    CHECK_EQ(ReadWholeFile(program), Expected(ProgramFileName));

    for (const char *newer : {"Quillmark-1.0.0.1.exe", "Quillmark-1.0.1.0.exe"}) {
        Prepare(newer);
        std::string before = ReadWholeFile(program);
        CHECK_EQ(PlaceMainProgram(), NewerPresent);
        CHECK_EQ(TakeBoxes(), BoxLine(NewerCopyFound));
        CHECK_EQ(ReadWholeFile(program), before);
        CHECK(!FileExists(Scratch + "\\image.tmp"));
    }

    Prepare("Quillmark-1.2.0.0.exe");
    HANDLE held = CreateFileA(g_programPath, GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    CHECK_EQ(PlaceMainProgram(), AlreadyRunning);
    CHECK_EQ(TakeBoxes(), BoxLine(RunningCopyFound));
    CloseHandle(held);
    CHECK(!FileExists(Scratch + "\\image.tmp"));
    CHECK(!FileExists(StagingFile()));
}

// When the new program cannot take the name (here its image is held open),
// the old one, which was moved aside, is put back as it was.
static void AFailedSwapPutsTheOldProgramBack()
{
    Prepare("Quillmark-1.2.0.0.exe");
    SetFileAttributesA(g_programPath, FILE_ATTRIBUTE_READONLY);
    std::string before = ReadWholeFile(g_programPath);
    DWORD attributes = Attributes(g_programPath);
    std::string image = Scratch + "\\image.tmp";
    WriteWholeFile(image, "the new program");
    HANDLE held = CreateFileA(image.c_str(), GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
    StaleError();
    CHECK(!PutInPlace(image.c_str(), g_programPath));
    CHECK_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(held);
    CHECK_EQ(ReadWholeFile(g_programPath), before);
    CHECK_EQ(Attributes(g_programPath), attributes);
    CHECK_EQ(Listing(Scratch), "Quillmark.exe, image.tmp");  // the image was held: it stays
}

extern const TestCase g_payloadTests[] = {
    {"missing entries write nothing", MissingEntriesWriteNothing},
    {"raw files replace read-only ones", RawFilesReplaceReadOnlyOnes},
    {"expanding installs go through the staging file", ExpandingInstallsGoThroughTheStagingFile},
    {"system texts are shown as they stand", SystemTextsAreShownAsTheyStand},
    {"damaged entries are found", DamagedEntriesAreFound},
    {"the manifest writes every file", TheManifestWritesEveryFile},
    {"versions are read from the file", VersionsAreReadFromTheFile},
    {"a failed write leaves the earlier file as it was", AFailedWriteLeavesTheEarlierFileAsItWas},
    {"a long temporary folder", ALongTemporaryFolder},
    {"the main program is placed unless newer or running", TheMainProgramIsPlacedUnlessNewerOrRunning},
    {"a failed swap puts the old program back", AFailedSwapPutsTheOldProgramBack},
    {0, 0},
};
