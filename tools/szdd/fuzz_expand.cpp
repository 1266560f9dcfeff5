// libFuzzer target: the expander must take any input without reading or
// writing out of bounds, and must stay within the bounds the format allows;
// the same bytes, taken as file contents, must compress to an image that
// expands back to them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/szdd/szdd.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "szdd fuzz: %s\n", what);
  std::abort();
}

void CheckExpand(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kLimit = 1 << 20;
  std::vector<std::uint8_t> out;
  const szdd::ExpandInfo info = szdd::Expand(data, size, out, kLimit);
  if (out.size() > kLimit) Fail("output beyond the limit");
  if (info.status == szdd::ExpandStatus::kNotSzdd ||
      info.status == szdd::ExpandStatus::kBadMethod) {
    if (!out.empty()) Fail("output from a rejected image");
    return;
  }
  const std::size_t stream = size - szdd::kHeaderSize;
  if (out.size() > 9 * stream) Fail("more than 9 bytes out per byte in");
  if (info.status == szdd::ExpandStatus::kOk &&
      (out.size() < info.literals + 3 * info.matches ||
       out.size() > info.literals + 18 * info.matches))
    Fail("output size does not fit the items decoded");
}

void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> image = szdd::Compress(data, size);
  if (image.size() > szdd::kHeaderSize + size + (size + 7) / 8)
    Fail("image larger than all literals");
  std::vector<std::uint8_t> back;
  const szdd::ExpandInfo info = szdd::Expand(image.data(), image.size(), back);
  if (info.status != szdd::ExpandStatus::kOk || !info.cleanEnd)
    Fail("own image not expanded cleanly");
  if (info.fullRingMatches != 0) Fail("distance-4096 match emitted");
  if (info.statedLength != size) Fail("header length wrong");
  if (back.size() != size ||
      (size != 0 && std::memcmp(back.data(), data, size) != 0))
    Fail("round trip differs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckExpand(data, size);
  CheckRoundTrip(data, size);
  return 0;
}
