// The images szddc writes, checked by expanders this project did not write
// (msexpand from mscompress, libmspack), and mscompress's images checked by
// ours.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tools/szdd/szdd.h"

#ifdef SZDD_HAVE_MSPACK
bool MspackExpandFile(const char* in, const char* out);
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

bool OnPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

Bytes Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

void Write(const std::string& path, const Bytes& b) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), b.size());
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

// Inputs from 16 bytes up (mscompress mangles shorter ones) that exercise
// every kind of item: runs, repeats 4095 apart, spaces, text and noise.
std::vector<std::pair<std::string, Bytes>> Corpus() {
  std::mt19937 rng(42);
  Bytes noise(20000), period(3 * 4095 + 100), text;
  for (auto& c : noise) c = static_cast<std::uint8_t>(rng());
  for (std::size_t i = 0; i < period.size(); ++i) period[i] = noise[i % 4095];
  const std::string line = "FADE IN:\r\n  INT. STUDIO - DAY\r\n";
  for (int i = 0; i < 400; ++i) text.insert(text.end(), line.begin(), line.end() - i % 7);
  Bytes mixed(text);
  mixed.insert(mixed.end(), 5000, ' ');
  mixed.insert(mixed.end(), noise.begin(), noise.begin() + 3000);
  mixed.insert(mixed.end(), 9000, 0);
  return {{"spaces", Bytes(40, ' ')}, {"run", Bytes(1000, 'z')},
          {"period4095", period}, {"noise", noise}, {"text", text}, {"mixed", mixed}};
}

class SzddCrossCheck : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "szddXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern.data()));
    dir_ = pattern + "/";
  }
  void TearDown() override { Shell("rm -rf '" + dir_ + "'"); }

  // Makes an szddc image of each input, small ones included, has `expand`
  // write it back out, and compares.
  void ExpandOurImages(const std::function<bool(const std::string&, const std::string&)>& expand) {
    auto inputs = Corpus();
    inputs.insert(inputs.end(), {{"empty", {}}, {"one", {'q'}}, {"three", {' ', ' ', ' '}}});
    for (const auto& [name, data] : inputs) {
      const std::string in = dir_ + name, image = in + ".sz", out = in + ".out";
      Write(in, data);
      ASSERT_EQ(0, Shell(std::string(SZDDC_PATH) + " " + in + " " + image));
      ASSERT_TRUE(expand(image, out)) << name;
      EXPECT_TRUE(Read(out) == data) << name;
    }
  }

  std::string dir_;
};

TEST_F(SzddCrossCheck, MsexpandExpandsOurImages) {
  if (!OnPath("msexpand")) GTEST_SKIP() << "msexpand not installed";
  ExpandOurImages([](const std::string& image, const std::string& out) {
    return Shell("msexpand < " + image + " > " + out) == 0;
  });
}

TEST_F(SzddCrossCheck, LibmspackExpandsOurImages) {
#ifdef SZDD_HAVE_MSPACK
  ExpandOurImages([](const std::string& image, const std::string& out) {
    return MspackExpandFile(image.c_str(), out.c_str());
  });
#else
  GTEST_SKIP() << "built without libmspack";
#endif
}

TEST_F(SzddCrossCheck, OursExpandsMscompressImagesAndIsNeverLarger) {
  if (!OnPath("mscompress")) GTEST_SKIP() << "mscompress not installed";
  for (const auto& [name, data] : Corpus()) {
    Write(dir_ + name, data);
    ASSERT_EQ(0, Shell("cd " + dir_ + " && mscompress " + name));
    const Bytes theirs = Read(dir_ + name + "_");
    Bytes out;
    const szdd::ExpandInfo info = szdd::Expand(theirs.data(), theirs.size(), out);
    EXPECT_EQ(szdd::ExpandStatus::kOk, info.status);
    EXPECT_TRUE(out == data) << name;
    EXPECT_LE(szdd::Compress(data).size(), theirs.size()) << name;
  }
}

TEST_F(SzddCrossCheck, SzddcFailsWithoutWritingOnBadInput) {
  const std::string out = dir_ + "never.sz";
  EXPECT_NE(0, Shell(std::string(SZDDC_PATH) + " " + dir_ + "missing " + out + " 2>/dev/null"));
  EXPECT_NE(0, Shell(std::string(SZDDC_PATH) + " " + out + " 2>/dev/null"));
  EXPECT_NE(0, access(out.c_str(), F_OK));
}

}  // namespace
