// The transparency bookkeeping and the measures.
#include <gtest/gtest.h>

#include "app/colour/ColourMaps.h"
#include "app/colour/IndexImage.h"
#include "app/colour/Measures.h"
#include "app/colour/Passes.h"
#include "app/colour/Transparency.h"
#include "engine_support.h"
#include "jindep/memory.h"
#include "platform/Bitmap.h"

namespace {

struct TransparencyFixture : ::testing::Test {
  void SetUp() override {
    std::mt19937 rng(17);
    picture = RandomPicture(rng, 45, 23, 40);
    document = NewTestDocument(picture);
    ASSERT_TRUE(RunColourPipeline(document));
    document->colourCount = document->colourTable->count;
    ApplyColourCount(document);
  }
  void TearDown() override { FreeTestDocument(document); }

  // The overlay's bit for a pixel: 1 opaque.
  int OverlayBit(int x, int y) const {
    const platform::Bitmap* b = document->transparencyOverlay->bitmap;
    return (b->row(y)[x >> 3] >> (7 - (x & 7))) & 1;
  }
  TestPicture picture;
  Document* document = nullptr;
};

TEST_F(TransparencyFixture, MarkingAndUnmarkingRestoresThePreviousState) {
  const ColourTable* table = document->colourTable;
  std::vector<uint32_t> tallyBefore(table->tally, table->tally + table->count);
  uint32_t a = IndexAt(document->indexImage, 0, 0);
  uint32_t b = IndexAt(document->indexImage, 44, 22);
  if (a == b) b = (a + 1) % table->count;

  EXPECT_EQ(PictureClick(document, 0, 0), kTransparencyRemap) << "the option comes on";
  EXPECT_TRUE(document->transparencyOn);
  EXPECT_EQ(MarkTransparent(document, b), kTransparencyRemap) << "all colours: each stands for itself";
  EXPECT_EQ(document->transparentList.count, 2u);
  EXPECT_EQ(document->colourCount, table->count - 2) << "clamped to the colours left";
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      uint32_t c = IndexAt(document->indexImage, x, y);
      ASSERT_EQ(OverlayBit(x, y), (c == a || c == b) ? 0 : 1);
    }
  }
  // Clicking a marked colour unmarks it; unmarking the last turns the option off.
  EXPECT_EQ(PictureClick(document, 0, 0), kTransparencyRemap);
  EXPECT_EQ(document->transparentList.count, 1u);
  EXPECT_EQ(document->transparentList.indices[0], b);
  EXPECT_EQ(UnmarkTransparent(document, b, 0), kTransparencyRemap);
  EXPECT_FALSE(document->transparencyOn);
  EXPECT_EQ(document->transparentList.count, 0u);
  for (uint32_t i = 0; i < table->count; ++i) {
    EXPECT_EQ(table->records[i].transparent, 0);
    EXPECT_EQ(table->tally[i], tallyBefore[i]);
  }
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) ASSERT_EQ(OverlayBit(x, y), 1);
  }
  EXPECT_EQ(PictureClick(document, -1, 0), kTransparencyNoRemap);
  EXPECT_EQ(PictureClick(document, 45, 0), kTransparencyNoRemap);
  EXPECT_EQ(document->transparentList.count, 0u);
}

TEST_F(TransparencyFixture, ChangeIsTwoOnlyWhenARepresentativeLosesItsLastColour) {
  ColourTable* table = document->colourTable;
  document->transparencyOn = 1;
  document->colourCount = 1;
  ApplyColourCount(document);
  // One representative stands for every colour: marking one leaves it others.
  uint32_t x = document->mergeOrder->order[table->count - 1];
  EXPECT_EQ(MarkTransparent(document, x), kTransparencyNoRemap);
  document->colourCount = table->count - 1;
  ApplyColourCount(document);
  uint32_t y = document->mergeOrder->order[0];
  EXPECT_EQ(MarkTransparent(document, y), kTransparencyRemap);
}

// With transparency on, the palette widens until exactly k representatives serve
// colours that are not transparent.
TEST_F(TransparencyFixture, SkippingTransparentColoursGivesExactlyKUsedRepresentatives) {
  std::mt19937 rng(8);
  ColourTable* table = document->colourTable;
  document->transparencyOn = 1;
  for (int round = 0; round < 10; ++round) {
    uint32_t x = rng() % table->count;
    if (!table->records[x].transparent) {
      table->records[x].transparent = 1;
      TransparentListAppend(&document->transparentList, x);
    }
    uint32_t available = table->count - document->transparentList.count;
    for (uint32_t k = 1; k <= available; ++k) {
      MapForCount(document, table->tally, k);
      ASSERT_EQ(CountUsedRepresentatives(table, table->tally), k);
    }
  }
}

TEST_F(TransparencyFixture, MeasuresWithTheBackgroundColourMarkedStayInsideTheArray) {
  ColourTable* table = document->colourTable;
  document->transparencyOn = 1;
  uint32_t first = document->mergeOrder->order[0];
  table->records[first].transparent = 1;
  TransparentListAppend(&document->transparentList, first);
  const uint32_t n = table->count;
  std::vector<uint32_t> error(n + 1, 12345);
  std::vector<uint64_t> quality(n + 1, 12345);
  EXPECT_EQ(ComputeMaximumError(document, error.data()), n - 1);
  EXPECT_EQ(ComputeQuality(document, quality.data()), n - 1);
  EXPECT_EQ(error[n - 1], kNoMaximumError);
  EXPECT_EQ(quality[n - 1], kNoQuality);
  EXPECT_EQ(error[n], 12345u) << "nothing written past the array";
  EXPECT_EQ(error[n - 2], 0u);
  EXPECT_EQ(quality[n - 2], QualityBudget(document));
  // Every colour transparent: nothing is measured.
  for (uint32_t i = 0; i < n; ++i) {
    if (!table->records[i].transparent) {
      table->records[i].transparent = 1;
      TransparentListAppend(&document->transparentList, i);
    }
  }
  EXPECT_EQ(ComputeMaximumError(document, error.data()), 0u);
  EXPECT_EQ(ComputeQuality(document, quality.data()), 0u);
  for (uint32_t i = 0; i < n; ++i) {
    EXPECT_EQ(error[i], kNoMaximumError);
    EXPECT_EQ(quality[i], kNoQuality);
  }
}

// The mask against the index image, for widths with no full group, exact groups and a tail.
TEST(TransparencyMask, MatchesTheIndexImageForEveryWidth) {
  std::mt19937 rng(23);
  for (int width : {1, 7, 31, 32, 33, 64, 95, 100}) {
    TestPicture picture = RandomPicture(rng, width, 5, 3);
    Document* document = NewTestDocument(picture);
    ASSERT_TRUE(RunColourPipeline(document));
    // Bits past the row's width are left alone: mark them to check.
    JBitArray* mask = document->maskBuffer;
    std::memset(mask->bits, 0x5A, static_cast<size_t>(mask->wordsPerRow) * 4 * mask->height);
    BuildTransparencyMask(document, 0);
    for (int y = 0; y < 5; ++y) {
      const uint8_t* row = JBitArrayRow(mask, static_cast<uint32_t>(4 - y));
      for (int x = 0; x < width; ++x) {
        int bit = (row[x >> 3] >> (7 - (x & 7))) & 1;
        ASSERT_EQ(bit, IndexAt(document->indexImage, x, y) == 0 ? 0 : 1) << width << " " << x;
      }
      if (width % 32 != 0) {
        int x = width;
        int bit = (row[x >> 3] >> (7 - (x & 7))) & 1;
        EXPECT_EQ(bit, (0x5A >> (7 - (x & 7))) & 1);
      }
      const uint8_t* mapRow = document->maskPicture->bitmap->row(y);
      ASSERT_EQ(std::memcmp(mapRow, row, static_cast<size_t>(mask->wordsPerRow) * 4), 0);
    }
    FreeTestDocument(document);
  }
}

}  // namespace

namespace {

// A caller asking for more colours than are left after the transparent ones gets
// the mapping of every colour rather than an endless loop or a palette past the table.
TEST_F(TransparencyFixture, AskingForMoreColoursThanAreLeftMapsThemAll) {
  ColourTable* table = document->colourTable;
  document->transparencyOn = 1;
  for (uint32_t x : {0u, 1u, 2u}) {
    table->records[x].transparent = 1;
    TransparentListAppend(&document->transparentList, x);
  }
  MapForCount(document, table->tally, table->count);
  for (uint32_t i = 0; i < table->count; ++i) EXPECT_EQ(table->records[i].representative, i);
}

// Without a picture map (a map the platform refused, or one a file writer let go)
// the pipeline works from the working buffer as it stands; a writer's pipeline
// frees the buffer too, once the index image holds the picture.
TEST(ColourPipeline, WorksFromTheBufferWhenThereIsNoPictureMap) {
  std::mt19937 rng(41);
  TestPicture picture = RandomPicture(rng, 17, 9, 12);
  for (PipelinePixels pixels : {kPipelineKeepsPixels, kPipelineFreesPixels}) {
    Document* document = NewTestDocument(picture);
    JPixMapFree(document->pictureMap);
    document->pictureMap = nullptr;
    ASSERT_TRUE(RunColourPipeline(document, nullptr, pixels));
    EXPECT_EQ(document->workingBuffer == nullptr, pixels == kPipelineFreesPixels);
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        ASSERT_EQ(document->colourTable->records[IndexAt(document->indexImage, x, y)].colour, picture.at(x, y));
      }
    }
    document->colourCount = 3;
    ApplyColourCount(document);  // renders into the buffer if kept; the missing map is passed over
    FreeTestDocument(document);
  }

  // Masks the platform cannot make fail the pipeline with the memory message.
  Document* document = NewTestDocument(picture);
  platform::Bitmap::FailNextCreations(2);
  const char* problem = nullptr;
  EXPECT_FALSE(RunColourPipeline(document, &problem));
  platform::Bitmap::FailNextCreations(0);
  EXPECT_STREQ(problem, "There is not enough memory for a picture of this size.");
  FreeTestDocument(document);
}

}  // namespace
