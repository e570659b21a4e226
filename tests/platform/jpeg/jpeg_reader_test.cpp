#include <gtest/gtest.h>

#include <random>

#include "jpeg_builder.h"
#include "platform/jpeg/JpegReader.h"

namespace jpeg = platform::jpeg;

TEST(JpegReader, BaselineAndProgressiveGreyAndColourDecodeCloseToTheirSource) {
  for (int components : {1, 3}) {
    for (bool progressive : {false, true}) {
      for (auto [w, h] : {std::pair{1, 1}, {17, 9}, {64, 48}}) {
        const JpegSpec made = SmoothJpeg(w, h, components, progressive);
        const std::vector<uint8_t> file = BuildJpeg(made);
        const std::string what = std::to_string(components) + (progressive ? " progressive " : " baseline ") +
                                 std::to_string(w) + "x" + std::to_string(h);
        std::string reason;
        auto bitmap = jpeg::DecodeFile(file.data(), file.size(), &reason);
        ASSERT_TRUE(bitmap) << what << ": " << reason;
        ASSERT_EQ(bitmap->width(), w);
        ASSERT_EQ(bitmap->height(), h);
        double total = 0;
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) {
            const uint32_t p = bitmap->row32(y)[x];
            ASSERT_EQ(p >> 24, 0u);
            for (int c = 0; c < 3; ++c) {
              const int got = p >> (16 - 8 * c) & 0xFF;
              const int want = made.samples[(static_cast<size_t>(y) * w + x) * components + (components == 1 ? 0 : c)];
              ASSERT_LE(std::abs(got - want), 12) << what << " at " << x << "," << y;
              total += std::abs(got - want);
            }
          }
        }
        EXPECT_LT(total / (3.0 * w * h), 3.0) << what;
      }
    }
  }
}

TEST(JpegReader, CmykCutShortAndOversizedFilesAreRefusedWithAReason) {
  std::string reason;
  const std::vector<uint8_t> cmyk = BuildJpeg(SmoothJpeg(8, 8, 4, false));
  EXPECT_FALSE(jpeg::DecodeFile(cmyk.data(), cmyk.size(), &reason));
  EXPECT_NE(reason.find("CMYK"), std::string::npos) << reason;

  for (bool progressive : {false, true}) {
    const std::vector<uint8_t> good = BuildJpeg(SmoothJpeg(40, 24, 3, progressive));
    for (size_t cut = 0; cut + 2 < good.size(); cut += 7) {  // all but the end marker
      reason.clear();
      EXPECT_FALSE(jpeg::DecodeFile(good.data(), cut, &reason)) << cut;
      EXPECT_FALSE(reason.empty()) << cut;
    }
  }
  // The frame header's height and width, raised to 30000 x 30000: over the pixel limit.
  std::vector<uint8_t> big = BuildJpeg(SmoothJpeg(8, 8, 3, false));
  for (size_t i = 2; i + 9 < big.size(); ++i) {
    if (big[i] == 0xFF && big[i + 1] == 0xC0) {
      for (size_t at : {i + 5, i + 7}) big[at] = 30000 >> 8, big[at + 1] = 30000 & 0xFF;
      break;
    }
  }
  jpeg::DecodeLimits limits;
  limits.maxPixels = uint64_t{1} << 28;
  reason.clear();
  EXPECT_FALSE(jpeg::DecodeFile(big.data(), big.size(), &reason, limits));
  EXPECT_NE(reason.find("more pixels"), std::string::npos) << reason;
}
