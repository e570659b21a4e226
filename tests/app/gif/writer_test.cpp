#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/colour/Passes.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "gif_test_document.h"
#include "gif_test_util.h"

namespace {

using giftest::TestDocument;

// Writes the whole stream for n colours; `passes` gets the number of GifWritePass calls.
std::vector<uint8_t> WriteStream(TestDocument& t, const uint32_t* tally, uint32_t n, uint32_t* passes = nullptr) {
  std::vector<uint8_t> out;
  GifSinkBegin(giftest::AppendToVector, &out);
  uint32_t k = 1;
  while (GifWritePass(&t.doc, tally, n, k)) ++k;
  EXPECT_EQ(GifSinkCount(), out.size());
  if (passes) *passes = k;
  return out;
}

uint64_t CountStream(TestDocument& t, const uint32_t* tally, uint32_t n) {
  uint64_t total = 0;
  for (uint32_t k = 1;; ++k) {
    GifSinkBegin(nullptr, nullptr);  // as the size estimate does, one pass at a time
    bool more = GifWritePass(&t.doc, tally, n, k);
    total += GifSinkCount();
    if (!more) return total;
  }
}

// Offsets of the parts of a stream, found by walking its blocks.
struct Image {
  size_t gce, descriptor, table, codeSize;
  int tableEntries;
};

std::vector<Image> WalkImages(const std::vector<uint8_t>& s, bool& endsWithTrailer) {
  std::vector<Image> images;
  size_t at = 13;
  if (s[10] & 0x80) at += 3u << ((s[10] & 7) + 1);
  endsWithTrailer = false;
  while (at < s.size()) {
    if (s[at] == 0x3B) {
      endsWithTrailer = at + 1 == s.size();
      break;
    }
    Image img{};
    EXPECT_EQ(s[at], 0x21);
    EXPECT_EQ(s[at + 1], 0xF9);
    img.gce = at;
    at += 8;
    EXPECT_EQ(s[at], 0x2C);
    img.descriptor = at;
    at += 10;
    img.table = at;
    img.tableEntries = s[img.descriptor + 9] & 0x80 ? 2 << (s[img.descriptor + 9] & 7) : 0;
    at += 3 * img.tableEntries;
    img.codeSize = at++;
    bool terminated = false;
    giftest::JoinSubBlocks(s, at, terminated);
    EXPECT_TRUE(terminated);
    images.push_back(img);
  }
  return images;
}

TEST(GifWritePass, RandomPicturesDecodeToTheReducedPicture) {
  std::mt19937 rng(2024);
  for (int trial = 0; trial < 160; ++trial) {
    TestDocument t;
    uint32_t n = trial % 4 == 0 ? 1 + rng() % 8 : trial % 4 == 1 ? 1 + rng() % 300 : 200 + rng() % 900;
    uint16_t width = static_cast<uint16_t>(1 + rng() % 48);
    uint16_t height = static_cast<uint16_t>(trial % 3 == 0 ? 1 + rng() % 9 : 1 + rng() % 40);
    giftest::MakeRandomDocument(t, rng, n, width, height);
    t.doc.firstPassBits = static_cast<uint16_t>(1 + rng() % 8);
    t.doc.laterPassBits = static_cast<uint16_t>(trial % 5 == 0 ? 1 + rng() % 8 : 8);
    t.doc.interlaceFirst = rng() % 2;
    t.doc.interlaceLater = rng() % 2;
    t.doc.useGlobalTable = rng() % 3 == 0;
    uint32_t marks = n > 1 && rng() % 2 ? rng() % std::min<uint32_t>(n, 6) : 0;
    for (uint32_t j = 0; j < marks; ++j) t.records[rng() % n].transparent = 1;
    // Transparency is sometimes off while colours stay marked: they must be drawn.
    t.doc.transparencyOn = marks > 0 && rng() % 3 != 0;
    t.doc.backgroundColour = {static_cast<uint16_t>(rng()), static_cast<uint16_t>(rng()),
                              static_cast<uint16_t>(rng())};
    t.Link();
    uint32_t available = 0, transparentCount = 0;
    AvailableColours(&t.doc, &available, &transparentCount);
    if (available == 0) continue;
    uint32_t k = 1 + rng() % available;
    if (t.doc.useGlobalTable && k > 256) k = 256;
    std::vector<uint32_t> rep, tally;
    giftest::ReferenceMapping(t, k, rep, tally);

    SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n << " k " << k << " " << width << "x"
                                    << height << " F " << t.doc.firstPassBits << " L " << t.doc.laterPassBits
                                    << " global " << int(t.doc.useGlobalTable) << " transparency "
                                    << int(t.doc.transparencyOn) << " marks " << transparentCount);
    uint32_t passes = 0;
    std::vector<uint8_t> bytes = WriteStream(t, tally.data(), k, &passes);
    ASSERT_EQ(passes, PassesForColours(&t.doc, k));
    ASSERT_EQ(passes, GifStreamPasses(&t.doc, k));
    EXPECT_EQ(CountStream(t, tally.data(), k), bytes.size());

    giftest::Screen screen = giftest::DecodeScreen(bytes);
    ASSERT_TRUE(screen.ok);
    ASSERT_EQ(screen.images, static_cast<int>(passes));
    ASSERT_EQ(screen.width, width);
    ASSERT_EQ(screen.height, height);
    std::vector<uint32_t> expected = giftest::ExpectedScreen(t, rep);
    for (size_t i = 0; i < expected.size(); ++i)
      ASSERT_EQ(screen.pixels[i], expected[i]) << "pixel " << i % width << "," << i / width;
    for (uint32_t p = 0; p < passes; ++p) {
      EXPECT_EQ(screen.interlaced[p], p == 0 ? t.doc.interlaceFirst != 0 : t.doc.interlaceLater != 0);
      if (p > 0) {
        EXPECT_GE(screen.transparentIndex[p], 0) << "later passes always let earlier ones show";
      }
    }
    bool trailer = false;
    std::vector<Image> images = WalkImages(bytes, trailer);
    EXPECT_TRUE(trailer);
    ASSERT_EQ(images.size(), passes);
    for (const Image& img : images) EXPECT_EQ(bytes[img.gce + 3] & 0x1C, 0x04) << "disposal: leave in place";
  }
}

// Table sizes and the transparent entry: a decoder accepts a table larger than
// needed, so only the bytes tell.
TEST(GifWritePass, TransparentLastPassOfFourColoursGetsEightEntries) {
  std::mt19937 rng(8);
  TestDocument t;
  giftest::MakeRandomDocument(t, rng, 40, 12, 12);
  t.records[t.order[39]].transparent = 1;
  t.doc.transparencyOn = 1;
  t.doc.firstPassBits = 2;  // 3 colours and the transparent entry
  t.doc.laterPassBits = 3;  // 7 colours each
  t.doc.backgroundColour = {0x1212, 0x3434, 0x5656};  // 8-bit values scaled by 257
  t.Link();
  const uint32_t k = 3 + 7 + 4;
  std::vector<uint32_t> rep, tally;
  giftest::ReferenceMapping(t, k, rep, tally);
  std::vector<uint8_t> b = WriteStream(t, tally.data(), k);
  bool trailer = false;
  std::vector<Image> images = WalkImages(b, trailer);
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[0].tableEntries, 4);
  EXPECT_EQ(images[1].tableEntries, 8);
  EXPECT_EQ(images[2].tableEntries, 8) << "4 colours and the transparent entry need 3 bits";
  for (const Image& img : images) {
    EXPECT_EQ(b[img.gce + 3], 0x05);
    EXPECT_EQ(b[img.gce + 6], 0) << "transparent index";
    // Entry 0 holds the background colour, 16-bit channels cut to 8 bits.
    EXPECT_EQ(b[img.table], 0x12);
    EXPECT_EQ(b[img.table + 1], 0x34);
    EXPECT_EQ(b[img.table + 2], 0x56);
    EXPECT_EQ(b[img.codeSize], 2 + (img.tableEntries > 4));
  }
  // Entries past the last colour are zero.
  for (int e = 5; e < 8; ++e)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(b[images[2].table + 3 * e + c], 0);
}

TEST(GifWritePass, GlobalTableWithTransparencyKeepsEntryNTransparent) {
  std::mt19937 rng(9);
  for (uint32_t n : {1u, 3u, 15u, 16u, 255u}) {
    TestDocument t;
    giftest::MakeRandomDocument(t, rng, n + 1, 20, 20);
    t.records[t.order[n]].transparent = 1;
    t.doc.transparencyOn = 1;
    t.doc.useGlobalTable = 1;
    t.doc.firstPassBits = 8;
    t.Link();
    std::vector<uint32_t> rep, tally;
    giftest::ReferenceMapping(t, n, rep, tally);
    std::vector<uint8_t> b = WriteStream(t, tally.data(), n);
    uint32_t bits = 1;
    while ((1u << bits) < n + 1) ++bits;
    EXPECT_EQ(b[10], 0x80 | (bits - 1) << 4 | (bits - 1)) << n;
    bool trailer = false;
    std::vector<Image> images = WalkImages(b, trailer);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(b[images[0].gce + 3], 0x05);
    EXPECT_EQ(b[images[0].gce + 6], n) << "the index just past the colours";
    EXPECT_EQ(b[images[0].descriptor + 9], 0x00) << "no local table";
    EXPECT_EQ(b[images[0].codeSize], bits < 2 ? 2 : bits);
  }
}

TEST(GifWritePass, StreamsWrittenInTurnsMatchStreamsWrittenAlone) {
  // Saving, the size estimate and the size graph write passes of different
  // streams in turns; nothing of one stream may leak into another.
  std::mt19937 rng(12);
  TestDocument a, b;
  giftest::MakeRandomDocument(a, rng, 200, 30, 20);
  a.doc.useGlobalTable = 1;
  a.doc.firstPassBits = 5;
  a.doc.laterPassBits = 6;
  a.Link();
  giftest::MakeRandomDocument(b, rng, 9, 25, 11);
  b.doc.useGlobalTable = 1;
  b.doc.firstPassBits = 1;
  b.doc.laterPassBits = 2;
  b.Link();
  std::vector<uint32_t> repA, tallyA, repB, tallyB;
  giftest::ReferenceMapping(a, 200, repA, tallyA);
  giftest::ReferenceMapping(b, 9, repB, tallyB);
  std::vector<uint8_t> aloneA = WriteStream(a, tallyA.data(), 200);
  std::vector<uint8_t> aloneB = WriteStream(b, tallyB.data(), 9);

  std::vector<uint8_t> turnA, turnB;
  bool moreA = true, moreB = true;
  for (uint32_t k = 1; moreA || moreB; ++k) {
    if (moreA) {
      GifSinkBegin(giftest::AppendToVector, &turnA);
      moreA = GifWritePass(&a.doc, tallyA.data(), 200, k);
    }
    if (moreB) {
      GifSinkBegin(giftest::AppendToVector, &turnB);
      moreB = GifWritePass(&b.doc, tallyB.data(), 9, k);
    }
  }
  EXPECT_EQ(turnA, aloneA);
  EXPECT_EQ(turnB, aloneB);
}

}  // namespace
