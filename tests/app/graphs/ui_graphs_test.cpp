#include <cstdlib>
#include <filesystem>

#include "app/colour/ColourMaps.h"
#include "app/colour/IndexImage.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "app/graphs/ControlsPanelState.h"
#include "app/graphs/FileSizeGraph.h"
#include "app/graphs/GraphMapping.h"
#include "app/graphs/GraphWindow.h"
#include "app/graphs/MeasureGraphs.h"
#include "app/picture/DocumentPicture.h"
#include "app/shell/GraphCommands.h"
#include "jindep/Ji_tidge_popup.h"
#include "jwin/toolkit_start.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

class Graphs : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    InstallGraphChoice();
  }
  // Idle runs with the clock moving: plotting and sampling go on.
  void idle(int runs) {
    for (int i = 0; i < runs; ++i) {
      input().virtualClock().advance(1);
      JEventStep(nullptr, false);
    }
    wm().compose();
  }
  Document* openAllGraphs(const std::string& name) {
    Document* d = open(name);
    if (!d) return nullptr;
    OpenQualityGraph(d);
    OpenMaximumErrorGraph(d);
    StartFileSizeSampling(d);
    drain();
    return d;
  }
  // Moves the pointer to a graph's pixel, and clicks there if asked.
  void moveTo(const GraphRecord* g, int x, int y, bool press = false) {
    const platform::Rect c = client(g->graphWindow);
    press ? input().click(c.left + x, c.top + y) : input().mouseMove(c.left + x, c.top + y);
    drain();
  }
  uint32_t graphPixel(const GraphRecord* g, int x, int y) { return shown(g->graphWindow, x, y) & 0xFFFFFF; }
  void screenshot(const std::string& name) {
    std::filesystem::create_directories(TINTWELL_BINARY_DIR);
    wm().compose();
    wm().screen().saveBmp(std::string(TINTWELL_BINARY_DIR) + "/" + name);
  }
};

TEST_F(Graphs, PointerSnapsEveryCursorAndTheCurveLiesWhereTheMappingSays) {
  const int W = 80, H = 60;
  writeBmp("scene.bmp", W, H, Pattern(W, H, 600));
  Document* d = openAllGraphs("scene.bmp");
  ASSERT_NE(d, nullptr);
  idle(400);  // part of the size curve measured, every plot drawn
  GraphRecord* quality = d->graphs[0];
  GraphRecord* size = d->graphs[2];
  ASSERT_TRUE(quality && d->graphs[1] && size);
  ASSERT_TRUE(quality->valid && size->valid);

  for (GraphRecord* g : d->graphs) {
    // Every plotted value is a black pixel where the mapping puts it (the cursor is away).
    int checked = 0;
    for (uint32_t k = g->dataFirst; k <= g->dataLast; k += 7) {
      if (!GraphHasValue(g, k)) continue;
      EXPECT_EQ(graphPixel(g, GraphXForK(g, k), GraphYForValue(g, GraphValue(g, k))), 0u) << g->kind << " k " << k;
      ++checked;
    }
    EXPECT_GT(checked, 5) << g->kind;
  }

  // The pointer over any graph moves all three cursors to their nearest plotted k.
  for (GraphRecord* over : d->graphs)
    for (int x = over->plotLeft + 2; x < over->plotLeft + over->plotWidth - 2; x += 23) {
      moveTo(over, x, over->plotTop + over->plotHeight / 2);
      const uint32_t k = SnapGraphK(over, GraphKForX(over, static_cast<int16_t>(x)));
      for (GraphRecord* g : d->graphs) {
        ASSERT_GE(g->cursorX, 0);
        EXPECT_EQ(g->cursorK, SnapGraphK(g, k)) << "over " << over->kind << " graph " << g->kind;
        EXPECT_TRUE(GraphHasValue(g, g->cursorK));
      }
    }
  // Leaving the plot takes every cursor away.
  moveTo(quality, 2, 2);
  for (GraphRecord* g : d->graphs) EXPECT_LT(g->cursorX, 0);
}

TEST_F(Graphs, ClickOrSpaceChoosesColoursWithinWhatCanBeShown) {
  const int W = 80, H = 60;
  const std::vector<uint32_t> pixels = Pattern(W, H, 600);
  writeBmp("scene.bmp", W, H, pixels);
  Document* d = openAllGraphs("scene.bmp");
  ASSERT_NE(d, nullptr);
  idle(50);
  GraphRecord* q = d->graphs[0];
  const int y = q->plotTop + q->plotHeight / 2;
  moveTo(q, q->plotLeft + q->plotWidth / 3, y, true);
  const uint32_t chosen = q->cursorK;
  EXPECT_EQ(d->colourCount, chosen);
  EXPECT_EQ(JGetFieldText(d->controls->coloursField), std::to_string(chosen));  // the controls follow
  // The preview shows the picture at that count.
  std::vector<uint32_t> tally(d->colourTable->count);
  MapForCount(d, tally.data(), chosen);
  for (int py = 0; py < H; py += 11)
    for (int px = 0; px < W; px += 13)
      EXPECT_EQ(shown(d->window, d->centreX + px, d->centreY + py) & 0xFFFFFF,
                MappedColour(d->colourTable, IndexAt(d->indexImage, px, py)));
  // With the global table no more than 256 colours can be chosen.
  d->useGlobalTable = 1;
  moveTo(q, q->plotLeft + q->plotWidth - 5, y);
  ASSERT_GT(q->cursorK, 256u);
  input().key(' ', ' ');
  drain();
  EXPECT_EQ(d->colourCount, 256u);
  // Without a cursor a click only beeps.
  moveTo(q, 1, 1);
  const int beeps = input().beeps();
  moveTo(q, 1, 1, true);
  EXPECT_EQ(input().beeps(), beeps + 1);
  EXPECT_EQ(d->colourCount, 256u);
}

TEST_F(Graphs, OneColourIsIllDefinedAndMarkingWhileSamplingKeepsTheDocumentsMapping) {
  writeBmp("flat.bmp", 20, 10, std::vector<uint32_t>(200, 0x336699));
  Document* flat = openAllGraphs("flat.bmp");
  ASSERT_NE(flat, nullptr);
  idle(20);
  for (GraphRecord* g : flat->graphs) EXPECT_FALSE(g->valid) << g->kind;
  CloseDocument(flat);

  const int W = 60, H = 40;
  writeBmp("scene.bmp", W, H, Pattern(W, H, 300));
  Document* d = open("scene.bmp");
  ASSERT_NE(d, nullptr);
  d->colourCount = 40;
  UpdateDocumentPicture(d);
  StartFileSizeSampling(d);
  idle(30);  // samples for other numbers of colours have been mapped meanwhile
  input().click(client(d->window).left + d->centreX + 9, client(d->window).top + d->centreY + 5);
  drain();
  ASSERT_EQ(d->transparentList.count, 1u);
  std::vector<uint32_t> fresh(d->colourTable->count);
  std::vector<uint32_t> kept(d->colourTable->tally, d->colourTable->tally + d->colourTable->count);
  MapForCount(d, fresh.data(), d->colourCount);
  EXPECT_EQ(kept, fresh);
}

uint64_t StreamSize(Document* d, uint32_t x) {
  std::vector<uint32_t> tally(d->colourTable->count);
  MapForCount(d, tally.data(), x);
  uint64_t total = 0;
  for (uint32_t pass = 1;; ++pass) {
    GifSinkBegin(nullptr, nullptr);
    const bool more = GifWritePass(d, tally.data(), x, pass);
    total += GifSinkCount();
    if (!more) return total;
  }
}

// Every sampled size is the size of the whole stream for that number of colours, whatever
// the settings (passes measured once and reused included).
TEST_F(Graphs, SampledSizesAreTheSizesOfTheWholeStreams) {
  const int W = 50, H = 30;
  writeBmp("scene.bmp", W, H, Pattern(W, H, 400));
  Document* d = open("scene.bmp");
  ASSERT_NE(d, nullptr);
  StartFileSizeSampling(d);
  const struct {
    uint16_t first, later;
    bool global, mark, interlace;
  } settings[] = {{8, 2, false, false, false}, {3, 3, false, false, true}, {3, 3, false, true, true},
                  {8, 8, true, false, false}};
  for (const auto& s : settings) {
    d->firstPassBits = s.first;
    d->laterPassBits = s.later;
    d->useGlobalTable = s.global;
    d->interlaceLater = s.interlace;
    if (s.mark) input().click(client(d->window).left + d->centreX + 3, client(d->window).top + d->centreY + 3);
    drain();
    RestartSizeEstimate(d, true);
    idle(6000);
    GraphRecord* g = d->graphs[2];
    int measured = 0;
    for (uint32_t x = g->xMin; x <= g->xMax; ++x) {
      if (!GraphHasValue(g, x)) continue;
      ++measured;
      ASSERT_EQ(GraphValue(g, x), StreamSize(d, x)) << x << " later bits " << s.later;
    }
    EXPECT_GT(measured, 200);
  }
}

// A photograph with its preview and the three graphs, before and after choosing 16
// colours in the quality graph, saved for a person to look at.
TEST_F(Graphs, PhotographScreenshots) {
  const char* source = "/usr/share/backgrounds/gnome/adwaita-l.webp";
  if (!std::filesystem::exists(source) || std::system("command -v convert >/dev/null") != 0)
    GTEST_SKIP() << "no desktop background or ImageMagick to make a photograph from";
  // The desktop's usual size, so the windows sit side by side as a user sees them.
  CloseAllDocuments();
  JToolkitShutdown();
  static char program[] = "tintwell";
  static char* argv[] = {program, nullptr};
  JStartValues v = {"headless", 1280, 800, 1, argv, 0, 0};
  ASSERT_TRUE(JToolkitInit(&v));
  const std::string bmp = dir_ + "photo.bmp";
  ASSERT_EQ(std::system(("convert " + std::string(source) + " -resize 320x200! -type TrueColor BMP3:" + bmp).c_str()),
            0);
  Document* d = openAllGraphs("photo.bmp");
  ASSERT_NE(d, nullptr);
  idle(3000);
  screenshot("graphs-photo.bmp");
  GraphRecord* q = d->graphs[0];
  // A few colours are told apart on the log scale: chosen in the horizontal popup.
  const platform::Rect popup = client(q->graphWindow);
  const int px = popup.left + q->xPopup->x + q->xPopup->width / 2, py = popup.top + q->xPopup->y + 5;
  input().mouseDown(px, py);
  drain();
  input().mouseMove(px, py + 1);  // a move over the selected item arms the list
  drain();
  const JRect log = JPopupListItemRect(1);
  input().mouseMove((log.left + log.right) / 2, (log.top + log.bottom) / 2);
  input().mouseUp((log.left + log.right) / 2, (log.top + log.bottom) / 2);
  drain();
  ASSERT_FALSE(q->xLinear);
  idle(100);
  // Near 16 with the pointer, onto 16 with the arrows (which bring the pointer along), click.
  moveTo(q, GraphXForK(q, 16), q->plotTop + q->plotHeight / 2);
  for (int i = 0; i < 10 && q->cursorK != 16; ++i) {
    input().key(q->cursorK < 16 ? platform::wm::kKeyRight : platform::wm::kKeyLeft);
    drain();
  }
  ASSERT_EQ(q->cursorK, 16u);
  input().click(wm().pointer().x, wm().pointer().y);
  drain();
  EXPECT_EQ(d->colourCount, 16u);
  idle(100);
  screenshot("graphs-photo-16.bmp");
}

}  // namespace
