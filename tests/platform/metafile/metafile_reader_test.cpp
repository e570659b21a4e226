#include <gtest/gtest.h>

#include <random>

#include "platform/metafile/Metafile.h"
#include "platform/metafile/wmf_builder.h"

namespace wmf = platform::wmf;

namespace {

std::unique_ptr<wmf::Metafile> Load(const std::vector<uint8_t>& file, std::string* reason = nullptr) {
  std::string local;
  return wmf::Metafile::FromFile(file.data(), file.size(), reason ? reason : &local);
}

wmf::Bounds Bound(const WmfBuilder& b) {
  auto m = Load(b.bits());
  EXPECT_TRUE(m);
  wmf::Bounds bounds;
  std::string reason;
  EXPECT_TRUE(wmf::BoundRecords(*m, &bounds, &reason)) << reason;
  return bounds;
}

bool CountRecord(const wmf::Record& r, void* data) {
  static_cast<std::vector<uint16_t>*>(data)->push_back(r.function);
  return true;
}

}  // namespace

TEST(MetafileReader, PlaceableHeaderGivesTheBoxAndTheRecords) {
  WmfBuilder b;
  b.add(0x041B, {70, 110, 20, 10});
  const auto file = b.placeable(10, 20, 110, 70, 1440);
  auto m = Load(file);
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->placeable());
  EXPECT_EQ(m->boxRight() - m->boxLeft(), 100);
  EXPECT_EQ(m->boxBottom() - m->boxTop(), 50);
  EXPECT_EQ(m->unitsPerInch(), 1440);
  std::vector<uint16_t> seen;
  ASSERT_TRUE(m->enumerate(CountRecord, &seen));
  EXPECT_EQ(seen, (std::vector<uint16_t>{0x041B, 0x0000}));
}

TEST(MetafileReader, BoundingTableWidensByEveryPlacingRecord) {
  WmfBuilder rect;
  rect.add(0x041B, {25, 45, 5, 5});  // RECTANGLE(5, 5, 45, 25): bottom, right, top, left
  wmf::Bounds r = Bound(rect);
  EXPECT_EQ(r.right - r.left, 40);
  EXPECT_EQ(r.bottom - r.top, 20);

  WmfBuilder lines;
  lines.add(0x0214, {-3, 7}).add(0x0213, {12, 30});  // MOVETO(7, -3), LINETO(30, 12)
  wmf::Bounds l = Bound(lines);
  EXPECT_EQ(l.left, 7);
  EXPECT_EQ(l.top, -3);
  EXPECT_EQ(l.right, 30);
  EXPECT_EQ(l.bottom, 12);

  WmfBuilder blits;
  // PATBLT at (100, 200) size 10 x 20; BITBLT without a bitmap at (0, 0) size 5 x 5.
  blits.add(0x061D, {0x21, 0xF0, 20, 10, 200, 100});
  blits.add(0x0922, {0x20, 0xCC, 0, 0, 0, 5, 5, 0, 0});
  wmf::Bounds p = Bound(blits);
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.top, 0);
  EXPECT_EQ(p.right, 110);
  EXPECT_EQ(p.bottom, 220);

  WmfBuilder arcs;
  arcs.add(0x0817, {0, 0, 0, 0, 90, 80, -10, -20});  // ARC box (-20, -10)-(80, 90)
  arcs.add(0x041F, {0, 0, 95, 85});                   // SETPIXEL(85, 95)
  wmf::Bounds a = Bound(arcs);
  EXPECT_EQ(a.left, -20);
  EXPECT_EQ(a.top, -10);
  EXPECT_EQ(a.right, 85);
  EXPECT_EQ(a.bottom, 95);

  // A bitmap-carrying STRETCHDIB at (3, 4) size 30 x 40, and a polygon.
  WmfBuilder dib;
  dib.add(0x0F43, {0x20, 0xCC, 0, 1, 1, 0, 0, 40, 30, 4, 3, 0, 0});
  dib.add(0x0324, {3, 1, 1, 50, 2, 6, 60});
  wmf::Bounds d = Bound(dib);
  EXPECT_EQ(d.left, 1);
  EXPECT_EQ(d.top, 1);
  EXPECT_EQ(d.right, 50);
  EXPECT_EQ(d.bottom, 60);

  WmfBuilder none;
  none.add(0x0201, {0, 0});  // SETBKCOLOR places nothing
  EXPECT_TRUE(Bound(none).empty());
}

TEST(MetafileReader, DamagedHeadersAndRecordsAreRefusedWithReasons) {
  WmfBuilder b;
  b.add(0x041B, {25, 45, 5, 5});
  const std::vector<uint8_t> good = b.bits();
  ASSERT_TRUE(Load(good));

  std::string reason;
  std::vector<uint8_t> f = good;
  f.resize(10);
  EXPECT_FALSE(Load(f, &reason));
  EXPECT_FALSE(reason.empty());

  f = good;
  f[2] = 8;  // header size must be 9 words
  EXPECT_FALSE(Load(f, &reason));

  f = good;
  f[6] = 0xFF;  // stated size larger than the file
  f[7] = 0xFF;
  EXPECT_FALSE(Load(f, &reason));

  f = good;
  f[6] = 8;  // stated size below the 18-byte header
  f[7] = 0;
  f[8] = 0;
  f[9] = 0;
  EXPECT_FALSE(Load(f, &reason));

  // Placeable: the metafile's size must fit the bytes after the 22-byte placement header.
  std::vector<uint8_t> p = b.placeable(0, 0, 10, 10);
  ASSERT_TRUE(Load(p));
  p.pop_back();
  EXPECT_FALSE(Load(p, &reason));

  // Records: zero length, shorter than 3 words, running past the end.
  for (uint32_t badSize : {0u, 2u, 1000u}) {
    WmfBuilder d;
    d.add(0x041B, {25, 45, 5, 5}).addRaw(badSize, 0x041B, {1, 2, 3, 4});
    auto m = Load(d.bits());
    ASSERT_TRUE(m) << badSize;
    wmf::Bounds bounds;
    reason.clear();
    EXPECT_FALSE(wmf::BoundRecords(*m, &bounds, &reason)) << badSize;
    EXPECT_FALSE(reason.empty());
  }
}

TEST(MetafileReader, RandomDamageNeverReadsOutsideTheData) {
  WmfBuilder b;
  b.pen(0, 1, 0xFF0000).select(0).add(0x041B, {25, 45, 5, 5}).add(0x0324, {3, 1, 1, 50, 2, 6, 60});
  b.add(0x0B23, {0x20, 0xCC, 4, 4, 0, 0, 0, 8, 8, 1, 1});
  const std::vector<uint8_t> seed = b.placeable(0, 0, 60, 60);
  std::mt19937 rng(17);
  for (int round = 0; round < 5000; ++round) {
    std::vector<uint8_t> f = seed;
    for (int k = 1 + rng() % 3; k > 0; --k) f[rng() % f.size()] = static_cast<uint8_t>(rng());
    if (rng() % 4 == 0) f.resize(rng() % f.size());
    std::vector<uint8_t> exact(f);
    std::string reason;
    auto m = wmf::Metafile::FromFile(exact.data(), exact.size(), &reason);
    if (!m) {
      EXPECT_FALSE(reason.empty());
      continue;
    }
    wmf::Bounds bounds;
    if (!wmf::BoundRecords(*m, &bounds, &reason)) EXPECT_FALSE(reason.empty());
  }
}
