#include "clipboard_test_util.h"
#include "platform/clipboard/PictureFromMetafile.h"
#include "platform/metafile/Player.h"
#include "platform/raster/DeviceContext.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace clip = platform::clipboard;
namespace wmf = platform::wmf;

namespace {

using cliptest::ClipboardTest;

// Boxes in three colours over (left, top) .. (left + w, top + h) of the metafile's own
// coordinates, with a diagonal line, so that a shifted or scaled drawing shows.
WmfBuilder Drawing(int left, int top, int w, int h) {
  WmfBuilder b;
  b.pen(5, 0, 0).brush(0, 0x2040C0).select(0).select(1);
  b.add(0x041B, {top + h, left + w, top, left});
  b.brush(0, 0xE0A010).select(2).add(0x041B, {top + h / 2, left + w / 2, top, left});
  b.brush(0, 0x10C060).select(3).add(0x041B, {top + h, left + w, top + h * 3 / 4, left + w * 3 / 4});
  b.pen(0, 1, 0xFF00FF).select(4).add(0x0214, {top, left}).add(0x0213, {top + h, left + w});
  return b;
}

// The file's records played with its box mapped onto (0, 0, width, height), as a file
// is opened and drawn.
std::unique_ptr<platform::Bitmap> AsOpened(const std::vector<uint8_t>& file, platform::Rect box, int width,
                                           int height) {
  std::string reason;
  std::unique_ptr<wmf::Metafile> m = wmf::Metafile::FromFile(file.data(), file.size(), &reason);
  EXPECT_TRUE(m) << reason;
  std::unique_ptr<platform::Bitmap> b = platform::Bitmap::Create(width, height, 32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b->row32(y)[x] = 0xFFFFFF;
  platform::DeviceContext dc(b.get());
  wmf::Play(*m, dc, box, {0, 0, width, height});
  return b;
}

void ExpectDrawsAsOpened(const std::vector<uint8_t>& file, platform::Rect box, int width, int height,
                         const std::string& what) {
  std::string reason;
  std::optional<clip::MetafilePicture> p = clip::PictureFromMetafile(file.data(), file.size(), &reason);
  ASSERT_TRUE(p) << what << ": " << reason;
  EXPECT_EQ(p->mappingMode, clip::kMappingText);
  EXPECT_EQ(p->xExtent, width) << what;
  EXPECT_EQ(p->yExtent, height) << what;
  cliptest::Put(*p);
  std::unique_ptr<platform::Bitmap> drawn = cliptest::TakeAndDraw();
  ASSERT_TRUE(drawn) << what;
  EXPECT_EQ(cliptest::FirstDifference(*drawn, *AsOpened(file, box, width, height)), "") << what;
}

TEST_F(ClipboardTest, PlaceableMetafilesTakeTheirBoxAtItsUnitsPerInch) {
  // 96 units an inch: one unit a pixel, the box moved to the origin.
  ExpectDrawsAsOpened(Drawing(10, 20, 100, 50).placeable(10, 20, 110, 70, 96), {10, 20, 110, 70}, 100, 50,
                      "96 units an inch");
  // 1440 units an inch: a box of 2 by 1 inches is 192 by 96 pixels.
  ExpectDrawsAsOpened(Drawing(-1440, 0, 2880, 1440).placeable(-1440, 0, 1440, 1440, 1440), {-1440, 0, 1440, 1440},
                      192, 96, "1440 units an inch");
  // No units stated: one unit a pixel.
  ExpectDrawsAsOpened(Drawing(0, 0, 40, 30).placeable(0, 0, 40, 30, 0), {0, 0, 40, 30}, 40, 30, "no units");
}

TEST_F(ClipboardTest, PlainMetafilesAreAsLargeAsWhatTheyDraw) {
  ExpectDrawsAsOpened(Drawing(30, 40, 64, 48).bits(), {30, 40, 94, 88}, 64, 48, "plain");
  // The file's own mapping records still apply after the ones put before them.
  WmfBuilder b;
  b.add(0x0103, {8}).add(0x020C, {200, 400}).add(0x020E, {100, 200});
  b.pen(5, 0, 0).brush(0, 0x2040C0).select(0).select(1).add(0x041B, {100, 200, 0, 0});
  b.brush(0, 0xE0A010).select(2).add(0x041B, {50, 100, 0, 0});
  ExpectDrawsAsOpened(b.bits(), {0, 0, 200, 100}, 200, 100, "own extents");
}

TEST_F(ClipboardTest, TheHeldMetafileEndsOnceAndStatesItsLargestRecord) {
  std::vector<uint8_t> file = Drawing(0, 0, 20, 10).bits();
  // Bytes after the end record are not the metafile's and are left behind.
  file.insert(file.end(), {0x11, 0x22, 0x33, 0x44});
  std::string reason;
  std::optional<clip::MetafilePicture> p = clip::PictureFromMetafile(file.data(), file.size(), &reason);
  ASSERT_TRUE(p) << reason;
  std::unique_ptr<wmf::Metafile> m = wmf::Metafile::FromBits(p->bits.data(), p->bits.size(), &reason);
  ASSERT_TRUE(m) << reason;
  struct Count {
    int ends = 0;
    uint32_t largest = 0;
  } count;
  EXPECT_TRUE(m->enumerate(
      [](const wmf::Record& r, void* data) {
        static_cast<Count*>(data)->ends += r.function == 0;
        static_cast<Count*>(data)->largest = std::max(static_cast<Count*>(data)->largest, r.sizeWords);
        return true;
      },
      &count));
  EXPECT_EQ(count.ends, 1);
  EXPECT_EQ(m->bits().size(), p->bits.size());
  EXPECT_EQ(p->bits[12] | p->bits[13] << 8 | p->bits[14] << 16 | p->bits[15] << 24, static_cast<int>(count.largest));
}

TEST_F(ClipboardTest, DamagedEmptyOrOversizedMetafilesAreRefused) {
  const std::vector<uint8_t> file = Drawing(0, 0, 20, 10).placeable(0, 0, 20, 10);
  for (size_t n = 0; n < file.size(); ++n) {
    // Cutting off the end record alone leaves every drawing record whole.
    if (n >= file.size() - 6) continue;
    std::string reason;
    EXPECT_FALSE(clip::PictureFromMetafile(file.data(), n, &reason)) << "cut at " << n;
    EXPECT_FALSE(reason.empty());
  }
  std::string reason;
  WmfBuilder damaged = Drawing(0, 0, 20, 10);
  damaged.addRaw(5000, 0x041B, {1, 2, 3, 4});
  const std::vector<uint8_t> runsPast = damaged.bits();
  EXPECT_FALSE(clip::PictureFromMetafile(runsPast.data(), runsPast.size(), &reason));
  const std::vector<uint8_t> flipped = Drawing(0, 0, 20, 10).placeable(20, 0, 0, 10);
  EXPECT_FALSE(clip::PictureFromMetafile(flipped.data(), flipped.size(), &reason));
  EXPECT_NE(reason.find("no size"), std::string::npos) << reason;
  WmfBuilder nothing;
  nothing.pen(0, 1, 0).select(0);
  const std::vector<uint8_t> empty = nothing.bits();
  EXPECT_FALSE(clip::PictureFromMetafile(empty.data(), empty.size(), &reason));
  const std::vector<uint8_t> wide = Drawing(-20000, 0, 40000, 10).placeable(-20000, 0, 20000, 10);
  EXPECT_FALSE(clip::PictureFromMetafile(wide.data(), wide.size(), &reason));
  EXPECT_NE(reason.find("32767"), std::string::npos) << reason;
}

}  // namespace
