// The expansion of the installer's compressed entries: SZDD images ('A'
// method), the format LZ32 expands, decoded as LZ32 decodes them.  No
// platform calls.
//
// An image is 14 bytes of header ("SZDD" 88 F0 27 33, the method, a
// character of the file's name, the expanded length), then groups of a
// control byte, whose bits, lowest first, say literal (1: a byte follows) or
// match (0: two bytes b0 b1 follow, naming ring slot b0 | (b1 & 0xF0) << 4
// and (b1 & 0x0F) + 3 bytes).  The 4096-byte ring starts filled with spaces
// and takes the first byte at slot 0xFF0.  The stream is decoded until the
// input ends, whatever the header's length says; a match cut short at the
// end is dropped.
#pragma once
#include <stdint.h>

// What no expansion gives: an image that would not fit the space given, or
// one of another method.
inline const uint32_t NotExpanded = 0xFFFFFFFF;

// Expands `image` (`size` bytes) into `out`, which holds `capacity` bytes,
// and gives the count expanded.  Bytes without the SZDD signature are copied
// as they are, as LZ32 copies them.
uint32_t ExpandImage(const uint8_t *image, uint32_t size, uint8_t *out, uint32_t capacity);
