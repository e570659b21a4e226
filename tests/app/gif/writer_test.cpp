// The writer's oracle: random pictures under random settings (pass sizes, global
// table, interlace, transparency with colours marked or marks kept while it is
// off), written pass by pass and read back by giflib, must show the reduced
// picture pixel for pixel.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "gif_test_util.h"

namespace {

// Writes the stream pass by pass as saving does. Before each pass the same pass
// is measured as the size estimate does, then a pass of another stream runs (the
// estimate of another document): nothing may leak from one stream into the next.
std::vector<uint8_t> WriteInTurns(giftest::TestDocument& a, giftest::TestDocument* other, uint64_t& measured,
                                  uint32_t& passes) {
  std::vector<uint8_t> out;
  measured = passes = 0;
  for (bool more = true; more;) {
    ++passes;
    GifSinkBegin(nullptr, nullptr);
    GifWritePass(&a.doc, a.table.tally, a.doc.colourCount, passes);
    measured += GifSinkCount();
    if (other) GifWritePass(&other->doc, other->table.tally, other->doc.colourCount, passes);
    GifSinkBegin(giftest::AppendToVector, &out);
    more = GifWritePass(&a.doc, a.table.tally, a.doc.colourCount, passes);
  }
  return out;
}

TEST(GifWritePass, RandomPicturesAndSettingsDecodeToTheReducedPicture) {
  std::mt19937 rng(2024);
  std::unique_ptr<giftest::TestDocument> previous;
  for (int trial = 0; trial < 160; ++trial) {
    auto current = std::make_unique<giftest::TestDocument>();
    giftest::TestDocument& t = *current;
    const uint32_t n = trial % 4 == 0 ? 1 + rng() % 8 : trial % 4 == 1 ? 1 + rng() % 300 : 200 + rng() % 900;
    const auto width = static_cast<uint16_t>(1 + rng() % 48);
    const auto height = static_cast<uint16_t>(trial % 3 == 0 ? 1 + rng() % 9 : 1 + rng() % 40);
    giftest::MakeRandomDocument(t, rng, n, width, height);
    t.doc.firstPassBits = static_cast<uint16_t>(1 + rng() % 8);
    t.doc.laterPassBits = static_cast<uint16_t>(trial % 5 == 0 ? 1 + rng() % 8 : 8);
    t.doc.interlaceFirst = rng() % 2;
    t.doc.interlaceLater = rng() % 2;
    t.doc.useGlobalTable = rng() % 3 == 0;
    const uint32_t marks = n > 1 && rng() % 2 ? rng() % std::min<uint32_t>(n, 6) : 0;
    for (uint32_t j = 0; j < marks; ++j) t.marks[rng() % n] = 1;
    // Transparency is sometimes off while colours stay marked: they must be drawn.
    t.doc.transparencyOn = marks > 0 && rng() % 3 != 0;
    // 8-bit channels stretched to 16 bits: the transparent entry must keep them exactly.
    const uint32_t background = rng() & 0xFFFFFF;
    t.doc.backgroundColour = {static_cast<uint16_t>((background >> 16) * 257),
                              static_cast<uint16_t>((background >> 8 & 0xFF) * 257),
                              static_cast<uint16_t>((background & 0xFF) * 257)};
    t.Link();
    const uint32_t available = n - (t.doc.transparencyOn ? t.doc.transparentList.count : 0);
    if (available == 0) continue;
    const uint32_t k = std::min<uint32_t>(1 + rng() % available, t.doc.useGlobalTable ? 256 : available);
    t.doc.colourCount = k;
    const std::vector<uint32_t> expected = giftest::MapAndExpect(t, k);
    SCOPED_TRACE(testing::Message() << "trial " << trial << ": " << n << " colours, k " << k << ", " << width << "x"
                                    << height << ", bits " << t.doc.firstPassBits << "/" << t.doc.laterPassBits
                                    << ", global " << int(t.doc.useGlobalTable) << ", transparency "
                                    << int(t.doc.transparencyOn) << " marks " << marks);

    uint64_t measured = 0;
    uint32_t passes = 0;
    const std::vector<uint8_t> bytes = WriteInTurns(t, previous.get(), measured, passes);
    EXPECT_EQ(measured, bytes.size()) << "the size measured is the size written";
    ASSERT_EQ(passes, GifStreamPasses(&t.doc, k)) << "the progress and the estimate count these";
    const giftest::Screen screen = giftest::DecodeScreen(bytes);
    ASSERT_TRUE(screen.ok);
    ASSERT_EQ(screen.images, static_cast<int>(passes));
    ASSERT_EQ(screen.width, width);
    ASSERT_EQ(screen.height, height);
    for (size_t i = 0; i < expected.size(); ++i)
      ASSERT_EQ(screen.pixels[i], expected[i]) << "pixel " << i % width << "," << i / width;
    // Where every colour is in the picture every entry is read: a larger table only costs bytes.
    EXPECT_TRUE(screen.tablesTight || static_cast<size_t>(width) * height < n);
    for (uint32_t p = 0; p < passes; ++p) {
      EXPECT_EQ(screen.interlaced[p], (p == 0 ? t.doc.interlaceFirst : t.doc.interlaceLater) != 0);
      EXPECT_TRUE(p == 0 || screen.transparentIndex[p] >= 0) << "later passes let earlier ones show";
      EXPECT_TRUE(screen.transparentEntry[p] == giftest::kUnset || screen.transparentEntry[p] == background)
          << "pass " << p << ": " << std::hex << screen.transparentEntry[p] << " for " << background;
    }
    previous = std::move(current);
  }
}

}  // namespace
