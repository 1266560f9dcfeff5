// SZDD ('A' method) codec: the compressed format that LZ32 expands.
//
// Image layout: "SZDD" 88 F0 27 33, method 'A', the replaced last character of
// the file name (always 0 here), the expanded length as uint32 little-endian,
// then the stream. The stream is a sequence of groups: a control byte whose
// bits, lowest first, say literal (1, one byte follows) or match (0, two bytes
// b0 b1 follow: ring slot b0 | (b1 & 0xF0) << 4, length (b1 & 0x0F) + 3).
// The ring holds 4096 bytes, starts filled with spaces, and the first byte is
// written at slot 0xFF0. Expanders decode until the input ends.
//
// Pure functions, no global state; safe to call from several threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace szdd {

constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kRingSize = 4096;
constexpr std::size_t kRingStart = 0xFF0;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
// Largest distance the compressor uses: a match never reads the slot it is
// about to write (distance 4096), which not every expander was checked for.
constexpr std::size_t kMaxDistance = kRingSize - 1;
// Largest input compress() accepts: the header stores a 32-bit length, and the
// parse costs are counted in 32-bit bit totals.
constexpr std::size_t kMaxInput = 0xFFFFFFFFu / 17;

// Compresses `size` bytes into a complete SZDD image: the smallest image the
// format allows for these bytes (optimal parse over every match length 3..18
// at every position, matches into the initial spaces and overlapping matches
// included, no distance-4096 match). Throws std::length_error when `size`
// exceeds kMaxInput.
//
// The match search runs over blocks of the input, in parallel when there are
// several cores. Blocks are searched exactly as the whole input would be, so
// the image depends on nothing but the data: not on the block size, nor on
// the number of threads.
struct CompressTuning {
  std::size_t blockSize = std::size_t{1} << 17;  // 0: one block
  unsigned threads = 0;                          // 0: one per core
};
std::vector<std::uint8_t> Compress(const std::uint8_t* data, std::size_t size,
                                   const CompressTuning& tuning = CompressTuning());
std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& data);

enum class ExpandStatus {
  kOk,           // the whole stream was decoded
  kNotSzdd,      // shorter than the header or wrong magic
  kBadMethod,    // method byte other than 'A'
  kOutputLimit,  // output reached the caller's limit; output holds the limit
};

struct ExpandInfo {
  ExpandStatus status = ExpandStatus::kNotSzdd;
  std::uint32_t statedLength = 0;  // header field; the expansion ignores it
  std::size_t literals = 0;
  std::size_t matches = 0;
  // Matches whose source slot was the slot being written (distance 4096).
  std::size_t fullRingMatches = 0;
  // True when the input ended right after a complete item. False when it ended
  // after a control byte with no item, or inside a match (that half match is
  // dropped). An empty stream counts as a clean end.
  bool cleanEnd = true;
};

// Default ceiling on expanded output. A stream of k bytes expands to at most
// 9k bytes whatever its content, so the output is bounded anyway; the limit
// keeps callers safe from large garbage inputs.
constexpr std::size_t kDefaultOutputLimit = std::size_t{1} << 30;

// Expands an image the way LZ32 does: byte-at-a-time copies through the ring,
// decoding until the input ends, whatever the header's length says. Any input
// is accepted; nothing is read or written out of bounds.
ExpandInfo Expand(const std::uint8_t* image, std::size_t size,
                  std::vector<std::uint8_t>& out,
                  std::size_t outputLimit = kDefaultOutputLimit);

}  // namespace szdd
