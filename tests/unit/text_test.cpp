#include "setup/text.h"
#include <gtest/gtest.h>
#include <string>

TEST(CopyText, CopiesWhatFitsAndRefusesWhatDoesNot)
{
    char out[8];
    EXPECT_TRUE(CopyText(out, sizeof out, "1234567"));   // 7 characters and the NUL
    EXPECT_STREQ(out, "1234567");
    EXPECT_FALSE(CopyText(out, sizeof out, "12345678"));
    EXPECT_STREQ(out, "");
    EXPECT_TRUE(CopyText(out, sizeof out, ""));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(CopyText(out, 0, "x"));
}

TEST(AppendText, KeepsTheOldTextWhenTheTailDoesNotFit)
{
    char out[8] = "abc";
    EXPECT_TRUE(AppendText(out, sizeof out, "defg"));
    EXPECT_STREQ(out, "abcdefg");
    EXPECT_FALSE(AppendText(out, sizeof out, "h"));
    EXPECT_STREQ(out, "abcdefg");
}

TEST(AppendText, RefusesABufferWithoutTerminator)
{
    char out[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(AppendText(out, sizeof out, ""));
    EXPECT_EQ(std::string(out, 4), "abcd");
}

TEST(AppendText, NeverWritesPastTheBuffer)
{
    // Every split of every length around the limit, in a buffer with guards.
    for (size_t size = 1; size <= 6; ++size) {
        for (size_t head = 0; head < size; ++head) {
            for (size_t tail = 0; tail <= 8; ++tail) {
                char memory[16];
                for (char &c : memory)
                    c = '#';
                char *out = memory + 4;
                std::string headText(head, 'h'), tailText(tail, 't');
                ASSERT_TRUE(CopyText(out, size, headText.c_str()));
                bool fits = head + tail < size;
                EXPECT_EQ(AppendText(out, size, tailText.c_str()), fits);
                EXPECT_EQ(std::string(out), fits ? headText + tailText : headText);
                for (size_t i = 0; i < 4; ++i)
                    EXPECT_EQ(memory[i], '#');
                for (size_t i = 4 + size; i < sizeof memory; ++i)
                    EXPECT_EQ(memory[i], '#') << "size " << size << " head " << head << " tail " << tail;
            }
        }
    }
}
