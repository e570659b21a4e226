#include <random>

#include "clipboard_test_util.h"
#include "platform/clipboard/PictureFromBitmap.h"
#include "platform/dib/DibReader.h"
#include "platform/dib/LittleEndian.h"
#include "tests/platform/dib/bmp_builder.h"

namespace clip = platform::clipboard;

namespace {

using cliptest::ClipboardTest;

struct Kind {
  int bitCount;
  uint32_t compression;
  bool topDown;
};

constexpr Kind kKinds[] = {{1, 0, false}, {8, 0, true},  {16, 0, false}, {24, 0, true},
                           {8, 1, false}, {4, 2, false}, {16, 3, true},  {32, 3, false}};

BmpSpec RandomBitmap(std::mt19937& rng, const Kind& k) {
  static const uint32_t k565[3] = {0xF800, 0x07E0, 0x001F}, k888[3] = {0xFF0000, 0x00FF00, 0x0000FF};
  return RandomBmp(rng, k.bitCount, k.compression, k.topDown, k.bitCount == 16 ? k565 : k888);
}

void ExpectDrawsAsTheFile(const std::vector<uint8_t>& wrapped, const std::vector<uint8_t>& file,
                          const std::string& what) {
  std::string reason;
  std::optional<clip::MetafilePicture> p = clip::PictureFromBitmap(wrapped.data(), wrapped.size(), &reason);
  ASSERT_TRUE(p) << what << ": " << reason;
  std::unique_ptr<platform::Bitmap> expected = platform::dib::DecodeFile(file.data(), file.size(), &reason);
  ASSERT_TRUE(expected) << reason;
  EXPECT_EQ(p->mappingMode, clip::kMappingText);
  EXPECT_EQ(p->xExtent, expected->width());
  EXPECT_EQ(p->yExtent, expected->height());
  // The header's size of the whole metafile, in words, is believed by whoever reads it.
  EXPECT_EQ(platform::GetU32(p->bits.data() + 6) * size_t{2}, p->bits.size());
  cliptest::Put(*p);
  std::unique_ptr<platform::Bitmap> drawn = cliptest::TakeAndDraw();
  ASSERT_TRUE(drawn) << what;
  EXPECT_EQ(cliptest::FirstDifference(*drawn, *expected), "") << what;
}

// The reader's own tests hold every depth's pixels; here each way the head of a bitmap is
// counted (colour table or none, masks, run-length bits checked by decoding) is carried
// into the record: as a file, packed, and with a gap before the bits.
TEST_F(ClipboardTest, BitmapsDrawAsTheirFilesPackedOrWithAGapBeforeTheBits) {
  std::mt19937 rng(7);
  for (const Kind& k : kKinds) {
    std::vector<uint8_t> file = BuildBmp(RandomBitmap(rng, k));
    const std::string what = std::to_string(k.bitCount) + " bits, compression " + std::to_string(k.compression);
    ExpectDrawsAsTheFile(file, file, "file of " + what);
    ExpectDrawsAsTheFile(std::vector<uint8_t>(file.begin() + 14, file.end()), file, "packed " + what);
    const uint32_t offset = platform::GetU32(file.data() + 10);
    file.insert(file.begin() + offset, 10, 0xEE);
    platform::PutU32(file.data() + 10, offset + 10);
    platform::PutU32(file.data() + 2, static_cast<uint32_t>(file.size()));
    ExpectDrawsAsTheFile(file, file, "gap before the bits of " + what);
  }
  // Compressed bits of an odd length: the record pads them to a whole word.
  std::vector<uint8_t> rle = BuildBmp(RandomBitmap(rng, {8, 1, false}));
  rle.push_back(0);
  ASSERT_EQ((rle.size() - 14) % 2, 1u);
  ExpectDrawsAsTheFile(rle, rle, "odd compressed length");
}

TEST_F(ClipboardTest, DamagedOrOversizedBitmapsAreRefusedWithAReason) {
  std::mt19937 rng(3);
  for (const Kind& k : {Kind{24, 0, false}, Kind{8, 1, false}, Kind{4, 2, false}, Kind{16, 3, false}}) {
    const std::vector<uint8_t> file = BuildBmp(RandomBitmap(rng, k));
    // Every cut short of the last row is damaged. Compressed bits may lose just their
    // end-of-bitmap mark: every row is there.
    const size_t whole = k.compression == 1 || k.compression == 2 ? file.size() - 2 : file.size();
    for (size_t n = 0; n < whole; ++n) {
      std::string reason;
      EXPECT_FALSE(clip::PictureFromBitmap(file.data(), n, &reason))
          << k.bitCount << " bits cut at " << n << " of " << file.size();
      EXPECT_FALSE(reason.empty());
    }
  }
  // More pixels than the player draws: refused from the header alone, before any allocation.
  BmpSpec one;
  one.pixels = {0x123456};
  std::vector<uint8_t> header = BuildBmp(one);
  platform::PutU32(header.data() + 18, 10000);
  platform::PutU32(header.data() + 22, 10000);
  std::string reason;
  EXPECT_FALSE(clip::PictureFromBitmap(header.data(), header.size(), &reason));
  EXPECT_NE(reason.find("pixels"), std::string::npos) << reason;
  // Not a bitmap at all.
  const uint8_t text[] = "just some words on the clipboard";
  EXPECT_FALSE(clip::PictureFromBitmap(text, sizeof text, &reason));
}

}  // namespace
