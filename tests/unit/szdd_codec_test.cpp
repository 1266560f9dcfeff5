// SZDD codec: expander semantics on hand-made streams, round trips, and the
// compressor's output against an exhaustive reference parse.  The
// installer's own expander is held to the codec's on every image.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "payload/expand.h"
#include "tools/szdd/szdd.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Image(std::uint32_t statedLength, const Bytes& stream) {
  Bytes image = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 0};
  for (int i = 0; i < 4; ++i) image.push_back((statedLength >> (8 * i)) & 0xFF);
  image.insert(image.end(), stream.begin(), stream.end());
  return image;
}

std::uint32_t Installer(const Bytes& image, Bytes& out) {
  return ExpandImage(image.data(), static_cast<std::uint32_t>(image.size()), out.data(),
                     static_cast<std::uint32_t>(out.size()));
}

// Expands with the codec, and with the installer's expander, which must give
// the same bytes, copy what is not SZDD, refuse the rest, and write nothing
// beyond the room it is given.
szdd::ExpandInfo Expand(const Bytes& image, Bytes& out,
                        std::size_t limit = szdd::kDefaultOutputLimit) {
  const szdd::ExpandInfo info = szdd::Expand(image.data(), image.size(), out, limit);
  Bytes mine(std::min(limit, out.size() + image.size() + 1));
  const std::uint32_t got = Installer(image, mine);
  mine.resize(got == NotExpanded ? 0 : got);
  if (info.status == szdd::ExpandStatus::kOk) {
    EXPECT_TRUE(mine == out) << "the installer's expansion differs";
    if (!out.empty()) {
      Bytes tight(out.size() - 1);
      EXPECT_EQ(NotExpanded, Installer(image, tight));
    }
  } else if (info.status == szdd::ExpandStatus::kNotSzdd) {
    EXPECT_TRUE(mine == image) << "copied unchanged";
  } else {
    EXPECT_EQ(NotExpanded, got);
  }
  return info;
}

Bytes Random(std::size_t n, unsigned seed, int alphabet = 256) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& c : b) c = static_cast<std::uint8_t>(rng() % alphabet);
  return b;
}

Bytes Periodic(std::size_t period, std::size_t n) {
  const Bytes base = Random(period, static_cast<unsigned>(period));
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = base[i % period];
  return b;
}

Bytes Text(std::size_t n, unsigned seed) {
  static const char* words[] = {"INT.", "KITCHEN", "-", "NIGHT", "\r\n", "she",
                                "looks", "at", "the", "door", "  ", "(beat)"};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) s += std::string(words[rng() % 12]) + " ";
  return Bytes(s.begin(), s.begin() + n);
}

// Longest match (capped at 18 and at the end) for data position i, trying
// every distance 1..4095 over the data preceded by the ring's spaces.
std::size_t NaiveLongest(const Bytes& data, std::size_t i) {
  auto at = [&](long k) { return k < 0 ? std::uint8_t{' '} : data[k]; };
  std::size_t best = 0;
  const std::size_t cap = std::min<std::size_t>(18, data.size() - i);
  for (long d = 1; d <= 4095; ++d) {
    std::size_t l = 0;
    while (l < cap && at(long(i) - d + long(l)) == data[i + l]) ++l;
    best = std::max(best, l);
  }
  return best < 3 ? 0 : best;
}

// Fewest stream bytes over all parses, control bytes counted exactly: state
// (bytes produced, items so far mod 8).
std::size_t ReferenceStreamSize(const Bytes& data) {
  const std::size_t n = data.size(), inf = ~std::size_t{0};
  std::vector<std::array<std::size_t, 8>> f(n + 1);
  for (auto& row : f) row.fill(inf);
  f[0][0] = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t longest = NaiveLongest(data, i);
    for (int k = 0; k < 8; ++k) {
      if (f[i][k] == inf) continue;
      const std::size_t base = f[i][k] + (k == 0);
      auto& lit = f[i + 1][(k + 1) % 8];
      lit = std::min(lit, base + 1);
      for (std::size_t l = 3; l <= longest; ++l) {
        auto& m = f[i + l][(k + 1) % 8];
        m = std::min(m, base + 2);
      }
    }
  }
  return *std::min_element(f[n].begin(), f[n].end());
}

// Compresses and expands again; checks everything an expander relies on.
std::size_t RoundTrip(const Bytes& data) {
  const Bytes image = szdd::Compress(data);
  EXPECT_EQ(0, std::memcmp(image.data(), "SZDD\x88\xF0\x27\x33" "A\0", 10));
  Bytes out;
  const szdd::ExpandInfo info = Expand(image, out);
  EXPECT_EQ(szdd::ExpandStatus::kOk, info.status);
  EXPECT_TRUE(info.cleanEnd) << "stray bytes after the last item";
  EXPECT_EQ(0u, info.fullRingMatches);
  EXPECT_EQ(data.size(), info.statedLength);
  EXPECT_TRUE(out == data) << "expanded data differs, size " << data.size();
  return image.size() - szdd::kHeaderSize;
}

TEST(SzddExpand, RingSemanticsOnHandMadeStreams) {
  Bytes out;
  // Match into the initial spaces, then a literal.
  EXPECT_EQ(szdd::ExpandStatus::kOk, Expand(Image(6, {0x02, 0x00, 0x02, 'x'}), out).status);
  EXPECT_EQ(Bytes({' ', ' ', ' ', ' ', ' ', 'x'}), out);
  // Overlapping match: 'a' at slot 0xFF0, then 10 bytes copied from 0xFF0.
  Expand(Image(11, {0x01, 'a', 0xF0, 0xF7}), out);
  EXPECT_EQ(Bytes(11, 'a'), out);
  // A source slot equal to the write slot reads the byte 4096 back.
  Bytes stream;
  for (int g = 0; g < 512; ++g) {
    stream.push_back(0xFF);
    for (int k = 0; k < 8; ++k) stream.push_back(static_cast<std::uint8_t>(g * 8 + k));
  }
  stream.insert(stream.end(), {0x00, 0xF0, 0xF0});
  const szdd::ExpandInfo info = Expand(Image(0, stream), out);
  ASSERT_EQ(4099u, out.size());
  EXPECT_EQ(Bytes({0, 1, 2}), Bytes(out.end() - 3, out.end()));
  EXPECT_EQ(1u, info.fullRingMatches);
  // The header's length is ignored.
  Expand(Image(1000, {0x07, 'a', 'b', 'c'}), out);
  EXPECT_EQ(Bytes({'a', 'b', 'c'}), out);
}

TEST(SzddExpand, RejectsHeadersAndSurvivesTruncation) {
  Bytes out = {1};
  EXPECT_EQ(szdd::ExpandStatus::kNotSzdd, Expand(Bytes(13, 0), out).status);
  Bytes bad = Image(3, {0x07, 'a', 'b', 'c'});
  bad[3] = 'Q';
  EXPECT_EQ(szdd::ExpandStatus::kNotSzdd, Expand(bad, out).status);
  bad[3] = 'D';
  bad[8] = 'B';
  EXPECT_EQ(szdd::ExpandStatus::kBadMethod, Expand(bad, out).status);
  EXPECT_TRUE(out.empty());

  // A bare control byte at the end, or half a match, yields nothing more.
  for (const Bytes& stream : {Bytes{0x01, 'a', 0x00}, Bytes{0x01, 'a', 0xF0}}) {
    const szdd::ExpandInfo info = Expand(Image(1, stream), out);
    EXPECT_EQ(szdd::ExpandStatus::kOk, info.status);
    EXPECT_FALSE(info.cleanEnd);
    EXPECT_EQ(Bytes({'a'}), out);
  }
  // Output stops at the caller's limit.
  const Bytes runs(40, 0x0F);  // control 0x0F: 4 literals then matches
  const szdd::ExpandInfo info = Expand(Image(0, runs), out, 50);
  EXPECT_EQ(szdd::ExpandStatus::kOutputLimit, info.status);
  EXPECT_EQ(50u, out.size());
}

TEST(SzddRoundTrip, EdgeInputs) {
  EXPECT_EQ(0u, RoundTrip({}));  // header only, no control byte
  for (std::size_t n = 1; n <= 3; ++n) EXPECT_EQ(n + 1, RoundTrip(Random(n, 7)));
  // Spaces at the start come from the ring: one match, then a literal.
  Bytes spaces(18, ' ');
  spaces.push_back('x');
  EXPECT_EQ(4u, RoundTrip(spaces));
  RoundTrip(Bytes(100000, 0));
  RoundTrip(Random(70000, 3));
  RoundTrip(Text(300000, 4));
  // Repeats 4095 apart are reachable; 4096 apart they are not.
  const std::size_t n = 3 * 4096;
  EXPECT_LT(RoundTrip(Periodic(4095, n)), 4095 * 9 / 8 + (n - 4095) / 8 + 64);
  EXPECT_GT(RoundTrip(Periodic(4096, n)), n);
}

TEST(SzddRoundTrip, SmallestStreamAgainstExhaustiveParse) {
  Bytes mixed = Text(3000, 9);
  const Bytes tail = Random(1500, 10, 4);
  mixed.insert(mixed.end(), tail.begin(), tail.end());
  mixed.insert(mixed.end(), 700, ' ');
  const Bytes cases[] = {Random(2000, 1, 3), Text(5000, 2), Bytes(500, 'a'),
                         Periodic(4095, 5000), mixed, Random(40, 5, 2)};
  for (const Bytes& data : cases) {
    const std::size_t ours = RoundTrip(data);
    EXPECT_EQ(ReferenceStreamSize(data), ours) << "size " << data.size();
    // Searching in small blocks on several threads gives the same image.
    szdd::CompressTuning tuning;
    tuning.blockSize = 777;
    tuning.threads = 3;
    EXPECT_TRUE(szdd::Compress(data.data(), data.size(), tuning) == szdd::Compress(data));
  }
}

}  // namespace
