// SZDD codec: optimal-parse compressor and LZ32-compatible expander.
#include "tools/szdd/szdd.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace szdd {
namespace {

// The header: the magic, the method, the replaced last character of the
// file name, the expanded length (little-endian), then the stream.
const std::uint8_t kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr std::uint8_t kMethodA = 'A';
constexpr std::size_t kMethodOffset = 8;
constexpr std::size_t kLengthOffset = 10;
static_assert(kLengthOffset + 4 == kHeaderSize, "the stream follows the length");

// Bits one item costs in the stream, its control bit included. Summed over a
// parse, bits / 8 is the stream size before the last control byte is rounded
// up; two parses whose bit totals differ can differ by at most 7/8 byte in the
// other direction once rounded, so the parse of fewest bits is also a parse
// of fewest bytes.
constexpr std::uint32_t kLiteralBits = 9;
constexpr std::uint32_t kMatchBits = 17;

// The data is searched as if preceded by this many spaces: the ring's initial
// contents within reach of the first byte (distances 1..4095).
constexpr std::size_t kPrefix = kMaxDistance;

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "MatchLength assumes little-endian loads");

// Number of leading bytes, from `len` up to `limit`, that a and b share;
// compares eight at a time, so both may be read up to 7 bytes past `limit`.
inline std::size_t MatchLength(const std::uint8_t* a, const std::uint8_t* b,
                               std::size_t len, std::size_t limit) {
  while (len < limit) {
    std::uint64_t x, y;
    std::memcpy(&x, a + len, 8);
    std::memcpy(&y, b + len, 8);
    if (x != y) {
      len += static_cast<std::size_t>(__builtin_ctzll(x ^ y)) / 8;
      return len < limit ? len : limit;
    }
    len += 8;
  }
  return limit;
}

// Longest-match finder over binary trees of the positions in the window, one
// tree per hash of the first three bytes. Each tree orders the strings (up to
// 18 bytes) starting at its positions, and the newest position is its root,
// so every node is newer than its children: nodes that have left the window
// are cut off together with everything below them. Exact: searching position
// v finds the longest match, capped at 18 and at the end of the data, among
// all positions v-4095..v-1.
//
// Of several longest matches it reports the nearest: the nearest one is the
// newest node among the contiguous run of strings sharing that prefix, and
// such a node lies on the search path. The answer thus depends only on the
// window's contents, not on how the tree was built, which is what lets the
// input be searched in independent blocks.
//
// A node whose first `limit` bytes equal the searched string is replaced by
// the new position: for every later search the newer one matches at least as
// long and is nearer. Near the end `limit` shrinks with the bytes left; later
// searches then compare fewer bytes still, so the order stays consistent.
class TreeMatchFinder {
 public:
  // `span`: about how many positions will be entered (sizes the hash table).
  TreeMatchFinder(const std::uint8_t* buf, std::size_t span)
      : buf_(buf), hashBits_(HashBits(span)),
        head_(std::size_t{1} << hashBits_, 0), son_(2 * kTreeSize, 0) {}

  // Searches the string at v for its longest match among the earlier positions
  // and inserts v. Requires kMinMatch <= limit <= kMaxMatch and v + limit
  // within the buffer. Returns the length (0 when below kMinMatch) and stores
  // the distance in *distance.
  std::size_t SearchAndInsert(std::size_t v, std::size_t limit, std::size_t* distance) {
    const std::uint8_t* cur = buf_ + v;
    const std::uint32_t pos = static_cast<std::uint32_t>(v + kTreeSize);
    std::uint32_t& head = head_[Hash(cur)];
    std::uint32_t candidate = head;
    head = pos;

    const std::size_t cyclic = v & (kTreeSize - 1);
    std::uint32_t* ptr0 = &son_[2 * cyclic + 1];  // gets the greater subtree
    std::uint32_t* ptr1 = &son_[2 * cyclic];      // gets the lesser subtree
    std::size_t len0 = 0, len1 = 0, best = 0;
    for (;;) {
      const std::uint32_t delta = pos - candidate;
      // Empty links hold 0, which is always at least a ring's length back.
      if (delta >= kTreeSize) {
        *ptr0 = *ptr1 = 0;
        break;
      }
      std::uint32_t* pair =
          &son_[2 * ((v - delta) & (kTreeSize - 1))];
      const std::uint8_t* prev = cur - delta;
      const std::size_t len = MatchLength(prev, cur, len0 < len1 ? len0 : len1, limit);
      if (len > best) {
        best = len;
        *distance = delta;
      }
      if (len == limit) {  // the new position replaces the older one
        *ptr1 = pair[0];
        *ptr0 = pair[1];
        break;
      }
      if (prev[len] < cur[len]) {
        *ptr1 = candidate;
        ptr1 = pair + 1;
        candidate = *ptr1;
        len1 = len;
      } else {
        *ptr0 = candidate;
        ptr0 = pair;
        candidate = *ptr0;
        len0 = len;
      }
    }
    return best >= kMinMatch ? best : 0;
  }

 private:
  static constexpr std::size_t kTreeSize = kRingSize;  // window + 1, power of 2

  // Small inputs get a small table: clearing it dominates their cost.
  static unsigned HashBits(std::size_t span) {
    unsigned bits = 10;
    while (bits < 16 && (std::size_t{1} << bits) < span / 4) ++bits;
    return bits;
  }

  std::size_t Hash(const std::uint8_t* p) const {
    const std::uint32_t key = p[0] | (p[1] << 8) | (p[2] << 16);
    return (key * 2654435761u) >> (32 - hashBits_);
  }

  const std::uint8_t* buf_;
  const unsigned hashBits_;
  std::vector<std::uint32_t> head_;
  std::vector<std::uint32_t> son_;
};

// Stores the longest match (length, 0 when none, and distance) of every data
// position in [begin, end). The window before `begin` is entered into the
// tree first, so the result does not depend on where the block starts.
void FindMatches(const std::uint8_t* buf, std::size_t total, std::size_t begin,
                 std::size_t end, std::uint8_t* len, std::uint16_t* dist) {
  TreeMatchFinder finder(buf, end - begin + kMaxDistance);
  const std::size_t first = kPrefix + begin;
  // Of the positions that hold 18 spaces only the newest, kPrefix - 18, can
  // ever be the best source: it matches as long as the others and is nearer.
  for (std::size_t v = std::max(kPrefix - kMaxMatch, first - kMaxDistance);
       v < kPrefix + end; ++v) {
    std::size_t d = 0, l = 0;
    const std::size_t left = total - v;
    if (left >= kMinMatch) l = finder.SearchAndInsert(v, std::min(kMaxMatch, left), &d);
    if (v >= first) {
      len[v - kPrefix] = static_cast<std::uint8_t>(l);
      dist[v - kPrefix] = static_cast<std::uint16_t>(d);
    }
  }
}

void PutHeader(std::vector<std::uint8_t>& out, std::uint32_t length) {
  out.insert(out.end(), kMagic, kMagic + sizeof kMagic);
  out.push_back(kMethodA);
  out.push_back(0);  // no character of the name was replaced
  for (int i = 0; i < 4; ++i) out.push_back((length >> (8 * i)) & 0xFF);
}

}  // namespace

std::vector<std::uint8_t> Compress(const std::uint8_t* data, std::size_t size,
                                   const CompressTuning& tuning) {
  if (size > kMaxInput) throw std::length_error("szdd: input too large");
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderSize + size + size / 8 + 1);
  PutHeader(out, static_cast<std::uint32_t>(size));
  if (size == 0) return out;

  // Virtual buffer: the spaces the ring starts with, then the data, then
  // slack for MatchLength's eight-byte reads.
  const std::size_t total = kPrefix + size;
  std::vector<std::uint8_t> buf;
  buf.reserve(total + 8);
  buf.assign(kPrefix, ' ');
  buf.insert(buf.end(), data, data + size);
  buf.resize(total + 8, 0);

  // Longest match at every position, block by block.
  std::vector<std::uint8_t> matchLen(size);
  std::vector<std::uint16_t> matchDist(size);
  const std::size_t blockSize = tuning.blockSize ? tuning.blockSize : size;
  const std::size_t blocks = (size + blockSize - 1) / blockSize;
  std::atomic<std::size_t> nextBlock{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto work = [&] {
    try {
      for (std::size_t b; (b = nextBlock++) < blocks;)
        FindMatches(buf.data(), total, b * blockSize,
                    std::min(size, (b + 1) * blockSize), matchLen.data(),
                    matchDist.data());
    } catch (...) {
      std::lock_guard<std::mutex> hold(failureLock);
      failure = std::current_exception();
      nextBlock = blocks;
    }
  };
  std::size_t workers = tuning.threads ? tuning.threads : std::thread::hardware_concurrency();
  workers = std::max<std::size_t>(1, std::min(workers, blocks));
  std::vector<std::thread> pool;
  for (std::size_t k = 1; k < workers; ++k) {
    try {
      pool.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads, same result
    }
  }
  work();
  for (std::thread& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);

  // Shortest path from each position to the end, computed backwards: best
  // holds the fewest bits that produce data[i..size) for the next 19 values
  // of i, and matchLen[i] becomes the length of the item chosen at i (1 for
  // a literal).
  constexpr std::size_t kSpan = 32;  // > kMaxMatch, a power of two
  std::uint32_t best[kSpan] = {};
  for (std::size_t i = size; i-- > 0;) {
    std::uint32_t bits = kLiteralBits + best[(i + 1) % kSpan];
    std::uint8_t choice = 1;
    for (std::size_t l = kMinMatch; l <= matchLen[i]; ++l) {
      const std::uint32_t viaMatch = kMatchBits + best[(i + l) % kSpan];
      if (viaMatch < bits) {
        bits = viaMatch;
        choice = static_cast<std::uint8_t>(l);
      }
    }
    best[i % kSpan] = bits;
    matchLen[i] = choice;
  }

  std::size_t control = 0;
  unsigned bit = 8;
  for (std::size_t i = 0; i < size; i += matchLen[i]) {
    if (bit == 8) {
      control = out.size();
      out.push_back(0);
      bit = 0;
    }
    if (matchLen[i] == 1) {
      out[control] |= static_cast<std::uint8_t>(1u << bit);
      out.push_back(data[i]);
    } else {
      // Source slot of data index i - dist; negative indices are the spaces.
      const std::size_t slot = (kRingStart + i - matchDist[i]) & (kRingSize - 1);
      out.push_back(slot & 0xFF);
      out.push_back(static_cast<std::uint8_t>(((slot >> 4) & 0xF0) |
                                              (matchLen[i] - kMinMatch)));
    }
    ++bit;
  }
  return out;
}

std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& data) {
  return Compress(data.data(), data.size(), CompressTuning());
}

ExpandInfo Expand(const std::uint8_t* image, std::size_t size,
                  std::vector<std::uint8_t>& out, std::size_t outputLimit) {
  ExpandInfo info;
  out.clear();
  if (size < kHeaderSize || std::memcmp(image, kMagic, sizeof kMagic) != 0) {
    info.status = ExpandStatus::kNotSzdd;
    return info;
  }
  const std::uint8_t* length = image + kLengthOffset;
  info.statedLength = length[0] | (length[1] << 8) | (length[2] << 16) |
                      (static_cast<std::uint32_t>(length[3]) << 24);
  if (image[kMethodOffset] != kMethodA) {
    info.status = ExpandStatus::kBadMethod;
    return info;
  }
  info.status = ExpandStatus::kOk;

  // Reserve no more than the stream could possibly produce (9 bytes out per
  // byte in), whatever the header claims.
  const std::size_t streamBytes = size - kHeaderSize;
  std::size_t expect = info.statedLength;
  if (streamBytes <= std::numeric_limits<std::size_t>::max() / 9 &&
      expect > streamBytes * 9)
    expect = streamBytes * 9;
  if (expect > outputLimit) expect = outputLimit;
  out.reserve(expect);

  std::uint8_t ring[kRingSize];
  std::memset(ring, ' ', sizeof ring);
  std::size_t w = kRingStart;
  std::size_t in = kHeaderSize;
  while (in < size) {
    const unsigned control = image[in++];
    info.cleanEnd = false;  // a control byte needs at least one item
    for (unsigned bit = 0; bit < 8 && in < size; ++bit) {
      if (control & (1u << bit)) {
        if (out.size() >= outputLimit) {
          info.status = ExpandStatus::kOutputLimit;
          return info;
        }
        const std::uint8_t c = image[in++];
        out.push_back(c);
        ring[w] = c;
        w = (w + 1) & (kRingSize - 1);
        ++info.literals;
        info.cleanEnd = true;
      } else {
        if (size - in < 2) {  // half a match: dropped
          info.cleanEnd = false;
          return info;
        }
        const std::uint8_t b0 = image[in], b1 = image[in + 1];
        in += 2;
        std::size_t r = b0 | ((b1 & 0xF0) << 4);
        const std::size_t len = (b1 & 0x0F) + kMinMatch;
        if (r == w) ++info.fullRingMatches;
        ++info.matches;
        for (std::size_t k = 0; k < len; ++k) {
          if (out.size() >= outputLimit) {
            info.status = ExpandStatus::kOutputLimit;
            return info;
          }
          const std::uint8_t c = ring[r];
          out.push_back(c);
          ring[w] = c;
          r = (r + 1) & (kRingSize - 1);
          w = (w + 1) & (kRingSize - 1);
        }
        info.cleanEnd = true;
      }
    }
  }
  return info;
}

}  // namespace szdd
