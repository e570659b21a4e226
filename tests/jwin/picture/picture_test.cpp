#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "jindep/memory.h"
#include "jwin/J_file.h"
#include "jindep/string_lists.h"
#include "jwin/picture.h"
#include "jwin/picture_limit.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "platform/dib/bmp_builder.h"
#include "platform/metafile/wmf_builder.h"

namespace {

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    JFileTypesInit();
    char pattern[] = "/tmp/tintwell-picture-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
  }
  void TearDown() override {
    if (spec_) JFileSpecFree(spec_);
    std::system(("rm -rf '" + dir_ + "'").c_str());
    JFileTypesFree();
  }
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = dir_ + name;
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return path;
  }
  // Reads the file into a pixel map; on refusal the reason is kept.
  JPixMap* read(const std::string& name, const std::vector<uint8_t>& bytes) {
    reason_[0] = '\0';
    return JPictureReadFile(write(name, bytes).c_str(), reason_, sizeof reason_);
  }
  // Opens a picture of the test's folder; closePicture() closes it and frees its file spec.
  JPicture* openPicture(const char* name) {
    spec_ = JFileSpecNew(dir_.c_str(), name);
    return JPictureOpen(spec_, kJFileRead);
  }
  void closePicture(JPicture* p) {
    JPictureClose(p);
    JFileSpecFree(spec_);
    spec_ = nullptr;
  }
  std::string dir_;
  char reason_[200];
  JFileSpec* spec_ = nullptr;
};

uint32_t At(const JPixMap* map, int x, int y) { return map->bitmap->row32(y)[x]; }

}  // namespace

TEST_F(PictureTest, OpeningReadsTheHeadersAndTheTypeFromTheName) {
  BmpSpec s;
  s.width = 3;
  s.height = 2;
  s.bitCount = 8;
  s.colourUsedZero = true;
  s.palette.assign(256, 0x123456);
  s.pixels.assign(6, 0);
  write("PHOTO.BMP", BuildBmp(s));
  JPicture* p = openPicture("PHOTO.BMP");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->type, kJFileTypeBitmap);
  EXPECT_EQ(p->colourCount, 256);
  JRect frame;
  JPictureFrame(p, &frame);
  EXPECT_EQ(frame.bottom, 2);
  EXPECT_EQ(frame.right, 3);
  closePicture(p);

  BmpSpec direct;
  direct.width = 2;
  direct.pixels = {1, 2};

  // The same bytes named .pct open nothing: only metafiles and bitmap files are pictures.
  write("x.pct", BuildBmp(direct));
  EXPECT_EQ(openPicture("x.pct"), nullptr);
}

TEST_F(PictureTest, MetafileFramesFromThePlacementBoxOrTheRecords) {
  WmfBuilder b;
  b.pen(0, 1, 0xFF0000).brush(0, 0x0000FF).select(0).select(1);
  b.add(0x041B, {25, 45, 5, 5});  // RECTANGLE(5, 5, 45, 25)
  JPixMap* plain = read("plain.wmf", b.bits());
  ASSERT_NE(plain, nullptr) << reason_;
  EXPECT_EQ(plain->width, 40);
  EXPECT_EQ(plain->height, 20);
  // The frame's corner is the map's corner: the rectangle's edge is on the first pixel.
  EXPECT_EQ(At(plain, 0, 0), 0xFF0000u);
  EXPECT_EQ(At(plain, 20, 10), 0x0000FFu);
  JPixMapFree(plain);

  WmfBuilder c;
  c.brush(0, 0x00FF00).select(0).add(0x061D, {0x0021, 0x00F0, 10, 10, 20, 10});
  JPixMap* placed = read("placed.wmf", c.placeable(10, 20, 110, 70));
  ASSERT_NE(placed, nullptr) << reason_;
  EXPECT_EQ(placed->width, 100);
  EXPECT_EQ(placed->height, 50);
  EXPECT_EQ(At(placed, 5, 5), 0x00FF00u);
  EXPECT_EQ(At(placed, 15, 5), 0xFFFFFFu);
  JPixMapFree(placed);
}

// As an office suite writes clip art: the box in hundredths of a millimetre (or other units;
// 0 is taken as 96 an inch), the window set to the box, a green left half.
TEST_F(PictureTest, PlacementBoxesInOtherUnitsPerInchAreSizedAt96PixelsAnInch) {
  WmfBuilder b;
  b.add(0x020B, {0, 0}).add(0x020C, {1270, 2540});
  b.brush(0, 0x00FF00).select(0).add(0x061D, {0x0021, 0x00F0, 1270, 1270, 0, 0});
  for (const std::vector<int>& c : {std::vector<int>{2540, 2540, 1270, 96, 48}, {1440, 2880, 1440, 192, 96},
                                    {0, 300, 200, 300, 200}, {2540, 10, 10, 1, 1}}) {
    JPixMap* m = read("units.wmf", b.placeable(0, 0, c[1], c[2], c[0]));
    ASSERT_NE(m, nullptr) << reason_;
    EXPECT_EQ(m->width, c[3]) << c[0];
    EXPECT_EQ(m->height, c[4]) << c[0];
    if (c[3] > 1) {  // the window covers the whole map whatever its pixel size
      EXPECT_EQ(At(m, c[3] / 2 - 1, c[4] - 1), 0x00FF00u) << c[0];
      EXPECT_EQ(At(m, c[3] / 2, 0), 0xFFFFFFu) << c[0];
    }
    JPixMapFree(m);
  }
}

TEST_F(PictureTest, UnreadablePicturesAreRefusedWithAReason) {
  auto refused = [&](const char* name, const std::vector<uint8_t>& bytes) {
    JPixMap* map = read(name, bytes);
    EXPECT_EQ(map, nullptr) << name;
    if (map) JPixMapFree(map);
    EXPECT_NE(reason_[0], '\0') << name;
  };
  WmfBuilder r;
  r.add(0x041B, {25, 45, 5, 5});
  refused("flat.wmf", r.placeable(10, 20, 10, 70));     // right <= left
  refused("upside.wmf", r.placeable(10, 70, 110, 20));  // bottom <= top
  refused("huge.wmf", r.placeable(-20000, 0, 20000, 10));
  WmfBuilder none;
  none.add(0x0201, {0, 0});
  refused("none.wmf", none.bits());  // nothing that gives a size
  std::vector<uint8_t> cut = r.bits();
  cut.resize(cut.size() - 4);
  refused("cut.wmf", cut);
  WmfBuilder damaged;
  damaged.add(0x041B, {25, 45, 5, 5}).addRaw(0, 0x041B, {});
  refused("damaged.wmf", damaged.placeable(0, 0, 10, 10));
  refused("text.bmp", {'h', 'e', 'l', 'l', 'o'});  // damaged bitmaps: the bitmap reader's own tests
  EXPECT_EQ(JPictureReadFile((dir_ + "missing.bmp").c_str(), reason_, sizeof reason_), nullptr);
  EXPECT_NE(reason_[0], '\0');

  // A short reason buffer is filled and ended, never overrun.
  char tiny[8];
  memset(tiny, 'Z', sizeof tiny);
  EXPECT_EQ(JPictureReadFile((dir_ + "text.bmp").c_str(), tiny, 5), nullptr);
  EXPECT_EQ(tiny[4], '\0');
  EXPECT_EQ(tiny[5], 'Z');
}

// Small files that claim huge pictures, and names that are no files: each is refused with
// a reason before anything of the claimed size is allocated, and nothing waits.
TEST_F(PictureTest, HostileFilesAreRefusedBeforeAnythingOfTheirSizeIsMade) {
  BmpSpec rle;
  rle.width = 4;
  rle.height = 4;
  rle.bitCount = 8;
  rle.compression = 1;
  rle.palette = {0xFFFFFF, 0};
  rle.pixels.assign(16, 1);
  std::vector<uint8_t> vast = BuildBmp(rle);  // ends with end-of-line and end-of-bitmap
  for (size_t at : {18, 22}) vast[at] = 0xFF, vast[at + 1] = 0x7F;  // 32767 x 32767
  std::vector<uint8_t> cut = BuildBmp(rle);
  cut.resize(cut.size() - 8);  // the last row and both marks missing
  WmfBuilder wmf;
  wmf.add(0x041B, {25, 45, 5, 5});
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* reasonHas;
  } cases[] = {
      {"vast.bmp", vast, "32767 x 32767 pixels is more than the limit of"},
      {"vast.wmf", wmf.placeable(0, 0, 32767, 32767), "32767 x 32767 pixels is more than the limit of"},
      {"cut.bmp", cut, "end early"},
  };
  for (const auto& c : cases) {
    const std::string path = write(c.name, c.bytes);
    JFileSpec* fileSpec = JFileSpecFromPath(path.c_str());
    EXPECT_EQ(JPictureOpenWithReason(fileSpec, kJFileRead, reason_, sizeof reason_), nullptr) << c.name;
    EXPECT_NE(std::string(reason_).find(c.reasonHas), std::string::npos) << c.name << ": " << reason_;
    JFileSpecFree(fileSpec);
  }

  // A limit set by the user holds for every picture, small ones too.
  BmpSpec small;
  small.width = 20;
  small.height = 20;
  small.pixels.assign(400, 0x00FF00);
  JPictureSetMaxPixels(399);
  EXPECT_EQ(read("small.bmp", BuildBmp(small)), nullptr);
  EXPECT_NE(std::string(reason_).find("20 x 20 pixels is more than the limit of 399"), std::string::npos) << reason_;
  JPictureSetMaxPixels(400);
  JPixMap* map = read("small.bmp", BuildBmp(small));
  EXPECT_NE(map, nullptr) << reason_;
  JPixMapFree(map);
  JPictureSetMaxPixels(0);

  // A named pipe (with a writer that never finishes), a folder and a device.
  const std::string fifo = dir_ + "pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(::write(writer, vast.data(), 64), 0);
  mkdir((dir_ + "folder.bmp").c_str(), 0700);
  for (const std::string& path : {fifo, dir_ + "folder.bmp", std::string("/dev/zero")}) {
    EXPECT_EQ(JPictureReadFile(path.c_str(), reason_, sizeof reason_), nullptr) << path;
    EXPECT_STREQ(reason_, JStr(kStrNotARegularFile)) << path;
  }
  close(writer);
}

#include "jwin/J_draw.h"

TEST_F(PictureTest, DrawingGoesToTheCurrentDrawingArea) {
  WmfBuilder b;
  b.brush(0, 0x00FF00).select(0).add(0x061D, {0x0021, 0x00F0, 10, 10, 0, 0});  // fills its 10 x 10 frame
  write("area.wmf", b.placeable(0, 0, 10, 10));
  BmpSpec s;
  s.width = 1;
  s.pixels = {0x0000FF};
  write("dot.bmp", BuildBmp(s));

  JDrawInit();
  JPixMap* map = JPixMapNewDirect(30, 20, 32);
  JSetDrawBitmap(map);
  ASSERT_EQ(JCurrentDrawBitmap(), map);
  JPicture* p = openPicture("area.wmf");
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(JPictureDraw(p, JPoint{5, 10}, JPoint{15, 30}));  // 20 x 10 at (10, 5)
  closePicture(p);
  p = openPicture("dot.bmp");
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(JPictureDraw(p, JPoint{0, 0}, JPoint{2, 2}));
  closePicture(p);
  JResetDrawArea(nullptr);
  EXPECT_EQ(At(map, 10, 5), 0x00FF00u);
  EXPECT_EQ(At(map, 29, 14), 0x00FF00u);
  EXPECT_EQ(At(map, 9, 5), 0xFFFFFFu);
  EXPECT_EQ(At(map, 15, 15), 0xFFFFFFu);
  EXPECT_EQ(At(map, 1, 1), 0x0000FFu);
  EXPECT_EQ(At(map, 2, 2), 0xFFFFFFu);
  JPixMapFree(map);
  JDrawShutdown();
}

// Drawing tells how far into the file it has read: band by band for a large bitmap, up
// to the whole file, and once at the end when the picture is drawn stretched. Read band by
// band into a map of its size, every pixel lands the right way up (each depth's rows are
// the bitmap reader's tests).
TEST_F(PictureTest, DrawingReportsTheBytesReadSoFarAndBandsKeepEveryPixel) {
  BmpSpec s;
  s.width = 1024;
  s.height = 700;  // 2.1 MB of rows: three bands
  for (uint32_t i = 0; i < 1024u * 700; ++i) s.pixels.push_back((i * 2654435761u) >> 8);
  const std::vector<uint8_t> bytes = BuildBmp(s);
  write("large.bmp", bytes);
  JPicture* p = openPicture("large.bmp");
  ASSERT_NE(p, nullptr);
  std::vector<uint64_t> told;
  JPictureSetProgress(p, [](void* list, uint64_t done) { static_cast<std::vector<uint64_t>*>(list)->push_back(done); },
                      &told);
  for (int16_t scale : {1, 2}) {
    told.clear();
    JPixMap* map = JPixMapNewDirect(static_cast<int16_t>(1024 / scale), static_cast<int16_t>(700 / scale), 32);
    ASSERT_TRUE(JPictureDrawInto(p, map, 0, 0, map->height, map->width, nullptr, 0));
    EXPECT_EQ(told.size(), scale == 1 ? 4u : 1u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), bytes.size());
    for (int i = 0; scale == 1 && i < 1024 * 700; i += 997)
      ASSERT_EQ(At(map, i % 1024, i / 1024), s.pixels[static_cast<size_t>(i)]) << i;
    JPixMapFree(map);
  }
  closePicture(p);
}
