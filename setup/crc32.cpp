#include "setup/crc32.h"

// Made at the first call, so it costs the program file nothing.
static uint32_t s_table[256];

static void MakeTable()
{
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t value = byte;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? 0xEDB88320u ^ (value >> 1) : value >> 1;
        s_table[byte] = value;
    }
}

uint32_t Crc32(uint32_t crc, const void *bytes, size_t count)
{
    if (!s_table[1])
        MakeTable();
    const unsigned char *next = static_cast<const unsigned char *>(bytes);
    crc = ~crc;
    for (size_t i = 0; i < count; ++i)
        crc = s_table[(crc ^ next[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
