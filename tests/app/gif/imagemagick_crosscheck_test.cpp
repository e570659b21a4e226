// A second opinion on our GIFs from ImageMagick: `identify` must read every
// image of the stream without complaint, and `convert`, laying the images over
// one another, must show the reduced picture. Skipped where the tools are missing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/colour/Passes.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "gif_test_document.h"
#include "gif_test_util.h"

namespace {

using giftest::TestDocument;

bool HaveTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

std::string ConvertTool() { return access("/usr/bin/convert", X_OK) == 0 ? "/usr/bin/convert" : "convert"; }

std::string Capture(const std::string& command, int* status) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  *status = pclose(pipe);
  return text;
}

TEST(ImageMagickCrossCheck, ReadsEveryPassAndShowsTheReducedPicture) {
  if (!HaveTool("identify")) GTEST_SKIP() << "ImageMagick identify is not installed";
  const bool canConvert = HaveTool(ConvertTool());
  std::mt19937 rng(31);
  char dir[] = "/tmp/tintwell-im-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  struct Setting {
    uint32_t n, k;
    uint16_t first, later;
    bool global, transparency, interlaceFirst, interlaceLater;
  };
  const Setting settings[] = {
      {16, 16, 4, 8, false, false, false, false},   {600, 600, 8, 8, false, false, true, true},
      {300, 200, 6, 5, true, true, false, true},   {40, 39, 8, 8, true, true, true, false},
      {1000, 700, 8, 7, false, true, false, true}, {5, 3, 1, 1, false, true, true, true},
  };
  int index = 0;
  for (const Setting& st : settings) {
    TestDocument t;
    giftest::MakeRandomDocument(t, rng, st.n, static_cast<uint16_t>(20 + rng() % 40),
                                static_cast<uint16_t>(1 + rng() % 30));
    t.doc.firstPassBits = st.first;
    t.doc.laterPassBits = st.later;
    t.doc.useGlobalTable = st.global;
    t.doc.interlaceFirst = st.interlaceFirst;
    t.doc.interlaceLater = st.interlaceLater;
    if (st.transparency) {
      t.records[t.order[0]].transparent = 1;
      t.doc.transparencyOn = 1;
    }
    t.Link();
    std::vector<uint32_t> rep, tally;
    giftest::ReferenceMapping(t, st.k, rep, tally);
    std::vector<uint8_t> bytes;
    GifSinkBegin(giftest::AppendToVector, &bytes);
    uint32_t passes = 1;
    while (GifWritePass(&t.doc, tally.data(), st.k, passes)) ++passes;
    const std::string path = std::string(dir) + "/case" + std::to_string(index++) + ".gif";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    SCOPED_TRACE(path);

    int status = -1;
    std::string frames = Capture("identify -format '%w %h\\n' " + path + " 2>&1", &status);
    EXPECT_EQ(status, 0) << frames;
    std::istringstream lines(frames);
    std::string line;
    uint32_t count = 0;
    while (std::getline(lines, line)) {
      EXPECT_EQ(line, std::to_string(t.image.width) + " " + std::to_string(t.image.height));
      ++count;
    }
    EXPECT_EQ(count, passes);

    if (!canConvert) continue;
    const std::string raw = path + ".rgba";
    std::string said =
        Capture(ConvertTool() + " " + path + " -background none -flatten -depth 8 rgba:" + raw + " 2>&1", &status);
    ASSERT_EQ(status, 0) << said;
    std::ifstream in(raw, std::ios::binary);
    std::vector<uint8_t> rgba((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(rgba.size(), t.indices.size() * 4);
    std::vector<uint32_t> expected = giftest::ExpectedScreen(t, rep);
    for (size_t i = 0; i < expected.size(); ++i) {
      uint32_t shown = rgba[4 * i + 3] == 0 ? giftest::kUnset
                                            : uint32_t(rgba[4 * i]) << 16 | uint32_t(rgba[4 * i + 1]) << 8 |
                                                  rgba[4 * i + 2];
      ASSERT_EQ(shown, expected[i]) << "pixel " << i;
    }
    unlink(raw.c_str());
    unlink(path.c_str());
  }
  rmdir(dir);
}

}  // namespace
