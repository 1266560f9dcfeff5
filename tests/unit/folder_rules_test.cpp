#include "location/folder_rules.h"
#include "setup/product.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>

TEST(HasDriveForm, AcceptsOnlyALetterColonBackslash)
{
    for (const char *good : {"C:\\", "c:\\program files\\quillmark\\", "Z:\\x", "a:\\"})
        EXPECT_TRUE(HasDriveForm(good)) << good;
    for (const char *bad : {"@:\\x", "[:\\x", "`:\\x", "{:\\x", "C:x", "C:", "C", "", "\\\\server\\share",
                            "relative\\path", "1:\\x", "C;\\x", "C:/x"})
        EXPECT_FALSE(HasDriveForm(bad)) << bad;
}

TEST(TrimTrailingBackslashes, RemovesEveryTrailingBackslash)
{
    struct { const char *before, *after; } cases[] = {
        {"D:\\Apps\\\\", "D:\\Apps"}, {"D:\\", "D:"}, {"D:\\Apps", "D:\\Apps"},
        {"c:\\program files\\quillmark\\", "c:\\program files\\quillmark"}, {"\\\\\\", ""}, {"", ""},
        // In code page 932 (tests/unit/paths_test.cpp) so and hyou end in 0x5C.
        {"C:\\\x83\x5C\x95\x5C", "C:\\\x83\x5C\x95\x5C"}, {"C:\\\x95\x5C\\\\", "C:\\\x95\x5C"},
        {"C:\\a\x83", "C:\\a\x83"},
    };
    for (auto &c : cases) {
        PathBuffer path;
        strcpy(path, c.before);
        TrimTrailingBackslashes(path);
        EXPECT_STREQ(path, c.after) << c.before;
    }
}

TEST(CanNameFiles, RefusesWhatNoFileNameHolds)
{
    // Letters the code page cannot spell come as '?'; po (83 7C) ends in '|'.
    for (const char *good : {"C:\\Program Files\\Quillmark", "C:\\\x83\x7C\x95\x5C", "C:", ""})
        EXPECT_TRUE(CanNameFiles(good)) << good;
    for (const char *bad : {"C:\\Users\\S??????\\Temp\\", "C:\\a*", "C:\\a|b", "C:\\a:b", "C:\\a\tb", "C:\\\"x\""})
        EXPECT_FALSE(CanNameFiles(bad)) << bad;
}

TEST(FolderLengthFits, TheLongestFolderIs227Characters)
{
    std::string folder = "C:\\" + std::string(224, 'q');
    ASSERT_EQ(folder.size(), 227u);
    EXPECT_TRUE(FolderLengthFits(folder.c_str()));
    folder += 'q';
    EXPECT_FALSE(FolderLengthFits(folder.c_str()));
    EXPECT_TRUE(FolderLengthFits("C:"));
}
