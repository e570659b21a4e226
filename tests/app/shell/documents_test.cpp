#include <set>

#include "app/colour/ColourTable.h"
#include "app/document/Progress.h"
#include "app/shell/PreviewWindow.h"
#include "documents_fixture.h"
#include "jindep/memory.h"
#include "jwin/pixel_map.h"
#include "tests/platform/jpeg/jpeg_builder.h"
#include "tests/platform/png/png_builder.h"

namespace {

// The source window halves both sides together until they fit, never below one pixel;
// each bar of the preview takes room from the other direction, so one can call for the other.
TEST(WindowSizes, SourceHalvesTogetherAndPreviewBarsAppearOnlyWhereThePictureDoesNotFit) {
  const struct {
    int32_t pictureWidth, pictureHeight, limitWidth, limitHeight;
    int16_t width, height;
  } halved[] = {{1600, 1000, 760, 460, 400, 250}, {1000, 100, 600, 1000, 500, 50}, {7, 9, 7, 9, 7, 9},
                {3000, 5, -100, 10, 1, 1},         {40000, 3, 50000, 5, 32767, 3}};
  for (const auto& c : halved) {
    int16_t w = 0, h = 0;
    SourceWindowSize(c.pictureWidth, c.pictureHeight, c.limitWidth, c.limitHeight, &w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(c.width, c.height)) << c.pictureWidth << "x" << c.pictureHeight;
  }
  const struct {
    int16_t width, height;
    bool horizontal, vertical;
  } cases[] = {{100, 80, false, false}, {400, 190, true, true}, {400, 100, true, false},
               {290, 400, true, true},   {190, 400, false, true}};
  for (const auto& c : cases) {
    const PreviewView v = PreviewViewFor(300, 200, c.width, c.height, 16);
    EXPECT_EQ(v.horizontalBar, c.horizontal) << c.width << "x" << c.height;
    EXPECT_EQ(v.verticalBar, c.vertical) << c.width << "x" << c.height;
  }
  int16_t w = 0, h = 0;
  PreviewWindowSize(2000, 2000, 150, 0, &w, &h);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
}

class Documents : public DocumentsTest {};

// Closing again from any path while the document closes does nothing.
Document* reentered = nullptr;
int listenerCalls = 0;
void CloseAgain(void*, Document*) {
  ++listenerCalls;
  if (reentered) CloseDocument(reentered);
}

// Closed by the user, inside an event step as in the running program, while the listener
// calls CloseDocument once more during the first call: the document goes once, and every
// byte it took (a marked colour's included) comes back.
TEST_F(Documents, ClosingThePreviewRunsOnceAndGivesBackEveryByteTheDocumentTook) {
  writeBmp("a.bmp", 90, 70, Pattern(90, 70, 40));
  // A first round fills the caches that live for the whole run.
  Document* d = open("a.bmp");
  ASSERT_NE(d, nullptr);
  JRequestClose(d->window);
  drain();
  const uint64_t before = JMemBytesInUse();
  const uint32_t maps = JPixMapLiveCount();
  d = open("a.bmp");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(ActiveDocument(), d);
  input().click(client(d->window).left + 20, client(d->window).top + 20);
  drain();
  EXPECT_EQ(d->transparentList.count, 1u);
  reentered = d;
  listenerCalls = 0;
  SetDocumentListener(CloseAgain, nullptr);
  clickCloseBox(d->window);
  drain();
  reentered = nullptr;
  SetDocumentListener(nullptr, nullptr);
  EXPECT_GE(listenerCalls, 1);
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_EQ(ActiveDocument(), nullptr);
  EXPECT_EQ(JPixMapLiveCount(), maps);
  EXPECT_EQ(JMemBytesInUse(), before);
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

// In a window larger than the picture it is centred on the background; clicks on it mark
// and unmark colours, the overlay shows the background, and the arrows move the pointer.
TEST_F(Documents, ClicksMarkAndUnmarkColoursOnTheCentredPicture) {
  const std::vector<uint32_t> pixels = Pattern(60, 40, 6);
  writeBmp("marks.bmp", 60, 40, pixels);
  Document* d = open("marks.bmp");
  ASSERT_NE(d, nullptr);
  d->backgroundColour = {0x1111, 0x8888, 0xEEEE};
  JSizeWindow(d->window, 300, 200);
  drain();
  EXPECT_EQ(std::make_pair(d->centreX, d->centreY), std::make_pair(uint16_t{120}, uint16_t{80}));
  EXPECT_FALSE(JWidgetVisible(d->horizontalBar) || JWidgetVisible(d->verticalBar));
  const auto at = [&](int x, int y) { return shown(d->window, 120 + x, 80 + y); };
  const auto click = [&](int x, int y) { input().click(client(d->window).left + 120 + x, client(d->window).top + 80 + y); };
  const uint32_t background = 0x1188EE;
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {60, 39}, {59, 40}, {179, 119}}) EXPECT_EQ(at(x, y), background);
  EXPECT_EQ(at(59, 39), pixels[40 * 60 - 1]);
  // A click in the margin and Backspace with nothing marked do nothing.
  click(-50, -30);
  input().key(8, 8);
  drain();
  EXPECT_EQ(d->transparencyOn, 0);
  const uint32_t marked = pixels[5 * 60 + 4];
  click(4, 5);
  drain();
  ASSERT_EQ(d->transparentList.count, 1u);
  EXPECT_EQ(d->transparencyOn, 1);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(at(x, y), pixels[y * 60 + x] == marked ? background : pixels[y * 60 + x]);
  // The same colour clicked elsewhere is unmarked again.
  int other = 0;
  while (pixels[other] != marked || other == 5 * 60 + 4) ++other;
  click(other % 60, other / 60);
  drain();
  EXPECT_EQ(d->transparentList.count, 0u);
  EXPECT_EQ(at(4, 5), marked);
  // Two marked; Delete unmarks the latest.
  click(0, 0);
  click(4, 5);
  drain();
  ASSERT_EQ(d->transparentList.count, 2u);
  // The rest keeps within the colours left, and none of it shows as the background.
  EXPECT_EQ(d->colourCount, 4u);
  std::set<uint32_t> rest;
  for (int i = 0; i < 60 * 40; ++i)
    if (pixels[i] != pixels[0] && pixels[i] != marked) rest.insert(at(i % 60, i / 60));
  EXPECT_LE(rest.size(), 4u);
  EXPECT_EQ(rest.count(background), 0u);
  input().key(platform::wm::kKeyDelete);
  drain();
  ASSERT_EQ(d->transparentList.count, 1u);
  EXPECT_EQ(d->colourTable->records[d->transparentList.indices[0]].colour, pixels[0]);
  EXPECT_EQ(at(4, 5), marked);
  EXPECT_EQ(at(0, 0), background);
  JSetPointer(100, 100);
  for (uint16_t k : {platform::wm::kKeyRight, platform::wm::kKeyRight, platform::wm::kKeyUp}) input().key(k);
  drain();
  int16_t x = 0, y = 0;
  JGetPointer(&x, &y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(int16_t{102}, int16_t{99}));
}

// A progress host whose clock runs 300 ms a reading, so that the pipeline's report shows
// its window part way; by then the source window is up, and what it shows is noted.
struct SourceSeen {
  uint32_t ticks = 0, id = 0, centrePixel = 0;
  int16_t width = 0, height = 0;
  bool belowProgress = false;
} seen;

void ShowAndLook(void*, ProgressReport* report) {
  JShowWindow(report->window);
  const Document* d = static_cast<const Document*>(report->onShowData);
  if (!d || !d->window) return;
  platform::wm::WindowManager& wm = JWindowManager();
  seen.id = d->window->platformWindow;
  JGetWindowContentSize(d->window, &seen.width, &seen.height);
  seen.belowProgress =
      wm.screenFrame(*wm.window(seen.id)).top >= wm.screenFrame(*wm.window(report->window->platformWindow)).bottom;
  wm.compose();
  const platform::Rect c = wm.screenClientRect(*wm.window(seen.id));
  seen.centrePixel = wm.screen().pixel(c.left + seen.width / 2, c.top + seen.height / 2);
}

TEST_F(Documents, ALongReadingShowsThePictureHalvedBelowTheProgressWindowAndClosesIt) {
  const int W = 1600, H = 1000;
  std::vector<uint32_t> pixels(static_cast<size_t>(W) * H, 0x3060C0);
  for (int y = H / 4; y < 3 * H / 4; ++y)
    for (int x = W / 4; x < 3 * W / 4; ++x) pixels[static_cast<size_t>(y) * W + x] = 0xF0A020;
  writeBmp("wide.bmp", W, H, pixels);
  ProgressHost host{};
  host.tickCount = [](void*) { return seen.ticks += 300; };
  host.createWindow = [](void*, ProgressReport* report, JWindow*) {
    report->window = JNewWindow(nullptr, "", kJWindowPopup);
    JSizeWindow(report->window, 300, 100);
  };
  host.showWindow = ShowAndLook;
  host.closeWindow = [](void*, ProgressReport* report) { JDisposeWindow(report->window); };
  ProgressSetHost(&host);
  Document* d = open("wide.bmp");
  ProgressSetHost(nullptr);
  ASSERT_NE(d, nullptr);
  ASSERT_NE(seen.id, 0u) << "the progress window never appeared";
  int16_t mainLeft, mainTop, mainWidth, mainHeight, w = 0, h = 0;
  JGetMainWindowPlace(&mainLeft, &mainTop, &mainWidth, &mainHeight);
  SourceWindowSize(W, H, mainWidth - 40, mainHeight - 40 - 100, &w, &h);
  EXPECT_EQ(std::make_pair(seen.width, seen.height), std::make_pair(w, h));
  EXPECT_LT(seen.width, W);
  EXPECT_TRUE(seen.belowProgress);
  EXPECT_EQ(seen.centrePixel, 0xF0A020u);  // the whole picture, stretched into it
  // Gone once the pipeline finished; the preview took its place.
  EXPECT_EQ(wm().window(seen.id), nullptr);
  EXPECT_STREQ(d->window->title, "wide (Preview)");
}

// Bitmaps, PNG and JPEG files open, a PNG's clear pixels staying transparent; anything
// else is refused with a beep and an alert naming the file, and the open documents stay.
TEST_F(Documents, OnlyReadablePicturesOpenAndEveryRefusalNamesTheFile) {
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
    EXPECT_EQ(OpenDocumentCount(), 2u) << r.file;
    EXPECT_EQ(wm().beepCount(), beeps + 1) << r.file;
    EXPECT_NE(messageShown().find(r.named), std::string::npos) << messageShown();
  }
}

}  // namespace
