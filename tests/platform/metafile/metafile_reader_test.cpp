#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/metafile/Metafile.h"
#include "platform/metafile/Player.h"
#include "platform/metafile/wmf_builder.h"

namespace wmf = platform::wmf;

namespace {

std::unique_ptr<wmf::Metafile> Load(const std::vector<uint8_t>& file, std::string* reason = nullptr) {
  std::string local;
  return wmf::Metafile::FromFile(file.data(), file.size(), reason ? reason : &local);
}

}  // namespace

TEST(MetafileReader, BoundsWidenByEveryPlacingRecord) {
  const struct {
    const char* what;
    std::function<void(WmfBuilder&)> records;
    wmf::Bounds expected;  // left, top, right, bottom
  } cases[] = {
      {"rectangle (5, 5)-(45, 25)", [](WmfBuilder& b) { b.add(0x041B, {25, 45, 5, 5}); }, {5, 5, 45, 25}},
      {"move to (7, -3), line to (30, 12)", [](WmfBuilder& b) { b.add(0x0214, {-3, 7}).add(0x0213, {12, 30}); },
       {7, -3, 30, 12}},
      {"pattern fill 10 x 20 at (100, 200); a blit without a bitmap 5 x 5 at the origin",
       [](WmfBuilder& b) { b.add(0x061D, {0x21, 0xF0, 20, 10, 200, 100}).add(0x0922, {0x20, 0xCC, 0, 0, 0, 5, 5, 0, 0}); },
       {0, 0, 110, 220}},
      {"arc box (-20, -10)-(80, 90), a pixel at (85, 95)",
       [](WmfBuilder& b) { b.add(0x0817, {0, 0, 0, 0, 90, 80, -10, -20}).add(0x041F, {0, 0, 95, 85}); },
       {-20, -10, 85, 95}},
      {"a bitmap stretched to 30 x 40 at (3, 4), a polygon",
       [](WmfBuilder& b) {
         b.add(0x0F43, {0x20, 0xCC, 0, 1, 1, 0, 0, 40, 30, 4, 3, 0, 0}).add(0x0324, {3, 1, 1, 50, 2, 6, 60});
       },
       {1, 1, 50, 60}},
  };
  for (const auto& c : cases) {
    WmfBuilder b;
    c.records(b);
    auto m = Load(b.bits());
    ASSERT_TRUE(m) << c.what;
    wmf::Bounds bounds;
    std::string reason;
    ASSERT_TRUE(wmf::BoundRecords(*m, &bounds, &reason)) << reason;
    EXPECT_EQ(std::tie(bounds.left, bounds.top, bounds.right, bounds.bottom),
              std::tie(c.expected.left, c.expected.top, c.expected.right, c.expected.bottom))
        << c.what;
  }
  WmfBuilder none;
  none.add(0x0201, {0, 0});  // a background colour places nothing
  wmf::Bounds bounds;
  ASSERT_TRUE(wmf::BoundRecords(*Load(none.bits()), &bounds, nullptr));
  EXPECT_TRUE(bounds.empty());
}

TEST(MetafileReader, DamagedHeadersAndRecordsAreRefusedWithReasons) {
  WmfBuilder b;
  b.add(0x041B, {25, 45, 5, 5});
  using File = std::vector<uint8_t>;
  const struct {
    const char* what;
    std::function<void(File&)> damage;
  } headers[] = {
      {"header of 8 words, not 9", [](File& f) { f[2] = 8; }},
      {"stated size past the end", [](File& f) { f[6] = f[7] = 0xFF; }},
      {"stated size below the header", [](File& f) { f[6] = 8, f[7] = f[8] = f[9] = 0; }},
  };
  for (const auto& c : headers) {
    File f = b.bits();
    ASSERT_TRUE(Load(f)) << c.what;
    c.damage(f);
    std::string reason;
    EXPECT_FALSE(Load(f, &reason)) << c.what;
    EXPECT_FALSE(reason.empty()) << c.what;
  }
  // Records: zero length, shorter than 3 words, running past the end.
  for (uint32_t badSize : {0u, 2u, 1000u}) {
    WmfBuilder d;
    d.add(0x041B, {25, 45, 5, 5}).addRaw(badSize, 0x041B, {1, 2, 3, 4});
    auto m = Load(d.bits());
    ASSERT_TRUE(m) << badSize;
    wmf::Bounds bounds;
    std::string reason;
    EXPECT_FALSE(wmf::BoundRecords(*m, &bounds, &reason)) << badSize;
    EXPECT_FALSE(reason.empty());
  }
}

TEST(MetafileReader, RandomDamageNeverReadsOutsideTheData) {
  WmfBuilder b;
  b.pen(0, 1, 0xFF0000).select(0).add(0x041B, {25, 45, 5, 5}).add(0x0324, {3, 1, 1, 50, 2, 6, 60});
  b.add(0x0B23, {0x20, 0xCC, 4, 4, 0, 0, 0, 8, 8, 1, 1});
  const std::vector<uint8_t> seed = b.placeable(0, 0, 60, 60);
  auto target = platform::Bitmap::Create(16, 16, 32);
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
    if (!wmf::BoundRecords(*m, &bounds, &reason)) {
      EXPECT_FALSE(reason.empty());
    }
    platform::DeviceContext dc(target.get());
    wmf::Play(*m, dc, {0, 0, 60, 60}, {0, 0, 16, 16});
  }
}
