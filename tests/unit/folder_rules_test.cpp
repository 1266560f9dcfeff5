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
    };
    for (auto &c : cases) {
        PathBuffer path;
        strcpy(path, c.before);
        TrimTrailingBackslashes(path);
        EXPECT_STREQ(path, c.after) << c.before;
    }
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
