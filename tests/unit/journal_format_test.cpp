#include "payload/journal_format.h"
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

// The release, as far as these tests need one.
bool IsReleaseFile(const char *name)
{
    return TagOf(name, "Quillmark.exe", "") == 0 || TagOf(name, "Blue.scm", "") == 0;
}

static std::vector<unsigned char> Journal(std::vector<JournalRow> rows)
{
    g_journalRows = int(rows.size());
    std::copy(rows.begin(), rows.end(), g_journal);
    std::vector<unsigned char> bytes(JournalBytes);
    bytes.resize(EncodeJournal(bytes.data(), bytes.size()));
    return bytes;
}

TEST(JournalNames, TagsComeBeforeTheSuffixAndAreReadInAnyCase)
{
    char name[JournalNameSize];
    ASSERT_TRUE(TaggedName("image", ".tmp", 12, name, sizeof name));
    EXPECT_STREQ(name, "image.12.tmp");
    EXPECT_FALSE(TaggedName("tips.txt", ".new", 1, name, 14));     // one short of its NUL
    EXPECT_EQ(TagOf("TIPS.TXT.NEW", "tips.txt", ".new"), 0);
    EXPECT_EQ(TagOf("tips.txt.15.new", "tips.txt", ".new"), 15);
    for (const char *other : {"tips.txt.0.new", "tips.txt.16.new", "tips.txt..new", "atips.txt.new"})
        EXPECT_EQ(TagOf(other, "tips.txt", ".new"), -1) << other;
    // A two-byte letter whose second byte is a capital's is not that letter.
    EXPECT_EQ(TagOf("\x83" "A.new", "\x83" "a", ".new"), -1);
}

TEST(Journal, IsReadBackWholeOrNotAtAll)
{
    std::vector<unsigned char> bytes = Journal({{"Quillmark.exe", "image.1.tmp", "Quillmark.exe.old", NoFile},
                                                {"Blue.scm", "Blue.scm.new", "Blue.scm.2.old", 0x21}});
    g_journalRows = 0;
    ASSERT_EQ(DecodeJournal(bytes.data(), bytes.size()), WholeJournal);
    ASSERT_EQ(g_journalRows, 2);
    EXPECT_EQ(g_journal[0].attributes, NoFile);
    EXPECT_STREQ(g_journal[1].aside, "Blue.scm.2.old");
    EXPECT_EQ(g_journal[1].attributes, 0x21u);
    // Cut short anywhere, even to nothing, or a byte changed: torn.
    for (size_t count = 0; count < bytes.size(); ++count)
        EXPECT_EQ(DecodeJournal(bytes.data(), count), TornJournal) << count;
    bytes[10] ^= 1;
    EXPECT_EQ(DecodeJournal(bytes.data(), bytes.size()), TornJournal);
    const unsigned char notes[] = "my notes";      // the user's, under its name
    EXPECT_EQ(DecodeJournal(notes, sizeof notes), NotAJournal);
}

// Anyone may write a journal into the folder: one names nothing to act on
// but the release's files and copies made from their names.
TEST(Journal, NamesNothingButTheReleasesFilesAndTheirCopies)
{
    std::vector<unsigned char> bytes = Journal({{"notes.txt", "notes.txt.new", "notes.txt.old", 0},
                                                {"Blue.scm", "notes.txt", "Blue.scm.old", 0},
                                                {"Blue.scm", "Blue.scm.new", "..\\..\\windows\\win.ini", 0},
                                                {"Blue.scm", "Blue.scm.new", "Blue.scm.old", 1}});
    ASSERT_EQ(DecodeJournal(bytes.data(), bytes.size()), WholeJournal);
    ASSERT_EQ(g_journalRows, 1);
    EXPECT_EQ(g_journal[0].attributes, 1u);
}
