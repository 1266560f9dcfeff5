#include "setup/paths.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>

// The host tests read paths as code page 932 (Japanese) does, where a
// letter's second byte may be a backslash's: its lead bytes.  Text of ASCII
// alone reads the same in every code page.
bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Katakana so, fu, to and the kanji hyou in 932: so and hyou end in 0x5C.
#define SOFUTOHYOU "\x83\x5C\x83\x74\x83\x67\x95\x5C"

static std::string Join(const std::string &folder, const std::string &name)
{
    PathBuffer out;
    JoinPath(folder.c_str(), name.c_str(), out);
    return out;
}

TEST(JoinPath, InsertsOneBackslashOnlyWhereNeeded)
{
    EXPECT_EQ(Join("C:\\", "x.exe"), "C:\\x.exe");
    EXPECT_EQ(Join("C:\\Apps", "x.exe"), "C:\\Apps\\x.exe");
    EXPECT_EQ(Join("", "x.exe"), "x.exe");
    EXPECT_EQ(Join("C:", "x.exe"), "C:\\x.exe");
    EXPECT_EQ(Join("C:\\Temp\\", "data.tmp"), "C:\\Temp\\data.tmp");
}

TEST(JoinPath, ALetterEndingInTheByteOfABackslashIsNotOne)
{
    EXPECT_EQ(Join("C:\\" SOFUTOHYOU, "x.exe"), "C:\\" SOFUTOHYOU "\\x.exe");
    EXPECT_EQ(Join("C:\\" SOFUTOHYOU "\\", "x.exe"), "C:\\" SOFUTOHYOU "\\x.exe");
    EXPECT_EQ(Join("C:\\ab\x83", "x.exe"), "C:\\ab\x83\\x.exe");   // a lead byte alone at the end
    PathBuffer path = "C:\\" SOFUTOHYOU;
    DropTrailingBackslash(path);
    EXPECT_STREQ(path, "C:\\" SOFUTOHYOU);
    DropTrailingBackslash(strcat(path, "\\"));
    EXPECT_STREQ(path, "C:\\" SOFUTOHYOU);
}

TEST(JoinPath, FitsExactlyUpToThePathSize)
{
    // folder + '\' + name + NUL == 260 fits; one character more does not.
    std::string name = "Quillmark.exe";
    std::string folder(PathSize - 2 - name.size(), 'f');
    PathBuffer out;
    EXPECT_TRUE(JoinPath(folder.c_str(), name.c_str(), out));
    EXPECT_EQ(std::string(out), folder + "\\" + name);
    folder += 'f';
    EXPECT_FALSE(JoinPath(folder.c_str(), name.c_str(), out));
    EXPECT_STREQ(out, "");
}

TEST(JoinPath, TooLongPartsLeaveTheOutputEmpty)
{
    std::string huge(400, 'a');
    PathBuffer out;
    EXPECT_FALSE(JoinPath(huge.c_str(), "x", out));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(JoinPath("C:\\", huge.c_str(), out));
    EXPECT_STREQ(out, "");
    // A folder of 250 characters and the product's name: 260 with the NUL.
    std::string browsed = "D:\\" + std::string(247, 'b');
    EXPECT_FALSE(JoinPath(browsed.c_str(), "Quillmark", out));
    EXPECT_TRUE(JoinPath(browsed.substr(1).c_str(), "Quillmark", out));
}

TEST(DriveRootOf, IsTheDriveOrTheNetworkShare)
{
    PathBuffer out;
    EXPECT_TRUE(DriveRootOf("C:\\Program Files", out));
    EXPECT_STREQ(out, "C:\\");
    EXPECT_TRUE(DriveRootOf("D:\\Work\\Scripts", out));
    EXPECT_STREQ(out, "D:\\");
    EXPECT_TRUE(DriveRootOf("E:", out));
    EXPECT_STREQ(out, "E:\\");
    EXPECT_TRUE(DriveRootOf("\\\\server\\share", out));
    EXPECT_STREQ(out, "\\\\server\\share\\");
    EXPECT_TRUE(DriveRootOf("\\\\server\\share\\temp\\", out));   // measured as the share
    EXPECT_STREQ(out, "\\\\server\\share\\");
    EXPECT_TRUE(DriveRootOf(SOFUTOHYOU "\\x", out));      // the first backslash that is one
    EXPECT_STREQ(out, SOFUTOHYOU "\\");
}

TEST(DriveRootOf, ANameWithoutBackslashTooLongForARootIsRefused)
{
    PathBuffer out;
    std::string fits(PathSize - 2, 'x'), over(PathSize - 1, 'x');
    EXPECT_TRUE(DriveRootOf(fits.c_str(), out));
    EXPECT_EQ(std::string(out), fits + "\\");
    EXPECT_FALSE(DriveRootOf(over.c_str(), out));
    EXPECT_STREQ(out, "");
}

TEST(CommandProgram, IsThePathWithoutQuotesOrArguments)
{
    const char *const cases[][2] = {
        {" \"C:\\Program Files\\Q\\u.exe\" /S \"x\"", "C:\\Program Files\\Q\\u.exe"},
        {"C:\\Program Files\\Q.exe Files\\u.EXE /S", "C:\\Program Files\\Q.exe"},
        {"C:\\Program Files\\Q.exes\\u.EXE /S", "C:\\Program Files\\Q.exes\\u.EXE"},
        {"\"C:\\unended.exe /S", "C:\\unended.exe /S"},
    };
    PathBuffer out;
    for (const auto &c : cases)
        EXPECT_TRUE(CommandProgram(c[0], out) && std::string(out) == c[1]) << c[0];
    EXPECT_FALSE(CommandProgram(("\"C:\\" + std::string(PathSize, 'x') + "\"").c_str(), out));
}
