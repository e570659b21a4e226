// The engine's ranking compared with the plain reference in reference_ranking:
// colour table, merge order, merge targets, nearest colours and costs after
// every merge, the tree's leaves and searches, and both measures for every number
// of colours. The pictures are made to tie: colours on small grids, equal
// distances, equal pixel counts, colours apart only in their lowest bits,
// repeated tiles. A mismatch is reported with the picture and its first difference.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "app/colour/ColourGraph.h"
#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTree.h"
#include "app/colour/Histogram.h"
#include "app/colour/Measures.h"
#include "engine_support.h"
#include "reference_ranking.h"

namespace {

// "what: reference a, engine b" when they differ, else "".
template <typename A, typename B>
std::string Differ(const std::string& what, const A& want, const B& got) {
  if (want == got) return "";
  std::ostringstream out;
  out << what << ": reference " << want << ", engine " << got;
  return out.str();
}

template <typename T>
std::string FirstDifference(const char* what, const std::vector<T>& expected, const T* actual, size_t count) {
  std::string problem;
  for (size_t i = 0; problem.empty() && i < count; ++i) {
    problem = Differ(std::string(what) + "[" + std::to_string(i) + "]", expected[i], actual[i]);
  }
  return problem;
}

std::string CompareMeasures(Document* document, const reference::Ranking& expected,
                            const std::vector<uint8_t>& transparent, const std::string& label) {
  const uint32_t n = document->colourTable->count;
  std::vector<uint32_t> errors(n, 12345), expectedErrors;  // entries past c must be marked unmeasured
  std::vector<uint64_t> quality(n, 12345), expectedQuality;
  const uint32_t c = ComputeMaximumError(document, errors.data());
  uint32_t expectedC = 0;
  for (uint32_t i = 0; i < n; ++i) expectedC += transparent[i] ? 0 : 1;
  std::string problem = Differ("available colours", expectedC, c);
  if (problem.empty()) problem = Differ("available colours (quality)", expectedC, ComputeQuality(document, quality.data()));
  expected.Measures(transparent, &expectedErrors, &expectedQuality);
  if (problem.empty()) problem = FirstDifference("maximum error", expectedErrors, errors.data(), n);
  if (problem.empty()) problem = FirstDifference("quality", expectedQuality, quality.data(), n);
  return problem.empty() ? problem : label + ": " + problem;
}

// The whole pipeline against the reference: table, order, merge targets, measures.
// With `withTransparency`, the measures are also compared with some colours marked
// transparent: the longest-surviving one opaque, then transparent (the walks then
// meet one merge more than the arrays hold below c, and it is dropped), then all.
std::string CompareWhole(const TestPicture& picture, bool withTransparency) {
  reference::Ranking expected(picture.width, picture.height, picture.keys);
  expected.BuildGraph();
  expected.RunToEnd();
  Document* document = NewTestDocument(picture);
  if (!RunColourPipeline(document)) {
    FreeTestDocument(document);
    return "the pipeline refused the picture";
  }
  ColourTable* table = document->colourTable;
  const uint32_t n = expected.ColourCount();
  auto field = [&](uint32_t ColourRecord::*member) {
    std::vector<uint32_t> values;
    for (uint32_t i = 0; i < table->count; ++i) values.push_back(table->records[i].*member);
    return values;
  };
  std::string problem = Differ("colours", n, table->count);
  if (problem.empty()) problem = Differ("merges", n, document->mergeOrder->count);
  if (problem.empty()) problem = FirstDifference("colour", expected.Colours(), field(&ColourRecord::colour).data(), n);
  if (problem.empty()) problem = FirstDifference("count", expected.Counts(), field(&ColourRecord::count).data(), n);
  if (problem.empty()) problem = FirstDifference("merge order", expected.Order(), document->mergeOrder->order, n);
  if (problem.empty()) problem = FirstDifference("mergedInto", expected.MergedInto(), field(&ColourRecord::mergedInto).data(), n);
  if (problem.empty()) problem = CompareMeasures(document, expected, std::vector<uint8_t>(n, 0), "all colours");
  for (int run = 0; problem.empty() && withTransparency && n > 1 && run < 3; ++run) {
    std::vector<uint8_t> transparent(n, run == 2);
    for (uint32_t i = 0; run < 2 && i < n; ++i) transparent[i] = (i * 7 + n) % 3 == 0;
    if (run < 2) transparent[expected.Order()[0]] = static_cast<uint8_t>(run);
    if (run < 2) transparent[expected.Order()[n - 1]] = 0;
    TransparentListClear(&document->transparentList);
    for (uint32_t i = 0; i < n; ++i) {
      table->transparent[i] = 0;
      if (transparent[i]) MarkColour(document, i);
    }
    problem = CompareMeasures(document, expected, transparent, "transparency run " + std::to_string(run));
  }
  FreeTestDocument(document);
  return problem;
}

// The graph's state: nearest colour and cost of every colour still present and,
// when `deep`, the level of each colour's leaf (it decides which neighbourhood the
// next search looks at) and a fresh search of every colour, not only of those the
// merge searched again.
std::string CompareGraphState(const ColourGraph* graph, uint32_t root, const ColourTable* table,
                              reference::Ranking& expected, const std::string& when, bool deep) {
  if (expected.HeapCount() <= 1) return "";  // the last colour's nearest is gone; it goes into itself
  std::vector<uint32_t> nodes(expected.ColourCount(), 0);  // a colour's node is in the heap while it is present
  for (uint32_t slot = 0; slot < graph->heap->count; ++slot) {
    const uint32_t handle = HeapBlockAt(graph->heap, slot);
    if (GraphNodeAt(handle)->index < nodes.size()) nodes[GraphNodeAt(handle)->index] = handle;
  }
  std::string problem;
  for (uint32_t i = 0; problem.empty() && i < expected.ColourCount(); ++i) {
    const std::string what = when + ", colour " + std::to_string(i) + ": ";
    problem = Differ(what + "present", expected.Alive(i), nodes[i] != 0);
    if (!problem.empty() || !expected.Alive(i)) continue;
    const GraphNode* node = GraphNodeAt(nodes[i]);
    problem = Differ(what + "nearest", expected.Nearest(i), GraphNodeAt(node->nearest)->index);
    if (problem.empty()) problem = Differ(what + "cost", expected.Cost(i), HeapKeyAt(graph->heap, node->heapPosition));
    if (!deep || !problem.empty()) continue;
    const uint32_t colour = expected.Colours()[i];
    int level = 7;
    for (uint32_t slot = root; level >= 0; --level) {
      slot = TreeSlotsAt(slot)[ColourSlot(colour, level)];
      if (slot == 0) level = -1;
      if (slot == 0 || SlotIsLeaf(slot)) break;
    }
    problem = Differ(what + "leaf level", expected.Tree().LeafLevel(colour), level);
    if (problem.empty()) {
      problem = Differ(what + "searched nearest", expected.Tree().FindNearest(colour, expected.Colours()),
                       FindNearestColour(root, colour));
    }
  }
  return problem;
}

// The graph driven one merge at a time through its public stages. The tree is
// the histogram's (built at once) or made by adding pixels one by one.
std::string CompareSteps(const TestPicture& picture, bool addOneByOne) {
  reference::Ranking expected(picture.width, picture.height, picture.keys);
  Document* document = NewTestDocument(picture);
  uint32_t root = 0;
  if (addOneByOne) {
    document->colourTable = ColourTableCreate(kColourTableInitialCapacity);
    root = ColourTreeNew();
    for (uint32_t key : picture.keys) ColourTreeAdd(root, document->colourTable, key);
  } else {
    root = BuildHistogram(document);
  }
  ColourTable* table = document->colourTable;
  const uint32_t n = expected.ColourCount();
  std::string problem = Differ("colours", n, table->count);
  ColourGraph* graph = problem.empty() ? BuildColourGraph(table, root) : nullptr;
  if (graph) {
    expected.BuildGraph();
    const bool deep = n <= 200;
    problem = CompareGraphState(graph, root, table, expected, "after building the graph", true);
    for (uint32_t s = 0; problem.empty() && s < n; ++s) {
      uint32_t removed = 0, into = 0, wantRemoved = 0, wantInto = 0;
      MergeStep(graph, table, root, &removed, &into);
      expected.Step(&wantRemoved, &wantInto);
      const std::string when = "merge step " + std::to_string(s);
      problem = Differ(when + " removed", wantRemoved, removed);
      if (problem.empty()) problem = Differ(when + " into", wantInto, into);
      if (problem.empty() && (deep || s % 64 == 0)) problem = CompareGraphState(graph, root, table, expected, when, deep);
    }
    // Finish the engine's merges so that its pools are empty again.
    for (uint32_t removed = 0, into = 0, left = graph->heap->count; left > 0; --left) {
      MergeStep(graph, table, root, &removed, &into);
    }
    ColourGraphFree(graph);
  }
  ColourTreeFree(root);
  FreeTestDocument(document);
  return problem;
}

// A mismatch names the picture (its trial makes it again) and the first difference.
void ExpectSame(const std::string& name, const TestPicture& picture,
                const std::function<std::string(const TestPicture&)>& check) {
  const std::string problem = check(picture);
  if (!problem.empty()) ADD_FAILURE() << name << " (" << picture.width << " x " << picture.height << "): " << problem;
}

// ---------------------------------------------------------------- pictures

using Rng = std::mt19937;

int Uniform(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

TestPicture FromPalette(Rng& rng, int w, int h, const std::vector<uint32_t>& palette, bool equalCounts) {
  TestPicture p{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h)};
  const int last = static_cast<int>(palette.size()) - 1;
  for (size_t i = 0; i < p.keys.size(); ++i) p.keys[i] = palette[equalCounts ? i % palette.size() : Uniform(rng, 0, last)];
  return p;
}

// Colours on a grid of `levels` values per component, `step` apart: equal
// distances everywhere, and grid steps that fall on the tree's cell borders.
std::vector<uint32_t> GridPalette(Rng& rng, int colours, int levels, int step, int offset) {
  std::vector<uint32_t> palette;
  auto v = [&] { return offset + step * Uniform(rng, 0, levels - 1); };
  for (int i = 0; i < colours; ++i) palette.push_back(Key(v(), v(), v()));
  return palette;
}

// Colours around one base that differ only in their lowest bits.
std::vector<uint32_t> LowBitPalette(Rng& rng, int colours, int bits) {
  const int mask = (1 << bits) - 1;
  const uint32_t base = Key(Uniform(rng, 0, 255), Uniform(rng, 0, 255), Uniform(rng, 0, 255)) & ~Key(mask, mask, mask);
  std::vector<uint32_t> palette;
  for (int i = 0; i < colours; ++i) palette.push_back(base | Key(Uniform(rng, 0, mask), Uniform(rng, 0, mask), Uniform(rng, 0, mask)));
  return palette;
}

// Components next to the cube's faces and the middle borders of the tree.
std::vector<uint32_t> BorderPalette(Rng& rng, int colours) {
  static const int values[] = {0, 1, 2, 63, 64, 126, 127, 128, 129, 191, 192, 253, 254, 255};
  std::vector<uint32_t> palette;
  auto v = [&] { return values[Uniform(rng, 0, 13)]; };
  for (int i = 0; i < colours; ++i) palette.push_back(Key(v(), v(), v()));
  return palette;
}

// A random tile repeated over the picture.
TestPicture Tiled(Rng& rng, int w, int h, const std::vector<uint32_t>& palette) {
  const int tw = Uniform(rng, 1, 6), th = Uniform(rng, 1, 6);
  TestPicture tile = FromPalette(rng, tw, th, palette, false);
  TestPicture p{w, h, {}};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) p.keys.push_back(tile.at(x % tw, y % th));
  }
  return p;
}

TestPicture TieHeavyPicture(Rng& rng, int trial) {
  const int w = Uniform(rng, 1, trial % 4 == 0 ? 4 : 48);
  const int h = Uniform(rng, 1, trial % 5 == 0 ? 4 : 40);
  const int colours = Uniform(rng, 1, trial % 3 == 0 ? 6 : 300);
  std::vector<uint32_t> palette;
  switch (trial % 6) {
    case 0: palette = GridPalette(rng, colours, 3, 1, Uniform(rng, 0, 250)); break;
    case 1: palette = GridPalette(rng, colours, 5, 2, Uniform(rng, 0, 240)); break;
    case 2: palette = GridPalette(rng, colours, 4, 1 << Uniform(rng, 2, 6), 0); break;
    case 3: palette = LowBitPalette(rng, colours, Uniform(rng, 1, 3)); break;
    case 4: palette = BorderPalette(rng, colours); break;
    default: palette = GridPalette(rng, colours, 256, 1, 0); break;
  }
  if (trial % 7 == 3) return Tiled(rng, w, h, palette);
  return FromPalette(rng, w, h, palette, trial % 2 == 0);
}

TestPicture Gradient(int w, int h, bool twoWay) {
  TestPicture p{w, h, {}};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int r = w > 1 ? x * 255 / (w - 1) : 0;
      p.keys.push_back(Key(r, twoWay && h > 1 ? y * 255 / (h - 1) : 40, twoWay ? 90 : r / 2));
    }
  }
  return p;
}

// One pixel, one colour, two colours a bit apart, a checkerboard, gradients, just
// past the colour table's first capacity, and thousands of colours.
std::vector<TestPicture> StructuredPictures() {
  Rng rng(77);
  std::vector<TestPicture> out = {{1, 1, {Key(128, 0, 255)}}, {3, 2, std::vector<uint32_t>(6, Key(10, 20, 30))}};
  out.push_back(FromPalette(rng, 9, 7, {Key(0, 0, 1), Key(0, 0, 0)}, true));
  out.push_back(Tiled(rng, 8, 8, {Key(255, 255, 255), Key(127, 128, 128)}));
  for (TestPicture g : {Gradient(256, 3, false), Gradient(300, 1, false), Gradient(64, 64, true), Gradient(1, 200, true)}) {
    out.push_back(g);
  }
  out.push_back(FromPalette(rng, 32, 17, GridPalette(rng, 512, 256, 1, 0), true));
  std::vector<uint32_t> distinct;
  for (int i = 0; i < 520; ++i) distinct.push_back(Key(i & 7, (i >> 3) & 7, i >> 6) * 2);
  out.push_back(FromPalette(rng, 26, 20, distinct, true));
  out.push_back(FromPalette(rng, 60, 50, GridPalette(rng, 3000, 16, 1, 100), false));
  out.push_back(FromPalette(rng, 220, 180, GridPalette(rng, 40000, 256, 1, 0), true));
  return out;
}

// ---------------------------------------------------------------- tests

// Tie-heavy pictures (some compared with transparent colours too), the
// structured ones, and large ones with thousands of colours on small grids.
TEST(EngineAgainstReference, PicturesRankTheSame) {
  EngineInit();
  Rng rng(31337);
  for (int trial = 0; trial < 240; ++trial) {
    const bool transparency = trial % 4 == 1;
    ExpectSame("tie-heavy picture " + std::to_string(trial), TieHeavyPicture(rng, trial),
               [transparency](const TestPicture& p) { return CompareWhole(p, transparency); });
  }
  std::vector<TestPicture> pictures = StructuredPictures();
  Rng large(99);
  pictures.push_back(FromPalette(large, 300, 200, GridPalette(large, 6000, 16, 1, Uniform(large, 0, 239)), true));
  pictures.push_back(FromPalette(large, 256, 256, GridPalette(large, 20000, 32, 4, 0), false));
  pictures.push_back(FromPalette(large, 180, 240, LowBitPalette(large, 9000, 4), true));
  pictures.push_back(Tiled(large, 310, 170, BorderPalette(large, 40)));
  for (size_t i = 0; i < pictures.size(); ++i) {
    ExpectSame("structured or large picture " + std::to_string(i), pictures[i],
               [](const TestPicture& p) { return CompareWhole(p, true); });
  }
}

TEST(EngineAgainstReference, NearestColoursAndCostsMatchAfterEveryMerge) {
  EngineInit();
  Rng rng(4242);
  for (int trial = 0; trial < 120; ++trial) {
    ExpectSame("graph of picture " + std::to_string(trial), TieHeavyPicture(rng, trial),
               [trial](const TestPicture& p) { return CompareSteps(p, trial % 2 == 1); });
  }
  const std::vector<TestPicture> pictures = StructuredPictures();
  for (size_t i = 0; i + 1 < pictures.size(); ++i) {
    ExpectSame("graph of structured picture " + std::to_string(i), pictures[i],
               [i](const TestPicture& p) { return CompareSteps(p, i % 2 == 1); });
  }
  EXPECT_EQ(TreeNodePool()->live, 0u);
  EXPECT_EQ(GraphNodePool()->live, 0u);
}

// A dependent's search after a merge can look further than before (its
// neighbourhood's nodes collapse) and find a colour nearer than the one merged
// away, so its cost falls; the heap only sifts it down, so it stays above
// entries it now undercuts. Here that decides the whole order: a heap that let
// the fallen cost rise would merge colour 3 first instead of colour 2.
TEST(EngineAgainstReference, AFallenCostStaysWhereSiftingDownLeavesIt) {
  EngineInit();
  const uint32_t palette[4] = {0x2EFF19, 0xAB7CCD, 0x448374, 0x4D7E0F};  // 4, 3, 2 and 3 pixels
  TestPicture picture{4, 3, {}};
  for (int i : {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 3, 0}) picture.keys.push_back(palette[i]);
  reference::Ranking risen(picture.width, picture.height, picture.keys);
  risen.RaiseFallenCosts(true);
  risen.BuildGraph();
  risen.RunToEnd();
  ASSERT_EQ(risen.Order(), (std::vector<uint32_t>{3, 1, 0, 2}));

  Document* document = NewTestDocument(picture);
  ASSERT_TRUE(RunColourPipeline(document));
  const uint32_t expected[4] = {0, 1, 3, 2};
  for (uint32_t p = 0; p < 4; ++p) EXPECT_EQ(document->mergeOrder->order[p], expected[p]) << "position " << p;
  FreeTestDocument(document);
  EXPECT_EQ(CompareWhole(picture, true), "");
}

}  // namespace
