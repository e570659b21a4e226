#include <random>
#include <set>

#include "app/colour/ColourTable.h"
#include "app/document/Progress.h"
#include "app/picture/DocumentReading.h"
#include "app/shell/PreviewWindow.h"
#include "documents_fixture.h"
#include "jindep/memory.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "tests/platform/jpeg/jpeg_builder.h"
#include "tests/platform/png/png_builder.h"

namespace {

TEST(SourceWindow, HalvesTogetherUntilBothFitAndNeverBelowOnePixel) {
  int16_t w = 0, h = 0;
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    const int32_t pw = 1 + static_cast<int32_t>(random() % 32767), ph = 1 + static_cast<int32_t>(random() % 32767);
    const int32_t lw = static_cast<int32_t>(random() % 3000) - 100, lh = static_cast<int32_t>(random() % 3000) - 100;
    SourceWindowSize(pw, ph, lw, lh, &w, &h);
    // It is the first of the sizes (pw >> k, ph >> k), each at least 1, that fits or is 1 x 1.
    for (int k = 0;; ++k) {
      const int32_t cw = pw >> k > 0 ? pw >> k : 1, ch = ph >> k > 0 ? ph >> k : 1;
      if ((cw <= lw && ch <= lh) || (cw == 1 && ch == 1)) {
        ASSERT_EQ(w, cw) << pw << "x" << ph << " in " << lw << "x" << lh;
        ASSERT_EQ(h, ch) << pw << "x" << ph << " in " << lw << "x" << lh;
        break;
      }
    }
  }
}

// Each bar takes room from the other direction, so one bar can call for the other.
TEST(PreviewGeometry, BarsAppearOnlyWhereThePictureDoesNotFitAndNoSizeIsEmpty) {
  struct Case {
    int16_t width, height;
    bool horizontal, vertical;
  } cases[] = {{100, 80, false, false}, {400, 190, true, true}, {400, 100, true, false},
               {290, 400, true, true},   {190, 400, false, true}};
  for (const Case& c : cases) {
    const PreviewView v = PreviewViewFor(300, 200, c.width, c.height, 16);
    EXPECT_EQ(v.horizontalBar, c.horizontal) << c.width << "x" << c.height;
    EXPECT_EQ(v.verticalBar, c.vertical) << c.width << "x" << c.height;
  }
  int16_t w = 0, h = 0;
  PreviewWindowSize(2000, 2000, 150, 0, &w, &h);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
}

TEST(PictureMaps, ASizeOutsideTheLimitsMakesNothingAndSaysWhy) {
  Document d = {};
  const char* problem = nullptr;
  EXPECT_FALSE(MakePictureMaps(&d, 0, 10, &problem));
  EXPECT_NE(problem, nullptr);
  EXPECT_EQ(d.pictureMap, nullptr);
  EXPECT_EQ(d.workingBuffer, nullptr);
  EXPECT_FALSE(MakePictureMaps(&d, 10, -3, &problem));
  EXPECT_EQ(d.pictureMap, nullptr);
  EXPECT_TRUE(MakePictureMaps(&d, 3, 2, &problem));
  EXPECT_EQ(d.workingBuffer->width, 3);
  EXPECT_EQ(d.pictureMap->height, 2);
  JPixMapFree(d.pictureMap);
  JPixelBufferFree(d.workingBuffer);
}

class Documents : public DocumentsTest {};

TEST_F(Documents, ClosingThePreviewGivesBackEveryByteTheDocumentTook) {
  writeBmp("a.bmp", 90, 70, Pattern(90, 70, 40));
  // A first round fills the caches that live for the whole run.
  Document* d = open("a.bmp");
  ASSERT_NE(d, nullptr);
  JRequestClose(d->window);
  drain();
  const uint64_t before = JMemBytesInUse();
  const uint32_t maps = JPixMapLiveCount();
  for (int round = 0; round < 3; ++round) {
    d = open("a.bmp");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(ActiveDocument(), d);
    input().click(client(d->window).left + 20, client(d->window).top + 20);
    drain();
    EXPECT_EQ(d->transparentList.count, 1u);
    // Closed by the user, inside an event step, as in the running program.
    clickCloseBox(d->window);
    drain();
    EXPECT_EQ(OpenDocumentCount(), 0u);
    EXPECT_EQ(ActiveDocument(), nullptr);
    EXPECT_EQ(JPixMapLiveCount(), maps);
    EXPECT_EQ(JMemBytesInUse(), before) << "round " << round;
  }
}

// Closing again from any path while the document closes does nothing.
Document* reentered = nullptr;
int listenerCalls = 0;
void CloseAgain(void*, Document*) {
  ++listenerCalls;
  if (reentered) CloseDocument(reentered);
}

TEST_F(Documents, CloseDocumentRunsOnceWhateverCallsIt) {
  writeBmp("b.bmp", 30, 30, Pattern(30, 30, 5));
  Document* d = open("b.bmp");
  ASSERT_NE(d, nullptr);
  JWindow* preview = d->window;
  reentered = d;
  listenerCalls = 0;
  SetDocumentListener(CloseAgain, nullptr);
  // The close box of the preview, then the closing handler calls CloseDocument once more
  // through the listener while the first call is still under way.
  clickCloseBox(preview);
  JRequestClose(preview);
  drain();
  reentered = nullptr;
  SetDocumentListener(nullptr, nullptr);
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_GE(listenerCalls, 1);
}

TEST_F(Documents, AWindowLargerThanThePictureCentresItOnTheBackground) {
  const std::vector<uint32_t> pixels = Pattern(100, 80, 9);
  writeBmp("small.bmp", 100, 80, pixels);
  Document* d = open("small.bmp");
  ASSERT_NE(d, nullptr);
  d->backgroundColour = {0x1111, 0x8888, 0xEEEE};
  JSizeWindow(d->window, 300, 200);
  drain();
  EXPECT_EQ(d->centreX, 100);
  EXPECT_EQ(d->centreY, 60);
  EXPECT_FALSE(JWidgetVisible(d->horizontalBar));
  EXPECT_FALSE(JWidgetVisible(d->verticalBar));
  const uint32_t background = 0x1188EE;
  EXPECT_EQ(shown(d->window, 99, 60), background);
  EXPECT_EQ(shown(d->window, 100, 59), background);
  EXPECT_EQ(shown(d->window, 200, 139), background);
  EXPECT_EQ(shown(d->window, 299, 199), background);
  EXPECT_EQ(shown(d->window, 100, 60), pixels[0]);
  EXPECT_EQ(shown(d->window, 199, 139), pixels[79 * 100 + 99]);
  // A click in the margin marks nothing.
  input().click(client(d->window).left + 50, client(d->window).top + 30);
  drain();
  EXPECT_EQ(d->transparentList.count, 0u);
  EXPECT_EQ(d->transparencyOn, 0);
}

TEST_F(Documents, ALargePictureScrollsByLinePageAndThumb) {
  const int W = 1000, H = 800;
  const std::vector<uint32_t> pixels = Pattern(W, H, 16);
  writeBmp("big.bmp", W, H, pixels);
  Document* d = open("big.bmp");
  ASSERT_NE(d, nullptr);
  JSizeWindow(d->window, 416, 316);  // 400 x 300 beside the bars
  drain();
  ASSERT_TRUE(JWidgetVisible(d->horizontalBar));
  ASSERT_TRUE(JWidgetVisible(d->verticalBar));
  EXPECT_EQ(JScrollMaximum(d->horizontalBar), 600);
  EXPECT_EQ(JScrollMaximum(d->verticalBar), 500);
  EXPECT_EQ(d->centreX, 0);
  // A press in the track beyond the thumb pages by 50.
  const JWidget* bar = d->horizontalBar;
  input().click(client(d->window).left + bar->x + bar->width - 30, client(d->window).top + bar->y + 5);
  drain();
  EXPECT_EQ(d->scrollX, 50);
  // The end arrow of the vertical bar moves by one line.
  const JWidget* vbar = d->verticalBar;
  input().click(client(d->window).left + vbar->x + 5, client(d->window).top + vbar->y + vbar->height - 5);
  drain();
  EXPECT_EQ(d->scrollY, 1);
  for (int y : {0, 150, 299})
    for (int x : {0, 200, 399}) ASSERT_EQ(shown(d->window, x, y), pixels[(y + 1) * W + x + 50]) << x << "," << y;
  EXPECT_EQ(shown(d->window, 408, 308), 0xFFFFFFu);  // the corner between the bars
  // Clicks hit the picture where it is shown.
  input().click(client(d->window).left + 7, client(d->window).top + 9);
  drain();
  ASSERT_EQ(d->transparentList.count, 1u);
  EXPECT_EQ(d->colourTable->records[d->transparentList.indices[0]].colour, pixels[10 * W + 57]);
  // Wider than the picture: no scrolling, and the picture centred again.
  JSizeWindow(d->window, 1100, 500);
  drain();
  EXPECT_FALSE(JWidgetVisible(d->horizontalBar));
  EXPECT_EQ(d->scrollX, 0);
  EXPECT_EQ(d->centreX, (1100 - 16 - 1000) / 2);  // beside the vertical bar, still needed
}

TEST_F(Documents, ClicksMarkAndUnmarkColoursAndTheOverlayShowsTheBackground) {
  const std::vector<uint32_t> pixels = Pattern(60, 40, 6);
  writeBmp("marks.bmp", 60, 40, pixels);
  Document* d = open("marks.bmp");
  ASSERT_NE(d, nullptr);
  // Backspace with nothing marked does nothing.
  input().key(8, 8);
  drain();
  EXPECT_EQ(d->transparencyOn, 0);
  const uint32_t marked = pixels[5 * 60 + 4];
  input().click(client(d->window).left + 10 + 4, client(d->window).top + 10 + 5);
  drain();
  ASSERT_EQ(d->transparentList.count, 1u);
  EXPECT_EQ(d->transparencyOn, 1);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const uint32_t expected = pixels[y * 60 + x] == marked ? 0xFFFFFFu : pixels[y * 60 + x];
      ASSERT_EQ(shown(d->window, 10 + x, 10 + y), expected) << x << "," << y;
    }
  // The same colour clicked elsewhere is unmarked again.
  int other = 0;
  while (pixels[other] != marked || other == 5 * 60 + 4) ++other;
  input().click(client(d->window).left + 10 + other % 60, client(d->window).top + 10 + other / 60);
  drain();
  EXPECT_EQ(d->transparentList.count, 0u);
  EXPECT_EQ(shown(d->window, 14, 15), marked);
  // Two marked; Delete unmarks the latest.
  input().click(client(d->window).left + 10, client(d->window).top + 10);
  input().click(client(d->window).left + 10 + 4, client(d->window).top + 10 + 5);
  drain();
  ASSERT_EQ(d->transparentList.count, 2u);
  // The rest keeps within the colours left, and none of it shows as the background.
  EXPECT_EQ(d->colourCount, 4u);
  std::set<uint32_t> rest;
  for (int i = 0; i < 60 * 40; ++i)
    if (pixels[i] != pixels[0] && pixels[i] != marked) rest.insert(shown(d->window, 10 + i % 60, 10 + i / 60));
  EXPECT_LE(rest.size(), 4u);
  EXPECT_EQ(rest.count(0xFFFFFFu), 0u);
  input().key(platform::wm::kKeyDelete);
  drain();
  ASSERT_EQ(d->transparentList.count, 1u);
  EXPECT_EQ(d->colourTable->records[d->transparentList.indices[0]].colour, pixels[0]);
  EXPECT_EQ(shown(d->window, 14, 15), marked);
  EXPECT_EQ(shown(d->window, 10, 10), 0xFFFFFFu);
}

TEST_F(Documents, ArrowKeysMoveThePointerByOnePixel) {
  writeBmp("p.bmp", 30, 30, Pattern(30, 30, 2));
  ASSERT_NE(open("p.bmp"), nullptr);
  JSetPointer(100, 100);
  input().key(platform::wm::kKeyRight);
  input().key(platform::wm::kKeyRight);
  input().key(platform::wm::kKeyUp);
  drain();
  int16_t x = 0, y = 0;
  JGetPointer(&x, &y);
  EXPECT_EQ(x, 102);
  EXPECT_EQ(y, 99);
}

// A progress host whose clock runs 300 ms a reading, so that the pipeline's report
// shows its window part way and the source window comes up below it.
struct SourceSeen {
  uint32_t ticks = 0;
  JWindow* progress = nullptr;
  uint32_t sourceId = 0;
  int16_t width = 0, height = 0;
  int sourceTop = 0, progressBottom = 0;
  uint32_t centrePixel = 0;
};
SourceSeen seen;

platform::wm::WindowManager& Wm() { return JWindowManager(); }

const ProgressHost kHost = {
    nullptr,
    [](void*) { return seen.ticks += 300; },
    [](void*, uint32_t) {},
    [](void*, bool) {},
    [](void*, ProgressReport* report, JWindow*) {
      report->window = JNewWindow(nullptr, "", kJWindowPopup);
      JSizeWindow(report->window, 300, 100);
      seen.progress = report->window;
    },
    [](void*, ProgressReport* report) {
      JShowWindow(report->window);
      // The on-show procedure has run: the document holds its source window now.
      const Document* d = static_cast<const Document*>(report->onShowData);
      if (!d || !d->window) return;
      seen.sourceId = d->window->platformWindow;
      JGetWindowContentSize(d->window, &seen.width, &seen.height);
      seen.sourceTop = Wm().screenFrame(*Wm().window(seen.sourceId)).top;
      seen.progressBottom = Wm().screenFrame(*Wm().window(report->window->platformWindow)).bottom;
      Wm().compose();
      const platform::Rect c = Wm().screenClientRect(*Wm().window(seen.sourceId));
      seen.centrePixel = Wm().screen().pixel(c.left + seen.width / 2, c.top + seen.height / 2);
    },
    [](void*, ProgressReport*, uint32_t) {},
    [](void*, ProgressReport*) {},
    [](void*, ProgressReport*) {},
    [](void*) {},
    [](void*) {},
    [](void*, ProgressReport* report) { JDisposeWindow(report->window); },
};

class SourceWindowShown : public DocumentsTest {};

TEST_F(SourceWindowShown, ALongReadingShowsThePictureHalvedBelowTheProgressWindowAndClosesIt) {
  const int W = 1600, H = 1000;
  std::vector<uint32_t> pixels(static_cast<size_t>(W) * H, 0x3060C0);
  for (int y = H / 4; y < 3 * H / 4; ++y)
    for (int x = W / 4; x < 3 * W / 4; ++x) pixels[static_cast<size_t>(y) * W + x] = 0xF0A020;
  writeBmp("wide.bmp", W, H, pixels);
  seen = SourceSeen{};
  ProgressSetHost(&kHost);
  Document* d = open("wide.bmp");
  ProgressSetHost(nullptr);
  ASSERT_NE(d, nullptr);
  ASSERT_NE(seen.sourceId, 0u) << "the progress window never appeared";
  int16_t mainLeft, mainTop, mainWidth, mainHeight;
  JGetMainWindowPlace(&mainLeft, &mainTop, &mainWidth, &mainHeight);
  // Halved together until it fits beside the progress window.
  int16_t w = 0, h = 0;
  SourceWindowSize(W, H, mainWidth - 40, mainHeight - 40 - 100, &w, &h);
  EXPECT_EQ(seen.width, w);
  EXPECT_EQ(seen.height, h);
  EXPECT_LT(seen.width, W);
  EXPECT_GE(seen.sourceTop, seen.progressBottom);
  EXPECT_EQ(seen.centrePixel, 0xF0A020u);  // the whole picture, stretched into it
  // Gone once the pipeline finished; the preview took its place.
  EXPECT_EQ(Wm().window(seen.sourceId), nullptr);
  EXPECT_STREQ(d->window->title, "wide (Preview)");
}

class OpenRequest : public DocumentsTest {};

// Anything that does not open is refused with a beep and an alert naming the file, and
// the open document stays.
TEST_F(OpenRequest, OnlyReadablePicturesOpenAndEveryRefusalNamesTheFile) {
  writeBmp("Harbour.bmp", 10, 10, Pattern(10, 10, 2));
  OpenDocumentsRequest(nullptr, (dir_ + "Harbour.bmp").c_str());
  drain();
  ASSERT_EQ(OpenDocumentCount(), 1u);
  EXPECT_STREQ(ActiveDocument()->name, "Harbour");
  writeFile("notes.txt", {'h', 'i'});
  writeFile("old.pct", {'P', 'I', 'C', 'T'});  // a picture type, but neither bitmap nor metafile inside
  writeFile("empty.wmf", {1, 2, 3});
  const struct {
    const char* file;
    const char* named;
  } refused[] = {{"notes.txt", "\"notes\" is not a supported file type"},
                 {"old.pct", "\"old.pct\""},
                 {"empty.wmf", "\"empty.wmf\""},
                 {"missing.bmp", "\"missing.bmp\""}};
  for (const auto& r : refused) {
    const int beeps = wm().beepCount();
    OpenDocumentsRequest(nullptr, (dir_ + r.file).c_str());
    drain();
    EXPECT_EQ(OpenDocumentCount(), 1u) << r.file;
    EXPECT_EQ(wm().beepCount(), beeps + 1) << r.file;
    EXPECT_NE(messageShown().find(r.named), std::string::npos) << messageShown();
  }
}

TEST_F(OpenRequest, PngAndJpegFilesOpenAndAPngsClearPixelsStayTransparent) {
  PngSpec png;
  png.width = 3;
  png.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  png.samples = {255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 255};  // red, a clear pixel, blue
  writeFile("Logo.png", BuildPng(png));
  OpenDocumentsRequest(nullptr, (dir_ + "Logo.png").c_str());
  drain();
  ASSERT_EQ(OpenDocumentCount(), 1u);
  const Document* d = ActiveDocument();
  EXPECT_STREQ(d->name, "Logo");
  EXPECT_EQ(d->colourTable->count, 3u);
  EXPECT_TRUE(d->transparencyOn);
  EXPECT_EQ(d->transparentList.count, 1u);
  EXPECT_EQ(d->colourCount, 2u) << "the colours left to keep";
  writeFile("Field.jpg", BuildJpeg(SmoothJpeg(16, 8, 3, true)));
  OpenDocumentsRequest(nullptr, (dir_ + "Field.jpg").c_str());
  drain();
  ASSERT_EQ(OpenDocumentCount(), 2u);
  EXPECT_STREQ(ActiveDocument()->name, "Field");
  EXPECT_EQ(ActiveDocument()->width, 16);
}

}  // namespace
