// CRC-32 as zip and PNG compute it (reflected, polynomial 0xEDB88320): the
// check value the build records for every carried and installed file.  Text
// and bytes only; it calls nothing outside this file.
#pragma once
#include <stddef.h>
#include <stdint.h>

// The CRC of `count` more bytes after `crc`, the value of the bytes before
// them (0 for none): Crc32(Crc32(0, a, n), b, m) is the CRC of a then b.
uint32_t Crc32(uint32_t crc, const void *bytes, size_t count);
