// szddc IN OUT: compresses IN into the SZDD image OUT, then expands the image
// again and compares it with IN. OUT is only written when the image expands
// back to IN byte for byte; any failure leaves a message on stderr and a
// non-zero exit status.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "tools/szdd/szdd.h"

namespace {

bool ReadFile(const char* path, std::vector<std::uint8_t>& data) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    std::fprintf(stderr, "szddc: cannot open %s: %s\n", path, std::strerror(errno));
    return false;
  }
  data.clear();
  std::uint8_t chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    data.insert(data.end(), chunk, chunk + got);
  const bool ok = !std::ferror(f);
  if (!ok) std::fprintf(stderr, "szddc: cannot read %s\n", path);
  std::fclose(f);
  return ok;
}

// Writes through a temporary name and renames it into place, so that OUT
// never exists half written.
bool WriteFile(const char* path, const std::vector<std::uint8_t>& data) {
  const std::string temp = std::string(path) + ".part";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "szddc: cannot create %s: %s\n", temp.c_str(),
                 std::strerror(errno));
    return false;
  }
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  ok = std::fclose(f) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path) != 0) ok = false;
  if (!ok) {
    std::fprintf(stderr, "szddc: cannot write %s: %s\n", path, std::strerror(errno));
    std::remove(temp.c_str());
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: szddc IN OUT\n");
    return 2;
  }
  std::vector<std::uint8_t> data;
  if (!ReadFile(argv[1], data)) return 1;

  std::vector<std::uint8_t> image;
  try {
    image = szdd::Compress(data);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "szddc: %s: %s\n", argv[1], e.what());
    return 1;
  }

  std::vector<std::uint8_t> back;
  const szdd::ExpandInfo info = szdd::Expand(image.data(), image.size(), back);
  if (info.status != szdd::ExpandStatus::kOk || !info.cleanEnd ||
      info.fullRingMatches != 0 || info.statedLength != data.size() ||
      back != data) {
    std::fprintf(stderr, "szddc: %s: the image does not expand back to the input\n",
                 argv[1]);
    return 1;
  }
  return WriteFile(argv[2], image) ? 0 : 1;
}
