// The toolkit's drawing layer: colours, patterns, areas, transfer modes, text, clip and
// invalidation, checked by the pixels that reach bitmaps and windows.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "jindep/Ji_font.h"
#include "jwin/J_clip.h"
#include "jwin/J_draw.h"
#include "jwin/J_font.h"
#include "jwin/J_gc.h"
#include "jwin/J_inval.h"
#include "jwin/J_patterns.h"
#include "jwin/J_text.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/wm/Desktop.h"

namespace {

using platform::wm::Desktop;

uint32_t Pixel(const JPixMap* map, int x, int y) {
  const platform::Bitmap& b = *map->bitmap;
  if (b.depth() == 1) return (b.row(y)[x >> 3] >> (7 - (x & 7))) & 1;
  return b.row32(y)[x] & 0xFFFFFF;
}

int CountNot(const JPixMap* map, uint32_t blank) {
  int n = 0;
  for (int y = 0; y < map->height; ++y)
    for (int x = 0; x < map->width; ++x) n += Pixel(map, x, y) != blank;
  return n;
}

const JColour kBlack = {0, 0, 0};
const JColour kWhite = {65535, 65535, 65535};
const JColour kRed = {65535, 0, 0};

// Windows of the tests are tokens that the window procedures below resolve.
int gMainToken, gDocToken;
JWindow* const kMain = reinterpret_cast<JWindow*>(&gMainToken);
JWindow* const kDoc = reinterpret_cast<JWindow*>(&gDocToken);
uint32_t gMainId = 0, gDocId = 0;

bool WindowInfo(JWindow* w, uint32_t* id, int16_t* h, int16_t* v) {
  if (w == kMain && gMainId) {
    *id = gMainId;
    *h = 0;
    *v = 0;
    return true;
  }
  if (w == kDoc && gDocId) {
    *id = gDocId;
    *h = -5;  // local (0, 0) is client pixel (-5, -3): the content is scrolled
    *v = -3;
    return true;
  }
  return false;
}

JWindow* MainWindow() { return kMain; }

class Drawing : public ::testing::Test {
 protected:
  void SetUp() override {
    JDrawInit();
    JDrawSetWindowProcs(WindowInfo, MainWindow);
    gc_ = JNewGC();
    JSetGC(gc_);
  }
  void TearDown() override {
    JResetDrawArea(nullptr);
    JSetGC(JDefaultGC());
    JDisposeGC(gc_);
  }
  JPixMap* Colour(int w, int h) {
    JPixMap* map = JPixMapNewDirect(static_cast<int16_t>(w), static_cast<int16_t>(h), 32);
    maps_.emplace_back(map, JPixMapFree);
    return map;
  }
  JGC* gc_ = nullptr;
  std::vector<std::unique_ptr<JPixMap, void (*)(JPixMap*)>> maps_;
};

TEST_F(Drawing, PatternModeFillsInTheDrawingModeAndPlainFillCopies) {
  JPixMap* map = Colour(20, 20);
  JSetDrawBitmap(map);
  JSetForeColour(&kRed);
  JSetDrawMode(kJModeXor);
  JFillRect(0, 0, 10, 10);  // a plain fill ignores the mode
  EXPECT_EQ(CountNot(map, 0xFFFFFF), 100);
  EXPECT_EQ(Pixel(map, 10, 10), 0xFFFFFFu);
  JSetPatternMode(true);
  JFillRect(5, 0, 15, 10);  // red XOR red gives black where they overlap
  EXPECT_EQ(Pixel(map, 2, 2), 0xFF0000u);
  EXPECT_EQ(Pixel(map, 7, 2), 0x000000u);
  EXPECT_EQ(Pixel(map, 12, 2), 0x00FFFFu);  // red XOR white
  JSetPatternMode(false);
  JSetDrawMode(kJModeCopy);
}

TEST_F(Drawing, PatternBrushesDrawTheirArtworkInForegroundAndBackground) {
  JPixMap* map = Colour(16, 16);
  JSetDrawBitmap(map);
  JSetForeColour(&kRed);
  const JColour blue = {0, 0, 65535};
  JSetBackColour(&blue);
  JSetFillPattern(95);  // resource 257
  JFillRect(0, 0, 16, 16);
  uint8_t ink[8];
  ASSERT_TRUE(JPatternArtwork(257, ink));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool on = (ink[y & 7] >> (7 - (x & 7))) & 1;
      ASSERT_EQ(Pixel(map, x, y), on ? 0xFF0000u : 0x0000FFu);
    }
  JSetFillPattern(1);
  JFillRect(0, 0, 16, 16);
  EXPECT_EQ(CountNot(map, 0xFF0000), 0);
}

TEST_F(Drawing, DisposingTheCurrentBitmapLeavesTheMainWindowCurrent) {
  JPixMap* bits = JNewBitmap(16, 8);
  ASSERT_TRUE(bits);
  EXPECT_EQ(bits->depth, 1);
  JSetDrawBitmap(bits);
  EXPECT_EQ(JCurrentDrawBitmap(), bits);
  JDisposeBitmap(bits);
  EXPECT_EQ(JCurrentDrawKind(), kJAreaWindow);
  EXPECT_EQ(JCurrentDrawWindow(), kMain);
  // A bad area is refused and the current one kept.
  JSetDrawBitmap(nullptr);
  EXPECT_EQ(JCurrentDrawWindow(), kMain);
}

TEST_F(Drawing, TransferModesOnOneBitMasks) {
  // Source columns 0, 1 are 0 and 2, 3 are 1; destination columns 0, 2 are 0 and 1, 3 are 1.
  struct Case {
    int16_t mode;
    uint32_t expect[4];  // indexed by column
  };
  const Case cases[] = {
      {kJCopyPlain, {0, 0, 1, 1}},
      {kJCopyAnd, {0, 0, 0, 1}},
      {kJCopyOr, {0, 1, 1, 1}},
      {kJCopyNotSourceOr, {1, 1, 0, 1}},
      {kJCopySource, {0, 0, 1, 1}},  // pattern (black) OR source
  };
  for (const Case& c : cases) {
    JPixMap* src = JNewBitmap(4, 1);
    JPixMap* dst = JNewBitmap(4, 1);
    src->bitmap->row(0)[0] = 0x30;  // 0011....
    dst->bitmap->row(0)[0] = 0x50;  // 0101....
    JSetDrawBitmap(dst);
    JSetForeColour(&kBlack);
    JSetFillPattern(1);
    JCopyBits(src, JRectMake(0, 0, 4, 1), JRectMake(0, 0, 4, 1), c.mode);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(dst, x, 0), c.expect[x]) << "mode " << c.mode << " column " << x;
    JDisposeBitmap(src);
    JDisposeBitmap(dst);
  }
}

TEST_F(Drawing, CopyBitsStretchesBetweenDepths) {
  JPixMap* mask = JNewBitmap(4, 4);
  mask->bitmap->row(0)[0] = 0x50;  // 0101: black, white, black, white
  JPixMap* out = Colour(8, 8);
  JSetDrawBitmap(out);
  JSetForeColour(&kRed);
  JSetBackColour(&kWhite);
  JCopyBits(mask, JRectMake(0, 0, 4, 4), JRectMake(0, 0, 8, 8), kJCopyPlain);
  // Doubled; a 1-bit 0 takes the foreground colour and 1 the background colour.
  EXPECT_EQ(Pixel(out, 0, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(out, 1, 1), 0xFF0000u);
  EXPECT_EQ(Pixel(out, 2, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(out, 4, 1), 0xFF0000u);
  // Mode 0 copies nothing.
  JCopyBits(mask, JRectMake(0, 0, 4, 4), JRectMake(0, 0, 8, 8), kJCopyNone);
  JDisposeBitmap(mask);
}

// A 1-bit map that carries a mask is copied only where the mask is black; with itself as its
// mask it stamps its ink in the foreground colour.
TEST_F(Drawing, AMaskedOneBitCopyDrawsOnlyWhereTheMaskIsBlack) {
  std::mt19937 random(5);
  JPixMap* source = JMaskMapNew(37, 11);
  JPixMap* mask = JMaskMapNew(37, 11);
  for (JPixMap* m : {source, mask})
    for (size_t i = 0; i < m->bitmap->byteSize(); ++i) m->bitmap->bits()[i] = static_cast<uint8_t>(random());
  const JColour green = {0, 65535, 0};
  for (int scale : {1, 2})  // the same size, and stretched to twice it
    for (JPixMap* m : {mask, source}) {
      JPixMapSetMask(source, m);
      const int width = 10 + 35 * scale, height = 10 + 10 * scale;
      JPixMap* dest = Colour(static_cast<int16_t>(width), static_cast<int16_t>(height));
      std::vector<uint32_t> before(width * height);
      for (int i = 0; i < width * height; ++i)
        dest->bitmap->row32(i / width)[i % width] = before[i] = random() & 0xFFFFFF;
      JSetDrawBitmap(dest);
      JSetForeColour(&kRed);
      JSetBackColour(&green);
      JCopyBits(source, JRectMake(2, 1, 37, 11), JRectMake(6, 5, 6 + 35 * scale, 5 + 10 * scale), kJCopyPlain);
      for (int i = 0; i < width * height; ++i) {
        const int x = i % width, y = i / width, sx = 2 + (x - 6) / scale, sy = 1 + (y - 5) / scale;
        const bool ink = x >= 6 && x < 6 + 35 * scale && y >= 5 && y < 5 + 10 * scale && !Pixel(m, sx, sy);
        ASSERT_EQ(Pixel(dest, x, y), !ink ? before[i] : Pixel(source, sx, sy) ? 0x00FF00u : 0xFF0000u) << scale << ":" << i;
      }
    }
  JPixMapSetMask(source, mask);
  JPixMapFree(mask);  // freeing a mask in use takes it off its map
  EXPECT_EQ(source->mask, nullptr);
  JPixMapFree(source);
}

TEST_F(Drawing, TextIsMeasuredAndDrawnInsideItsBox) {
  JPixMap* map = Colour(200, 40);
  JSetDrawBitmap(map);
  JSetGC(gc_);
  JTextSizeRecord size;
  JTextSize("Maximum Error", &size);
  JTextSizeRecord a, b;
  JTextSize("Maximum ", &a);
  JTextSize("Error", &b);
  EXPECT_EQ(size.width, a.width + b.width);
  JDrawText(10, 25, "Maximum Error");
  int ink = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) {
      if (Pixel(map, x, y) == 0xFFFFFF) continue;
      ++ink;
      ASSERT_GE(x, 10);
      ASSERT_LT(x, 10 + size.width);
      ASSERT_GE(y, 25 - size.ascent);
      ASSERT_LT(y, 25 + size.descent);
    }
  EXPECT_GT(ink, 50);
}

TEST_F(Drawing, ClipIsSavedRestoredAndLimitsDrawing) {
  JPixMap* map = Colour(30, 30);
  JSetDrawBitmap(map);
  JClipRecord* saved = JSaveClip();
  JSetClipRect(JRectMake(0, 0, 5, 5));
  JSetForeColour(&kRed);
  JFillRect(0, 0, 30, 30);
  EXPECT_EQ(CountNot(map, 0xFFFFFF), 25);
  JRestoreClip(saved);
  JFillRect(0, 0, 30, 30);
  EXPECT_EQ(CountNot(map, 0xFFFFFF), 900);
  // A record saved on another area is freed without touching this one.
  JPixMap* other = Colour(10, 10);
  JSetDrawBitmap(other);
  JClipRecord* elsewhere = JSaveClip();
  JSetDrawBitmap(map);
  JSetClipRect(JRectMake(0, 0, 2, 2));
  JRestoreClip(elsewhere);
  const JColour green = {0, 65535, 0};
  JSetForeColour(&green);
  JFillRect(0, 0, 30, 30);
  EXPECT_EQ(CountNot(map, 0xFF0000), 4);
}

TEST_F(Drawing, PixelsAndShapesReachTheBitmap) {
  JPixMap* map = Colour(60, 60);
  JSetDrawBitmap(map);
  JSetForeColour(&kRed);
  JSetPixel(3, 4);
  JColour c;
  ASSERT_TRUE(JGetPixel(3, 4, &c));
  EXPECT_EQ(JColourToPlatform(&c), 0xFF0000u);
  EXPECT_FALSE(JGetPixel(60, 4, &c));
  JDrawLine(0, 10, 60, 10);
  EXPECT_EQ(Pixel(map, 59, 10), 0xFF0000u);
  JSetForeColour(&kBlack);
  JDrawOval(20, 20, 40, 40);
  EXPECT_EQ(Pixel(map, 30, 30), 0u);  // the brush fills with the foreground colour
  EXPECT_EQ(Pixel(map, 20, 20), 0xFFFFFFu);
  const JPoint tri[3] = {{45, 45}, {45, 59}, {59, 59}};  // (v, h)
  JDrawPolygon(tri, 3);
  EXPECT_EQ(Pixel(map, 57, 50), 0u);
  EXPECT_EQ(Pixel(map, 50, 57), 0xFFFFFFu);
}

TEST_F(Drawing, WindowsAreDrawnThroughTheirOriginAndInvalidated) {
  auto backend = std::make_unique<platform::backend::HeadlessBackend>();
  Desktop& desktop = Desktop::Start(std::move(backend), 640, 480);
  platform::wm::WindowManager& wm = desktop.wm();
  platform::wm::WindowStyle style;
  gMainId = wm.createWindow(platform::wm::WindowKind::MainFrame, style, "Main", {0, 0, 640, 480});
  gDocId = wm.createWindow(platform::wm::WindowKind::Document, style, "Doc", {10, 10, 200, 150});
  ASSERT_NE(gDocId, 0u);
  platform::Bitmap& backing = wm.window(gDocId)->backing();
  JSetDrawWindow(kDoc);
  JSetGC(gc_);
  JSetForeColour(&kRed);
  JFillRect(5, 3, 6, 4);  // local (5, 3) is client (0, 0)
  EXPECT_EQ(backing.row32(0)[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(backing.row32(0)[1] & 0xFFFFFF, 0xFFFFFFu);
  // Without the pen a window takes fills but no lines; the printer takes nothing.
  JSetDrawWindowWithoutPen(kDoc);
  JDrawLine(5, 4, 25, 4);
  JFillRect(5, 5, 7, 6);
  EXPECT_EQ(backing.row32(1)[0] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(backing.row32(2)[1] & 0xFFFFFF, 0xFF0000u);
  JSetDrawPrinter();
  EXPECT_EQ(JCurrentDrawKind(), kJAreaPrinter);
  JFillRect(0, 0, 10, 10);
  JResetDrawArea(nullptr);
  EXPECT_EQ(JCurrentDrawWindow(), kMain);

  wm.validate(gDocId, {0, 0, 1000, 1000});
  JInvalidateRect(kDoc, JRectMake(5, 3, 15, 13));
  EXPECT_FALSE(wm.window(gDocId)->invalid().empty());
  JValidateRect(kDoc, JRectMake(5, 3, 15, 13));
  EXPECT_TRUE(wm.window(gDocId)->invalid().empty());
  JInvalidateRect(nullptr, JRectMake(0, 0, 1, 1));  // reported, nothing else

  const int beeps = wm.beepCount();
  JSetGC(nullptr);
  EXPECT_EQ(wm.beepCount(), beeps + 1);
  gMainId = gDocId = 0;
  Desktop::Stop();
}

}  // namespace
