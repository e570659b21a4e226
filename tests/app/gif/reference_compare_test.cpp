// The GIF writer against the plain reference stream: random pictures run through
// the colour engine, random settings, and the two byte streams must be equal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/colour/ColourMaps.h"
#include "app/colour/IndexImage.h"
#include "app/colour/Passes.h"
#include "app/colour/Pipeline.h"
#include "app/colour/Transparency.h"
#include "app/document/Document.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "gif_test_util.h"
#include "jwin/pixel_buffer.h"
#include "reference_gif.h"

namespace {

using giftest::ReferenceGifStream;
using giftest::ReferenceLzw;

std::vector<uint8_t> WriterStream(const Document* doc, uint32_t n) {
  std::vector<uint8_t> out;
  GifSinkBegin(giftest::AppendToVector, &out);
  for (uint32_t k = 1; GifWritePass(doc, doc->colourTable->tally, n, k); ++k) {
  }
  EXPECT_EQ(GifSinkCount(), out.size());
  // Counting only must give the size of the bytes written.
  GifSinkBegin(nullptr, nullptr);
  for (uint32_t k = 1; GifWritePass(doc, doc->colourTable->tally, n, k); ++k) {
  }
  EXPECT_EQ(GifSinkCount(), out.size());
  return out;
}

// Empty string when equal, else where and how the streams part.
std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want) {
  size_t i = 0;
  while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
  if (i == got.size() && i == want.size()) return "";
  char text[160];
  snprintf(text, sizeof text, "first difference at byte %zu of %zu (reference %zu): writer %d, reference %d", i,
           got.size(), want.size(), i < got.size() ? got[i] : -1, i < want.size() ? want[i] : -1);
  return text;
}

struct PipelineDocument {
  Document doc;
  PipelineDocument() { memset(&doc, 0, sizeof doc); }
  ~PipelineDocument() {
    FreeColourResults(&doc);
    JPixelBufferFree(doc.workingBuffer);
  }
};

// A picture of at most `colours` distinct colours; small channel ranges make
// near neighbours, so the merge order is not trivial.
bool LoadRandomPicture(PipelineDocument& p, std::mt19937& rng, int width, int height, uint32_t colours) {
  std::vector<uint32_t> palette(colours);
  for (uint32_t& c : palette) c = rng() & 0xFFFFFF;
  p.doc.width = static_cast<int16_t>(width);
  p.doc.height = static_cast<int16_t>(height);
  p.doc.workingBuffer = JPixelBufferNew(width, height);
  if (!p.doc.workingBuffer) return false;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = JPixelBufferRow(p.doc.workingBuffer, y);
    for (int x = 0; x < width; ++x) {
      uint32_t c = palette[rng() % colours];
      row[3 * x] = static_cast<uint8_t>(c);
      row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
    }
  }
  return RunColourPipeline(&p.doc);
}

std::string Describe(const Document* d, uint32_t n, int marked) {
  char text[256];
  snprintf(text, sizeof text,
           "picture %dx%d, %u colours; n %u, bits %u/%u, global %d, interlace %d/%d, transparency %d with %d "
           "marked, background %04x %04x %04x",
           d->width, d->height, d->colourTable->count, n, d->firstPassBits, d->laterPassBits, d->useGlobalTable,
           d->interlaceFirst, d->interlaceLater, d->transparencyOn, marked, d->backgroundColour.red,
           d->backgroundColour.green, d->backgroundColour.blue);
  return text;
}

// Random settings on a fresh picture, mapped as the controls panel maps them,
// then the writer's stream against the reference's.
void CompareOnce(std::mt19937& rng, int width, int height, uint32_t colours) {
  PipelineDocument p;
  ASSERT_TRUE(LoadRandomPicture(p, rng, width, height, colours));
  Document* d = &p.doc;
  ColourTable* table = d->colourTable;
  const uint32_t total = table->count;
  d->firstPassBits = static_cast<uint16_t>(1 + rng() % 8);
  d->laterPassBits = static_cast<uint16_t>(1 + rng() % 8);
  d->interlaceFirst = rng() & 1;
  d->interlaceLater = rng() & 1;
  d->useGlobalTable = rng() % 3 == 0;
  d->backgroundColour = {static_cast<uint16_t>(rng()), static_cast<uint16_t>(rng()), static_cast<uint16_t>(rng())};
  MapForCount(d, table->tally, total);
  int marked = 0;
  if (total > 1 && rng() % 2) {
    marked = 1 + static_cast<int>(rng() % std::min<uint32_t>(total - 1, 6));
    for (int i = 0; i < marked; ++i) MarkTransparent(d, rng() % total);
    marked = static_cast<int>(d->transparentList.count);
    // Marking turns transparency on; some streams keep the marks with it off.
    if (rng() % 3 == 0) d->transparencyOn = 0;
  }
  uint32_t available = 0, transparentCount = 0;
  AvailableColours(d, &available, &transparentCount);
  if (d->useGlobalTable && available > 256) available = 256;
  uint32_t n;
  switch (rng() % 4) {
    case 0: n = available; break;
    case 1: n = rng() % 3 == 0 ? 0 : 1; break;
    default: n = rng() % (available + 1); break;
  }
  if (n > available) n = available;
  MapForCount(d, table->tally, n);

  const std::vector<uint8_t> want = ReferenceGifStream(d, table->tally, n);
  // Whatever an earlier stream left in the records must not reach this one.
  for (uint32_t i = 0; i < total; ++i) table->records[i].paletteIndex = static_cast<uint8_t>(rng());
  const std::vector<uint8_t> got = WriterStream(d, n);
  const std::string difference = FirstDifference(got, want);
  EXPECT_EQ(difference, "") << Describe(d, n, marked);
}

// The reference itself against the fixed facts of the format, so that an
// agreement of the two writers means something.
TEST(ReferenceGif, LzwEdgeStreams) {
  // Nothing to code: the end code alone, at the initial width.
  EXPECT_EQ(ReferenceLzw(3, {}), (std::vector<uint8_t>{1, 0x05}));
  // One pixel: clear 4, value 1, end 5 at 3 bits each: 100 001 101 -> 0x4C 0x01.
  EXPECT_EQ(ReferenceLzw(3, {1}), (std::vector<uint8_t>{2, 0x4C, 0x01}));
}

TEST(ReferenceGif, LzwDecodesBackAcrossWidthsAndTableClears) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 40; ++trial) {
    const int minCode = 2 + trial % 7;
    const size_t length = trial < 10 ? rng() % 50 : 1000 + rng() % 60000;
    const uint32_t alphabet = 1u + rng() % (1u << minCode);
    std::vector<uint8_t> pixels(length);
    // Runs and repeats fill the table at every width; noise forces clears.
    for (size_t i = 0; i < length; ++i)
      pixels[i] = static_cast<uint8_t>(trial % 3 == 0 ? (i / 7) % alphabet : rng() % alphabet);
    const std::vector<uint8_t> data = ReferenceLzw(minCode + 1, pixels);
    size_t at = 0;
    bool terminated = false;
    std::vector<uint8_t> joined = giftest::JoinSubBlocks(data, at, terminated);
    EXPECT_EQ(at, data.size());
    for (size_t b = 0; b < data.size(); b += 1 + data[b]) {
      ASSERT_GT(data[b], 0) << "no empty sub-block";
      if (b + 1 + data[b] < data.size()) {
        ASSERT_EQ(data[b], 255) << "only the last block is short";
      }
    }
    std::vector<uint8_t> decoded;
    std::vector<giftest::CodeRecord> codes;
    ASSERT_TRUE(giftest::DecodeCodes(joined, minCode + 1, decoded, codes)) << "trial " << trial;
    EXPECT_EQ(decoded, pixels) << "trial " << trial;
    if (length > 0) {
      EXPECT_EQ(codes.front().code, 1u << minCode);
    }
  }
}

TEST(ReferenceGif, EmptyStreamAndDecodedScreen) {
  std::mt19937 rng(11);
  PipelineDocument p;
  ASSERT_TRUE(LoadRandomPicture(p, rng, 13, 9, 40));
  Document* d = &p.doc;
  d->firstPassBits = 2;
  d->laterPassBits = 3;
  d->backgroundColour = {0, 0, 0};
  for (uint8_t global : {0, 1}) {
    d->useGlobalTable = global;
    const std::vector<uint8_t> empty = ReferenceGifStream(d, d->colourTable->tally, 0);
    EXPECT_EQ(empty, (std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 13, 0, 9, 0, 0, 0, 0x31, 0x3B}));
  }
  // Every colour through several local passes: a decoder shows the picture itself.
  d->useGlobalTable = 0;
  d->interlaceLater = 1;
  const uint32_t n = d->colourTable->count;
  MapForCount(d, d->colourTable->tally, n);
  const giftest::Screen screen = giftest::DecodeScreen(ReferenceGifStream(d, d->colourTable->tally, n));
  ASSERT_TRUE(screen.ok);
  EXPECT_GT(screen.images, 2);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(screen.pixels[y * 13 + x], d->colourTable->records[IndexAt(d->indexImage, x, y)].colour);
}

TEST(ReferenceCompare, SmallPicturesAllSettings) {
  std::mt19937 rng(2024);
  for (int trial = 0; trial < 800; ++trial) {
    const int width = 1 + static_cast<int>(rng() % 24);
    const int height = 1 + static_cast<int>(rng() % 20);
    CompareOnce(rng, width, height, 1 + rng() % 40);
    if (HasFailure()) return;
  }
}

TEST(ReferenceCompare, ManyColoursAndLongImages) {
  std::mt19937 rng(77);
  for (int trial = 0; trial < 30; ++trial) {
    const int width = 40 + static_cast<int>(rng() % 160);
    const int height = 20 + static_cast<int>(rng() % 90);
    CompareOnce(rng, width, height, 200 + rng() % 700);
    if (HasFailure()) return;
  }
}

}  // namespace
