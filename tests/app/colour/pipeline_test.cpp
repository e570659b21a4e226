// The whole pipeline on random pictures, checked against recomputations from the
// picture: the histogram, the mappings and the preview for many k, the measures'
// direction; with and without a helper thread; the pictures it refuses and the
// failures it reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_map>

#include "app/colour/ColourGraph.h"
#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTree.h"
#include "app/colour/HelperThread.h"
#include "app/colour/Histogram.h"
#include "app/colour/Measures.h"
#include "app/colour/Preview.h"
#include "app/document/Progress.h"
#include "engine_support.h"
#include "jindep/memory.h"
#include "platform/Bitmap.h"

namespace {

// The mapping for k against the merge order: the first k colours stand for
// themselves, every other colour for the first colour of its mergedInto chain
// within the first k; then the preview pixel by pixel.
void CheckMapping(Document* document, const TestPicture& picture, uint32_t k) {
  const ColourTable* table = document->colourTable;
  MapForCount(document, table->tally, k);
  std::vector<uint32_t> members(table->count, 0), position(table->count);
  for (uint32_t p = 0; p < table->count; ++p) position[document->mergeOrder->order[p]] = p;
  for (uint32_t i = 0; i < table->count; ++i) {
    uint32_t x = i;
    while (position[x] >= k) x = table->records[x].mergedInto;
    ASSERT_EQ(table->records[i].representative, x) << "k " << k << " colour " << i;
    ASSERT_TRUE(i == x || position[i] >= k) << "the first k stand for themselves";
    ++members[x];
  }
  for (uint32_t i = 0; i < table->count; ++i) ASSERT_EQ(table->tally[i], members[i]);
  RenderPreview(document);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t own = IndexAt(document->indexImage, x, y);
      ASSERT_EQ(table->records[own].colour, picture.at(x, y));
      ASSERT_EQ(BufferKey(document->workingBuffer, x, y), MappedColour(table, own));
    }
  }
}

// The table against a count of the picture: colours in order of first appearance from
// the top left, each with its pixels.
void CheckFirstAppearance(const ColourTable* table, const std::vector<uint32_t>& keys) {
  std::unordered_map<uint32_t, uint32_t> counts(keys.size());
  std::vector<uint32_t> firstMet;
  for (uint32_t key : keys)
    if (counts[key]++ == 0) firstMet.push_back(key);
  ASSERT_EQ(table->count, firstMet.size());
  for (uint32_t i = 0; i < table->count; ++i) {
    ASSERT_EQ(table->records[i].colour, firstMet[i]) << "colour " << i;
    ASSERT_EQ(table->records[i].count, counts[firstMet[i]]) << "colour " << i;
  }
}

TEST(ColourPipeline, RandomPicturesGiveSoundOrdersMappingsAndMeasures) {
  std::mt19937 rng(2024);
  EngineInit();
  const uint64_t before = JMemBytesInUse();
  for (int trial = 0; trial < 40; ++trial) {
    const int width = 1 + static_cast<int>(rng() % (trial % 5 == 0 ? 3 : 90));
    const int height = 1 + static_cast<int>(rng() % (trial % 7 == 0 ? 3 : 70));
    const int colours = 1 + static_cast<int>(rng() % (trial % 3 == 0 ? 8 : 400));
    TestPicture picture = RandomPicture(rng, width, height, colours, trial % 4 == 0 ? 5 : (trial % 4 == 1 ? 32 : 256));
    Document* document = NewTestDocument(picture);
    ASSERT_TRUE(RunColourPipeline(document));
    EXPECT_EQ(BlockPoolBytes(TreeNodePool()) + BlockPoolBytes(GraphNodePool()), 0u) << "pools emptied";
    const ColourTable* table = document->colourTable;
    const uint32_t n = table->count;
    uint32_t pixels = 0;
    for (uint32_t i = 0; i < n; ++i) pixels += table->records[i].count;
    EXPECT_EQ(pixels, static_cast<uint32_t>(width * height));
    std::vector<uint32_t> ks = {1, n};
    for (int i = 0; i < 6; ++i) ks.push_back(1 + rng() % n);
    for (uint32_t k : ks) CheckMapping(document, picture, k);
    // Asking for no colours keeps the mapping there is.
    std::vector<uint32_t> representatives;
    for (uint32_t i = 0; i < n; ++i) representatives.push_back(table->records[i].representative);
    MapForCount(document, table->tally, 0);
    for (uint32_t i = 0; i < n; ++i) ASSERT_EQ(table->records[i].representative, representatives[i]);
    // More colours never make the greatest error larger or the quality smaller.
    std::vector<uint32_t> error(n);
    std::vector<uint64_t> quality(n);
    ASSERT_EQ(ComputeMaximumError(document, error.data()), n);
    ASSERT_EQ(ComputeQuality(document, quality.data()), n);
    EXPECT_EQ(error[n - 1], 0u);
    EXPECT_EQ(quality[n - 1], 768ull * width * height);
    for (uint32_t k = 1; k < n; ++k) ASSERT_TRUE(error[k] <= error[k - 1] && quality[k] >= quality[k - 1]) << k;
    FreeTestDocument(document);
  }
  EXPECT_EQ(JMemBytesInUse(), before) << "the pipeline leaves nothing behind";
}

// Big enough for the index image, the first searches and the preview to be made on
// two processors, with an odd number of rows; and with no second thread to be
// had. Colours are numbered in order of first appearance from the top left.
TEST(ColourPipeline, AHelperThreadChangesNothing) {
  std::mt19937 rng(7);
  TestPicture picture = RandomPicture(rng, 1031, 1021, 20000);
  // Colours only in the bottom rows, and one met first at the very end.
  for (int x = 0; x < 50; ++x) picture.keys[picture.keys.size() - 1 - static_cast<size_t>(x) * 3] = 0xFEDC00u + x;
  std::vector<uint32_t> orders[2];
  for (bool helpers : {true, false}) {
    SCOPED_TRACE(helpers ? "with a helper thread" : "no thread can be started");
    HelperThreadsAllow(helpers);
    Document* document = NewTestDocument(picture);
    ASSERT_TRUE(RunColourPipeline(document));
    const ColourTable* table = document->colourTable;
    CheckFirstAppearance(table, picture.keys);
    for (uint32_t k : {300u, table->count}) CheckMapping(document, picture, k);
    HelperThreadsAllow(true);
    orders[helpers].assign(document->mergeOrder->order, document->mergeOrder->order + table->count);
    FreeTestDocument(document);
  }
  EXPECT_EQ(orders[0], orders[1]);
}

// From 2^21 pixels a second thread counts the lower rows into tables of its own, merged
// after the upper rows' (and their pixels' indices renumbered). Here the lower rows'
// colours outgrow its tables (it stops and the main thread counts on); 5,003 colours are
// met in both halves.
TEST(ColourPipeline, TwoThreadHistogramKeepsFirstAppearanceOrderAndCounts) {
  const int side = 1449;  // 2,099,601 pixels; the upper rows are lines 0 to 723
  TestPicture picture{side, side, std::vector<uint32_t>(static_cast<size_t>(side) * side)};
  for (size_t i = 0; i < picture.keys.size(); ++i)
    picture.keys[i] = static_cast<uint32_t>(i < 724u * side || i % 8 == 0 ? i * 7919 % 5003 : 0x800000u + i);
  for (bool helpers : {true, false}) {
    HelperThreadsAllow(helpers);
    Document* document = NewTestDocument(picture);
    ColourTreeFree(BuildHistogram(document, document->workingBuffer));
    HelperThreadsAllow(true);
    CheckFirstAppearance(document->colourTable, picture.keys);
    IndexImage* image = MakeIndexImage(document->workingBuffer);
    for (size_t i = 0; i < picture.keys.size(); ++i)
      ASSERT_EQ(document->colourTable->records[image->indices[i]].colour, picture.keys[i]) << "pixel " << i;
    IndexImageFree(image);
    FreeTestDocument(document);
  }
}

// Pictures the engine cannot hold are refused before anything is allocated; a
// picture without a picture map is worked from its buffer (which a writer's run
// frees once indexed); masks the platform cannot make fail with the memory message.
TEST(ColourPipeline, RefusalsAndFailuresAreReported) {
  Document empty;
  std::memset(&empty, 0, sizeof empty);
  const uint64_t before = JMemBytesInUse();
  const char* problem = nullptr;
  for (auto [w, h] : {std::pair{-25536, 10}, std::pair{10, 0}}) {  // -25536: 40000 in a signed 16-bit field
    empty.width = static_cast<int16_t>(w);
    empty.height = static_cast<int16_t>(h);
    problem = nullptr;
    EXPECT_FALSE(RunColourPipeline(&empty, &problem));
    EXPECT_NE(problem, nullptr);
    EXPECT_EQ(JMemBytesInUse(), before);
  }
  std::mt19937 rng(41);
  TestPicture picture = RandomPicture(rng, 17, 9, 12);
  for (PipelinePixels pixels : {kPipelineKeepsPixels, kPipelineFreesPixels}) {
    Document* document = NewTestDocument(picture);
    JPixMapFree(document->pictureMap);
    document->pictureMap = nullptr;
    ASSERT_TRUE(RunColourPipeline(document, nullptr, pixels));
    EXPECT_EQ(document->workingBuffer == nullptr, pixels == kPipelineFreesPixels);
    const ColourTable* table = document->colourTable;  // its tally, unwritten until the merging is done
    EXPECT_EQ(std::count(table->tally, table->tally + table->count, 0u), table->count) << "cleared";
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        ASSERT_EQ(document->colourTable->records[IndexAt(document->indexImage, x, y)].colour, picture.at(x, y));
      }
    }
    document->colourCount = 3;
    ApplyColourCount(document);  // renders into the buffer if kept; the missing map is passed over
    FreeTestDocument(document);
  }
  Document* document = NewTestDocument(picture);
  platform::Bitmap::FailNextCreations(2);
  EXPECT_FALSE(RunColourPipeline(document, &problem));
  platform::Bitmap::FailNextCreations(0);
  EXPECT_STREQ(problem, "There is not enough memory for a picture of this size.");
  FreeTestDocument(document);
}

// Weights and pictures far larger than the random ones: a 32-bit cost (765 x 6e6)
// would wrap and merge the dominant colour first, a 32-bit budget would wrap too.
TEST(ColourPipeline, LargeWeightsAndPicturesDoNotWrap) {
  TestPicture picture{2, 1, {0x000000, 0xFFFFFF}};
  Document* document = NewTestDocument(picture);
  const uint32_t root = BuildHistogram(document);
  document->colourTable->records[0].count = 6000000;
  document->colourTable->records[1].count = 1000000;
  ColourGraph* graph = BuildColourGraph(document->colourTable, root);
  MergeOrder* order = ComputeColourMaps(graph, document->colourTable, root);
  EXPECT_EQ(order->order[0], 0u) << "the dominant colour survives";
  MergeOrderFree(order);
  FreeColourResults(document);
  ASSERT_TRUE(RunColourPipeline(document));
  document->width = document->height = 30000;
  std::vector<uint64_t> quality(2);
  ComputeQuality(document, quality.data());
  EXPECT_EQ(quality[0], 768ull * 30000 * 30000 - 765);
  document->width = 2;
  document->height = 1;
  FreeTestDocument(document);
}

// The stages report under one report that only moves forward and is closed at the end.
TEST(ColourPipeline, ReportsItsStagesUnderOneProgressReport) {
  static std::vector<uint32_t> done;
  static uint32_t total = 0;
  ProgressHost host{};
  host.tickCount = [](void*) -> uint32_t {
    const ProgressReport* r = ProgressCurrent();
    while (r && r->outer) r = r->outer;
    if (r) {
      done.push_back(r->done);
      total = r->total;
    }
    return 0;
  };
  ProgressSetHost(&host);
  std::mt19937 rng(12);
  Document* document = NewTestDocument(RandomPicture(rng, 300, 3, 200));
  ASSERT_TRUE(RunColourPipeline(document));
  ProgressSetHost(nullptr);
  ASSERT_FALSE(done.empty());
  EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
  EXPECT_LE(done.back(), total);
  EXPECT_EQ(ProgressCurrent(), nullptr);
  FreeTestDocument(document);
}

}  // namespace
