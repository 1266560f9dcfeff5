#include "setup/crc32.h"

// Four bytes a step ("slicing by 4"): s_table[k][b] is the CRC of byte b
// followed by k zero bytes.  Made at the first call, so it costs the program
// file nothing.
static uint32_t s_table[4][256];

static void MakeTable()
{
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t value = byte;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? 0xEDB88320u ^ (value >> 1) : value >> 1;
        s_table[0][byte] = value;
    }
    for (int k = 1; k < 4; ++k)
        for (int byte = 0; byte < 256; ++byte)
            s_table[k][byte] = (s_table[k - 1][byte] >> 8) ^ s_table[0][s_table[k - 1][byte] & 0xFF];
}

uint32_t Crc32(uint32_t crc, const void *bytes, size_t count)
{
    if (!s_table[0][1])
        MakeTable();
    const unsigned char *next = static_cast<const unsigned char *>(bytes);
    crc = ~crc;
    for (; count >= 4; count -= 4, next += 4) {
        crc ^= next[0] | next[1] << 8 | next[2] << 16 | static_cast<uint32_t>(next[3]) << 24;
        crc = s_table[3][crc & 0xFF] ^ s_table[2][(crc >> 8) & 0xFF] ^ s_table[1][(crc >> 16) & 0xFF] ^
              s_table[0][crc >> 24];
    }
    for (; count; --count)
        crc = s_table[0][(crc ^ *next++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
