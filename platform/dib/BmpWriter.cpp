#include "platform/dib/BmpWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/dib/LittleEndian.h"

namespace platform::dib {

namespace {

uint32_t PixelAt(const Bitmap& bitmap, int x, int y) {
  const uint8_t* row = bitmap.row(y);
  const auto& pal = bitmap.palette();
  switch (bitmap.depth()) {
    case 32:
      return bitmap.row32(y)[x] & 0xFFFFFF;
    case 8: {
      const uint8_t i = row[x];
      return i < pal.size() ? pal[i] & 0xFFFFFF : 0;
    }
    default: {
      const unsigned bit = (row[x >> 3] >> (7 - (x & 7))) & 1;
      return bit < pal.size() ? pal[bit] & 0xFFFFFF : (bit ? 0xFFFFFF : 0);
    }
  }
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap, int bitCount) {
  if (bitCount != 24 && bitCount != 32) return {};
  const int width = bitmap.width();
  const int height = bitmap.height();
  const uint64_t stride = ((static_cast<uint64_t>(width) * bitCount + 31) / 32) * 4;
  const uint64_t bitsSize = stride * static_cast<uint64_t>(height);
  const uint64_t fileSize = 14 + 40 + bitsSize;
  if (width <= 0 || height <= 0 || fileSize > UINT32_MAX) return {};

  std::vector<uint8_t> out(fileSize, 0);
  uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  PutU32(p + 2, static_cast<uint32_t>(fileSize));
  PutU32(p + 10, 14 + 40);
  uint8_t* h = p + 14;
  PutU32(h + 0, 40);
  PutU32(h + 4, static_cast<uint32_t>(width));
  PutU32(h + 8, static_cast<uint32_t>(height));
  PutU16(h + 12, 1);
  PutU16(h + 14, static_cast<uint16_t>(bitCount));
  PutU32(h + 16, 0);
  PutU32(h + 20, static_cast<uint32_t>(bitsSize));
  PutU32(h + 24, 2834);  // 72 pixels per inch
  PutU32(h + 28, 2834);

  uint8_t* bits = p + 54;
  for (int y = 0; y < height; ++y) {
    uint8_t* dst = bits + static_cast<uint64_t>(height - 1 - y) * stride;
    if (bitmap.depth() == 32 && bitCount == 32) {
      const uint32_t* src = bitmap.row32(y);
      for (int x = 0; x < width; ++x) PutU32(dst + 4 * x, src[x] & 0xFFFFFF);
    } else if (bitmap.depth() == 32) {
      const uint32_t* src = bitmap.row32(y);
      for (int x = 0; x < width; ++x, dst += 3) {
        const uint32_t c = src[x];
        dst[0] = static_cast<uint8_t>(c);
        dst[1] = static_cast<uint8_t>(c >> 8);
        dst[2] = static_cast<uint8_t>(c >> 16);
      }
    } else {
      const int step = bitCount / 8;
      for (int x = 0; x < width; ++x, dst += step) {
        const uint32_t c = PixelAt(bitmap, x, y);
        dst[0] = static_cast<uint8_t>(c);
        dst[1] = static_cast<uint8_t>(c >> 8);
        dst[2] = static_cast<uint8_t>(c >> 16);
      }
    }
  }
  return out;
}

bool WriteBmpFile(const Bitmap& bitmap, const std::string& path, int bitCount, std::string* reason) {
  const std::vector<uint8_t> data = EncodeBmp(bitmap, bitCount);
  if (data.empty()) {
    if (reason) *reason = "the bitmap cannot be written as a " + std::to_string(bitCount) + "-bit file";
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    if (reason) *reason = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    if (reason) *reason = "cannot write " + path;
    std::remove(path.c_str());
    return false;
  }
  return true;
}

}  // namespace platform::dib
