// Marking colours transparent, checked against a recomputation from the marks
// after every click: the list, the tally, the overlay, and whether the controls
// must map again; the palette that skips transparent colours; the mask.
#include <gtest/gtest.h>

#include <set>

#include "app/colour/ColourMaps.h"
#include "app/colour/IndexImage.h"
#include "app/colour/Transparency.h"
#include "engine_support.h"
#include "platform/Bitmap.h"

namespace {

struct Transparency : ::testing::Test {
  void SetUp() override {
    std::mt19937 rng(17);
    picture = RandomPicture(rng, 45, 23, 40);
    document = NewTestDocument(picture);
    ASSERT_TRUE(RunColourPipeline(document));
    table = document->colourTable;
  }
  void TearDown() override { FreeTestDocument(document); }

  // Representatives serving at least one colour that is not transparent.
  std::set<uint32_t> Used() const {
    std::set<uint32_t> used;
    for (uint32_t i = 0; i < table->count; ++i) {
      if (!table->transparent[i]) used.insert(table->records[i].representative);
    }
    return used;
  }
  TestPicture picture;
  Document* document = nullptr;
  ColourTable* table = nullptr;
};

// Random clicks inside and outside the picture, with the mapping for a random
// number of colours in force. A change asks for a new mapping exactly when the set
// of representatives in use changes or the option goes on or off.
TEST_F(Transparency, ClicksKeepTheBookkeepingOfARecomputation) {
  std::mt19937 rng(5);
  for (int click = 0; click < 300; ++click) {
    if (click % 25 == 0) {
      document->colourCount = 1 + rng() % (table->count - document->transparentList.count);
      ApplyColourCount(document);
    }
    const std::set<uint32_t> usedBefore = Used();
    const bool onBefore = document->transparencyOn;
    const int x = static_cast<int>(rng() % 49) - 2, y = static_cast<int>(rng() % 25) - 1;
    const TransparencyChange change = PictureClick(document, x, y);
    const bool remap = Used() != usedBefore || document->transparencyOn != onBefore;
    ASSERT_EQ(change, remap ? kTransparencyRemap : kTransparencyNoRemap) << "click " << click;
    uint32_t marked = 0;
    for (uint32_t i = 0; i < table->count; ++i) {
      uint32_t members = 0;
      for (uint32_t j = 0; j < table->count; ++j) {
        members += table->records[j].representative == i && !table->transparent[j];
      }
      ASSERT_EQ(table->tally[i], members) << "click " << click << " colour " << i;
      if (table->transparent[i]) {
        ASSERT_EQ(document->transparentList.indices[TransparentListFind(&document->transparentList, i)], i);
        ++marked;
      }
    }
    ASSERT_EQ(document->transparentList.count, marked);
    ASSERT_EQ(document->transparencyOn != 0, marked > 0);
    ASSERT_LE(document->colourCount, table->count - marked);
    const platform::Bitmap* overlay = document->transparencyOverlay->bitmap;
    for (int py = 0; py < picture.height; ++py) {
      for (int px = 0; px < picture.width; ++px) {
        const int bit = (overlay->row(py)[px >> 3] >> (7 - (px & 7))) & 1;
        ASSERT_EQ(bit, table->transparent[IndexAt(document->indexImage, px, py)] ? 0 : 1);
      }
    }
    if (change == kTransparencyRemap) ApplyColourCount(document);
  }
}

// With transparency on, the palette widens until exactly k representatives serve
// colours that are not transparent; asking for more than are left maps every colour
// to itself rather than looping or reaching past the table.
TEST_F(Transparency, SkippingTransparentColoursGivesExactlyKUsedRepresentatives) {
  std::mt19937 rng(8);
  for (int round = 0; round < 10; ++round) {
    const uint32_t x = rng() % table->count;
    if (!table->transparent[x]) MarkColour(document, x);
    const uint32_t available = table->count - document->transparentList.count;
    for (uint32_t k = 1; k <= available; ++k) {
      MapForCount(document, table->tally, k);
      ASSERT_EQ(CountUsedRepresentatives(table, table->tally), k);
    }
    MapForCount(document, table->tally, table->count);
    for (uint32_t i = 0; i < table->count; ++i) ASSERT_EQ(table->records[i].representative, i);
  }
}

// The mask against the index image, for widths with no full group of 32, exact
// groups and a tail; bits past a row's width are left alone.
TEST(TransparencyMask, MatchesTheIndexImageForEveryWidth) {
  std::mt19937 rng(23);
  for (int width : {1, 7, 31, 32, 33, 64, 95, 100}) {
    Document* document = NewTestDocument(RandomPicture(rng, width, 5, 3));
    ASSERT_TRUE(RunColourPipeline(document));
    JBitArray* mask = document->maskBuffer;
    std::memset(mask->bits, 0x5A, static_cast<size_t>(mask->wordsPerRow) * 4 * mask->height);
    BuildTransparencyMask(document, 0);
    for (int y = 0; y < 5; ++y) {
      const uint8_t* row = JBitArrayRow(mask, static_cast<uint32_t>(4 - y));
      for (int x = 0; x < (width + 31) / 32 * 32; ++x) {
        const int bit = (row[x >> 3] >> (7 - (x & 7))) & 1;
        const int expected = x < width ? IndexAt(document->indexImage, x, y) != 0 : (0x5A >> (7 - (x & 7))) & 1;
        ASSERT_EQ(bit, expected) << width << " " << x;
      }
      ASSERT_EQ(std::memcmp(document->maskPicture->bitmap->row(y), row, static_cast<size_t>(mask->wordsPerRow) * 4), 0);
    }
    FreeTestDocument(document);
  }
}

}  // namespace
