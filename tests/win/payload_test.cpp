// The payload writers and the main program's placement, on real files.
#include "payload/manifest_table.h"
#include "payload/payload.h"
#include "setup/globals.h"
#include "setup/messages.h"
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

static void MissingEntriesWriteNothing()
{
    FreshFolder(Scratch);
    DWORD size = 1;
    CHECK(LoadPayload(999, &size) == 0);
    CHECK_EQ(size, 0);
    CHECK(!WritePayloadFile(999, Scratch.c_str(), "raw.bin", false));
    CHECK(!InstallPayload(999, Scratch.c_str(), "expanded.bin"));
    CHECK(!FileExists(Scratch + "\\raw.bin"));
    CHECK(!FileExists(Scratch + "\\expanded.bin"));
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
    CHECK(!InstallPayload(163, Scratch.c_str(), "tips.txt"));
    CloseHandle(held);
    CHECK_EQ(ReadWholeFile(busy), "in use");
    CHECK(!FileExists(Scratch + "\\tips.tx_"));
    CHECK(!FileExists(StagingFile()));
}

static void TheManifestWritesEveryFile()
{
    FreshFolder(Scratch);
    lstrcpyA(g_installDir, Scratch.c_str());
    InstallManifest();
    InstallManifest();                                  // over read-only files too
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

extern const TestCase g_payloadTests[] = {
    {"missing entries write nothing", MissingEntriesWriteNothing},
    {"raw files replace read-only ones", RawFilesReplaceReadOnlyOnes},
    {"expanding installs go through the staging file", ExpandingInstallsGoThroughTheStagingFile},
    {"the manifest writes every file", TheManifestWritesEveryFile},
    {"versions are read from the file", VersionsAreReadFromTheFile},
    {"the main program is placed unless newer or running", TheMainProgramIsPlacedUnlessNewerOrRunning},
    {0, 0},
};
