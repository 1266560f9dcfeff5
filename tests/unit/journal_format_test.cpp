#include "payload/journal_format.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The release, as far as these tests need one.
bool IsReleaseFile(const char *name)
{
    for (const char *file : {"Quillmark.exe", "tips.txt", "Blue.scm", "qmkuins1.exe"})
        if (TagOf(name, file, "") == 0)
            return true;
    return false;
}

static void SetRow(int row, const char *target, const char *staged, const char *aside, uint32_t attributes)
{
    std::strcpy(g_journal[row].target, target);
    std::strcpy(g_journal[row].staged, staged);
    std::strcpy(g_journal[row].aside, aside);
    g_journal[row].attributes = attributes;
}

static std::vector<unsigned char> Encoded()
{
    std::vector<unsigned char> bytes(JournalBytes);
    bytes.resize(EncodeJournal(bytes.data(), bytes.size()));
    return bytes;
}

TEST(JournalNames, TagsComeBetweenTheNameAndItsSuffixAndAreReadBackInAnyCase)
{
    char name[JournalNameSize];
    ASSERT_TRUE(TaggedName("tips.txt", ".new", 0, name, sizeof name));
    EXPECT_STREQ(name, "tips.txt.new");
    ASSERT_TRUE(TaggedName("image", ".tmp", 12, name, sizeof name));
    EXPECT_STREQ(name, "image.12.tmp");
    EXPECT_FALSE(TaggedName("tips.txt", ".new", 1, name, 13));
    EXPECT_STREQ(name, "");

    EXPECT_EQ(TagOf("TIPS.TXT.NEW", "tips.txt", ".new"), 0);
    EXPECT_EQ(TagOf("tips.txt.15.new", "tips.txt", ".new"), 15);
    for (const char *other : {"tips.txt", "tips.txt.new.old", "tips.txt.0.new", "tips.txt.16.new", "tips.txt.1x.new",
                              "tips.txt..new", "atips.txt.new"})
        EXPECT_EQ(TagOf(other, "tips.txt", ".new"), -1) << other;
    // A two-byte letter whose second byte is a capital's is not that letter.
    EXPECT_EQ(TagOf("\x83" "A.new", "\x83" "a", ".new"), -1);
    EXPECT_EQ(TagOf("\x83" "A.new", "\x83" "A", ".new"), 0);

    const char *base, *suffix;
    StagedNameParts("quillmark.EXE", &base, &suffix);
    EXPECT_EQ(std::string(base) + suffix, "image.tmp");
    StagedNameParts("Blue.scm", &base, &suffix);
    EXPECT_EQ(std::string(base) + suffix, "Blue.scm.new");
}

TEST(Journal, IsReadBackAsWrittenAndOnlyWhole)
{
    g_journalRows = 2;
    SetRow(0, "Quillmark.exe", "image.1.tmp", "Quillmark.exe.old", NoFile);
    SetRow(1, "Blue.scm", "Blue.scm.new", "Blue.scm.2.old", 0x21);
    std::vector<unsigned char> bytes = Encoded();
    ASSERT_FALSE(bytes.empty());
    g_journalRows = 0;
    ASSERT_EQ(DecodeJournal(bytes.data(), bytes.size()), WholeJournal);
    ASSERT_EQ(g_journalRows, 2);
    EXPECT_STREQ(g_journal[0].staged, "image.1.tmp");
    EXPECT_EQ(g_journal[0].attributes, NoFile);
    EXPECT_STREQ(g_journal[1].aside, "Blue.scm.2.old");
    EXPECT_EQ(g_journal[1].attributes, 0x21u);

    // Cut short anywhere, to nothing at all, or a byte changed: torn.
    for (size_t count = 0; count < bytes.size(); ++count)
        EXPECT_EQ(DecodeJournal(bytes.data(), count), TornJournal) << count;
    bytes[10] ^= 1;
    EXPECT_EQ(DecodeJournal(bytes.data(), bytes.size()), TornJournal);
    // A file of the user's under the journal's name.
    const unsigned char text[] = "my notes about the journal";
    EXPECT_EQ(DecodeJournal(text, sizeof text), NotAJournal);

    // More rows than a journal holds do not fit.
    g_journalRows = JournalRows;
    for (int row = 0; row < JournalRows; ++row)
        SetRow(row, std::string(JournalNameSize - 9, 'n').c_str(), std::string(JournalNameSize - 1, 's').c_str(),
               std::string(JournalNameSize - 1, 'a').c_str(), 0);
    std::vector<unsigned char> small(100);
    EXPECT_EQ(EncodeJournal(small.data(), small.size()), 0u);
}

// A journal is a file anyone may write into the folder: it names nothing
// for the programs to act on but files of the release and their own copies.
TEST(Journal, NamesNothingButTheReleasesFilesAndTheirCopies)
{
    g_journalRows = 5;
    SetRow(0, "notes.txt", "notes.txt.new", "notes.txt.old", 0);       // not the release's
    SetRow(1, "tips.txt", "notes.txt", "tips.txt.old", 0);             // not its copy
    SetRow(2, "tips.txt", "tips.txt.new", "..\\..\\windows\\win.ini", 0);
    SetRow(3, "Blue.scm", "Blue.scm.new", "Blue.scm.old", 1);
    SetRow(4, "tips.txt", "tips.txt.new", "C:tips.txt.old", 0);
    std::vector<unsigned char> bytes = Encoded();
    ASSERT_EQ(DecodeJournal(bytes.data(), bytes.size()), WholeJournal);
    ASSERT_EQ(g_journalRows, 1);
    EXPECT_STREQ(g_journal[0].target, "Blue.scm");
}
