// The whole pipeline on random pictures: the merge order, and the mappings and
// the preview for many k, checked against a recomputation from the picture (the
// measures are compared with the reference ranking).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "app/colour/ColourMaps.h"
#include "app/colour/HelperThread.h"
#include "app/colour/Measures.h"
#include "app/colour/Preview.h"
#include "app/document/Progress.h"
#include "engine_support.h"
#include "jindep/memory.h"

namespace {

// Checks the mapping for k against the merge order: the first k colours stand for
// themselves, everything else for the first colour of its mergedInto chain that
// lies within the first k; then checks the preview pixel by pixel.
void CheckMapping(Document* document, const TestPicture& picture, uint32_t k) {
  const ColourTable* table = document->colourTable;
  const MergeOrder* order = document->mergeOrder;
  MapForCount(document, table->tally, k);
  std::vector<uint32_t> members(table->count, 0);
  for (uint32_t i = 0; i < table->count; ++i) {
    uint32_t x = i;
    while (table->records[x].mergePosition >= k) x = table->records[x].mergedInto;
    ASSERT_EQ(table->records[i].representative, x) << "k " << k << " colour " << i;
    ASSERT_LT(table->records[x].mergePosition, k);
    ASSERT_EQ(table->records[i].mappedColour, table->records[x].colour);
    ++members[x];
  }
  for (uint32_t p = 0; p < k; ++p) ASSERT_EQ(table->records[order->order[p]].representative, order->order[p]);
  for (uint32_t i = 0; i < table->count; ++i) ASSERT_EQ(table->tally[i], members[i]);
  RenderPreview(document);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      uint32_t own = IndexAt(document->indexImage, x, y);
      ASSERT_EQ(table->records[own].colour, picture.at(x, y));
      ASSERT_EQ(BufferKey(document->workingBuffer, x, y), table->records[own].mappedColour);
    }
  }
}

void CheckMergeOrder(const Document* document) {
  const ColourTable* table = document->colourTable;
  const MergeOrder* order = document->mergeOrder;
  ASSERT_EQ(order->count, table->count);
  std::vector<bool> seen(table->count, false);
  for (uint32_t p = 0; p < order->count; ++p) {
    uint32_t c = order->order[p];
    ASSERT_LT(c, table->count);
    ASSERT_FALSE(seen[c]);
    seen[c] = true;
    ASSERT_EQ(table->records[c].mergePosition, p);
    uint32_t into = table->records[c].mergedInto;
    if (p == 0) {
      ASSERT_EQ(into, c);
    } else {
      ASSERT_LT(table->records[into].mergePosition, p);
    }
  }
}

TEST(ColourPipeline, RandomPicturesGiveSoundOrdersAndMappings) {
  std::mt19937 rng(2024);
  EngineInit();
  const uint64_t before = JMemBytesInUse();
  for (int trial = 0; trial < 40; ++trial) {
    int width = 1 + static_cast<int>(rng() % (trial % 5 == 0 ? 3 : 90));
    int height = 1 + static_cast<int>(rng() % (trial % 7 == 0 ? 3 : 70));
    int colours = 1 + static_cast<int>(rng() % (trial % 3 == 0 ? 8 : 400));
    int range = trial % 4 == 0 ? 5 : (trial % 4 == 1 ? 32 : 256);
    TestPicture picture = RandomPicture(rng, width, height, colours, range);
    Document* document = NewTestDocument(picture);
    ASSERT_TRUE(RunColourPipeline(document));
    EXPECT_EQ(TreeNodePool()->live, 0u);
    EXPECT_EQ(GraphNodePool()->live, 0u);
    EXPECT_EQ(BlockPoolBytes(TreeNodePool()) + BlockPoolBytes(GraphNodePool()), 0u);
    CheckMergeOrder(document);
    const uint32_t n = document->colourTable->count;
    uint32_t pixels = 0;
    for (uint32_t i = 0; i < n; ++i) pixels += document->colourTable->records[i].count;
    EXPECT_EQ(pixels, static_cast<uint32_t>(width * height));
    std::vector<uint32_t> ks = {1, n};
    for (int i = 0; i < 6; ++i) ks.push_back(1 + rng() % n);
    for (uint32_t k : ks) CheckMapping(document, picture, k);
    FreeTestDocument(document);
  }
  EXPECT_EQ(JMemBytesInUse(), before) << "the pipeline leaves nothing behind";
}

TEST(ColourPipeline, ManyColoursInOnePicture) {
  std::mt19937 rng(99);
  TestPicture picture = RandomPicture(rng, 300, 200, 30000);
  Document* document = NewTestDocument(picture);
  ASSERT_TRUE(RunColourPipeline(document));
  CheckMergeOrder(document);
  for (uint32_t k : {1u, 2u, 256u, 5000u, document->colourTable->count}) CheckMapping(document, picture, k);
  FreeTestDocument(document);
}

// Big enough for the index image and the first searches to be made on two
// processors, with an odd number of rows; also with no second thread to be had,
// when the main thread does all of it: colours are numbered in order of first
// appearance from the top left, with their pixels counted over the whole
// picture, and every pixel's index and preview colour is its own.
TEST(ColourPipeline, PicturesOfMillionsOfPixelsIndexAndPreviewEveryPixel) {
  std::mt19937 rng(7);
  TestPicture picture = RandomPicture(rng, 1031, 1021, 20000);
  // Colours only in the bottom rows, and one met first at the very end.
  for (int x = 0; x < 50; ++x) picture.keys[picture.keys.size() - 1 - static_cast<size_t>(x) * 3] = 0xFEDC00u + x;
  std::map<uint32_t, uint32_t> counts;
  std::vector<uint32_t> firstMet;
  for (uint32_t key : picture.keys) {
    if (counts[key]++ == 0) firstMet.push_back(key);
  }
  std::vector<uint32_t> orders[2];
  for (bool helpers : {true, false}) {
    SCOPED_TRACE(helpers ? "with a helper thread" : "no thread can be started");
    HelperThreadsAllow(helpers);
    Document* document = NewTestDocument(picture);
    ASSERT_TRUE(RunColourPipeline(document));
    HelperThreadsAllow(true);
    const ColourTable* table = document->colourTable;
    ASSERT_EQ(table->count, firstMet.size());
    for (uint32_t i = 0; i < table->count; ++i) {
      ASSERT_EQ(table->records[i].colour, firstMet[i]) << "colour " << i;
      ASSERT_EQ(table->records[i].count, counts[firstMet[i]]) << "colour " << i;
    }
    CheckMergeOrder(document);
    for (uint32_t k : {300u, document->colourTable->count}) CheckMapping(document, picture, k);
    orders[helpers].assign(document->mergeOrder->order, document->mergeOrder->order + table->count);
    FreeTestDocument(document);
  }
  EXPECT_EQ(orders[0], orders[1]);
}

TEST(ColourPipeline, OnePixelPicture) {
  TestPicture picture{1, 1, {0xABCDEF}};
  Document* document = NewTestDocument(picture);
  ASSERT_TRUE(RunColourPipeline(document));
  ASSERT_EQ(document->colourTable->count, 1u);
  EXPECT_EQ(document->colourTable->records[0].count, 1u);
  EXPECT_EQ(document->indexImage->indices[0], 0u);
  EXPECT_EQ(document->mergeOrder->order[0], 0u);
  EXPECT_EQ(document->colourTable->records[0].mergedInto, 0u);
  uint32_t error = 7;
  uint64_t quality = 7;
  EXPECT_EQ(ComputeMaximumError(document, &error), 1u);
  EXPECT_EQ(ComputeQuality(document, &quality), 1u);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(quality, 768u);
  FreeTestDocument(document);
}

TEST(ColourPipeline, KeepsTheMappingWhenAskedForNoColours) {
  std::mt19937 rng(4);
  TestPicture picture = RandomPicture(rng, 20, 20, 30);
  Document* document = NewTestDocument(picture);
  ASSERT_TRUE(RunColourPipeline(document));
  MapForCount(document, document->colourTable->tally, 3);
  std::vector<uint32_t> reps;
  for (uint32_t i = 0; i < document->colourTable->count; ++i) reps.push_back(document->colourTable->records[i].representative);
  MapForCount(document, document->colourTable->tally, 0);
  for (uint32_t i = 0; i < document->colourTable->count; ++i) EXPECT_EQ(document->colourTable->records[i].representative, reps[i]);
  FreeTestDocument(document);
}

TEST(ColourPipeline, RefusesPicturesOutsideTheEngineBeforeAllocating) {
  Document document;
  std::memset(&document, 0, sizeof document);
  document.width = -25536;  // 40000 pixels in a signed 16-bit field
  document.height = 10;
  const uint64_t before = JMemBytesInUse();
  const char* problem = nullptr;
  EXPECT_FALSE(RunColourPipeline(&document, &problem));
  ASSERT_NE(problem, nullptr);
  EXPECT_GT(std::strlen(problem), 10u);
  EXPECT_EQ(document.colourTable, nullptr);
  EXPECT_EQ(JMemBytesInUse(), before);
  document.width = 10;
  document.height = 0;
  EXPECT_FALSE(RunColourPipeline(&document, &problem));
}

TEST(Measures, BudgetIsSixtyFourBitForLargePictures) {
  // 30000 x 30000 x 768 is far above 2^32.
  TestPicture picture{2, 1, {0x000000, 0x0000FF}};
  Document* document = NewTestDocument(picture);
  ASSERT_TRUE(RunColourPipeline(document));
  document->width = 30000;
  document->height = 30000;
  std::vector<uint64_t> quality(2);
  ComputeQuality(document, quality.data());
  EXPECT_EQ(quality[1], 768ull * 30000 * 30000);
  EXPECT_EQ(quality[0], 768ull * 30000 * 30000 - 255);
  document->width = 2;
  document->height = 1;
  FreeTestDocument(document);
}

}  // namespace

namespace {

// Samples the innermost report at every step through the host's clock, which stands still.
struct StageLog {
  std::vector<std::string> labels;
  std::vector<uint32_t> done;
  uint32_t total = 0;
};

TEST(ColourPipeline, ReportsFourStagesUnderOneProgressReport) {
  static StageLog log;
  log = StageLog();
  ProgressHost host{};
  host.tickCount = [](void*) -> uint32_t {
    ProgressReport* r = ProgressCurrent();
    if (r && (log.labels.empty() || log.labels.back() != r->label)) log.labels.push_back(r->label);
    if (r && r->outer == nullptr) {
      log.done.push_back(r->done);
      log.total = r->total;
    }
    return 0;
  };
  ProgressSetHost(&host);
  std::mt19937 rng(12);
  TestPicture picture = RandomPicture(rng, 300, 1, 200);  // one row: each row stage is one step of 2^24
  Document* document = NewTestDocument(picture);
  ASSERT_TRUE(RunColourPipeline(document));
  ProgressSetHost(nullptr);
  EXPECT_EQ(log.total, 4u << 24);
  std::vector<std::string> expected = {"Computing Histogram", "Computing Indexed Image", "Creating Colour Graph",
                                       "Computing Colour Maps"};
  EXPECT_EQ(log.labels, expected);
  // The clock is read at the start and before each step: the histogram's one step
  // and the index image's one step each add 2^24.
  ASSERT_GE(log.done.size(), 4u);
  EXPECT_EQ(log.done[1], 0u);
  EXPECT_EQ(log.done[2], 1u << 24);
  EXPECT_EQ(log.done[3], 2u << 24);
  EXPECT_EQ(ProgressCurrent(), nullptr);
  FreeTestDocument(document);
}

}  // namespace
