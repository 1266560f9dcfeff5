// The CRC the build records with zlib must be the one the programs compute.
#include "setup/crc32.h"

#include <gtest/gtest.h>

TEST(Crc32, GivesZipsCheckValuesWholeOrInPieces)
{
    EXPECT_EQ(Crc32(0, "", 0), 0u);
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(0, "The quick brown fox jumps over the lazy dog", 43), 0x414FA339u);
    EXPECT_EQ(Crc32(Crc32(0, "1234", 4), "56789", 5), 0xCBF43926u);
    const unsigned char high[] = {0x00, 0xFF, 0x80, 0x7F};
    EXPECT_EQ(Crc32(0, high, sizeof high), 0x64E51F17u);
    // Split anywhere: four-byte steps from any address, and the bytes left over.
    const char *fox = "The quick brown fox jumps over the lazy dog";
    for (size_t split = 0; split <= 43; ++split)
        EXPECT_EQ(Crc32(Crc32(0, fox, split), fox + split, 43 - split), 0x414FA339u) << split;
}
