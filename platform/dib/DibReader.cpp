#include "platform/dib/DibReader.h"

#include <bit>
#include <cstring>
#include <vector>

#include "platform/dib/LittleEndian.h"

namespace platform::dib {

namespace {

bool Fail(std::string* reason, const char* text) {
  if (reason) *reason = text;
  return false;
}

// The bit count and compression go together: run lengths need 4 or 8 bits, masks 16 or 32.
bool CheckBitCount(const DibInfo* info, std::string* reason) {
  const int bpp = info->bitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail(reason, "the bitmap has a bit count this reader does not know");
  if (info->headerSize == 12 && (bpp == 16 || bpp == 32))
    return Fail(reason, "the bitmap has a bit count this reader does not know");
  switch (info->compression) {
    case kRgb:
      return true;
    case kRle8:
      return bpp == 8 || Fail(reason, "run-length compression does not match the bit count");
    case kRle4:
      return bpp == 4 || Fail(reason, "run-length compression does not match the bit count");
    case kBitFields:
      return bpp == 16 || bpp == 32 || Fail(reason, "bit-field masks need 16 or 32 bits a pixel");
    default:
      return Fail(reason, "the bitmap uses a compression this reader does not know");
  }
}

// Reads the size, bit count and compression fields; `colourUsed` is the table size the
// header asks for (0: the bit count's).
bool ReadDimensions(const uint8_t* h, DibInfo* info, uint32_t* colourUsed, std::string* reason,
                    const DecodeLimits& limits) {
  int64_t width, height;
  *colourUsed = 0;
  if (info->headerSize == 12) {
    // The core header's sizes are unsigned and its rows always bottom-up.
    width = GetU16(h + 4);
    height = GetU16(h + 6);
    info->bitCount = GetU16(h + 10);
    info->compression = kRgb;
  } else {
    width = GetI32(h + 4);
    height = GetI32(h + 8);
    info->bitCount = GetU16(h + 14);
    info->compression = GetU32(h + 16);
    *colourUsed = GetU32(h + 32);
  }
  if (!CheckBitCount(info, reason)) return false;
  info->topDown = height < 0;
  if (info->topDown) height = -height;
  if (width <= 0 || height <= 0) return Fail(reason, "the bitmap has no pixels (width or height 0)");
  if (width > kMaxSide || height > kMaxSide)
    return Fail(reason, "the bitmap is larger than 32767 pixels across or down");
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > limits.maxPixels)
    return Fail(reason, "the bitmap has more pixels than can be handled");
  if (info->topDown && (info->compression == kRle8 || info->compression == kRle4))
    return Fail(reason, "a compressed bitmap cannot be stored top-down");
  info->width = static_cast<int>(width);
  info->height = static_cast<int>(height);
  info->stride = ((static_cast<uint64_t>(width) * info->bitCount + 31) / 32) * 4;
  const int bpp = info->bitCount;
  if (*colourUsed > 256 || (bpp <= 8 && *colourUsed > (1u << bpp)))
    return Fail(reason, "the colour table is larger than the bit count allows");
  return true;
}

// Reads the masks of 16- and 32-bit pixels (inside the larger headers, after the 40-byte
// one); returns the offset just past them, or 0 on refusal.
uint64_t ReadMasks(const uint8_t* h, uint64_t avail, DibInfo* info, std::string* reason) {
  uint64_t offset = info->headerSize;
  if (info->compression == kBitFields) {
    const uint8_t* m = h + 40;
    if (info->headerSize == 40) {
      if (avail < 52) return Fail(reason, "the bit-field masks are cut short"), 0;
      offset = 52;
    }
    for (int i = 0; i < 3; ++i) info->masks[i] = GetU32(m + 4 * i);
  } else if (info->bitCount == 16) {
    info->masks[0] = 0x7C00;
    info->masks[1] = 0x03E0;
    info->masks[2] = 0x001F;
  } else if (info->bitCount == 32) {
    info->masks[0] = 0xFF0000;
    info->masks[1] = 0x00FF00;
    info->masks[2] = 0x0000FF;
  }
  return offset;
}

// Reads the information header at `h` (`avail` bytes there) into info, up to and
// including the colour table; returns the offset just past the table, or 0 on refusal.
uint64_t ParseInfoHeader(const uint8_t* h, uint64_t avail, DibInfo* info, std::string* reason,
                         const DecodeLimits& limits, bool paletteIndices, const uint32_t* palette,
                         size_t paletteCount) {
  if (avail < 4) return Fail(reason, "the bitmap header is cut short"), 0;
  const uint32_t headerSize = GetU32(h);
  if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
      headerSize != 108 && headerSize != 124) {
    return Fail(reason, "the bitmap header has a size this reader does not know"), 0;
  }
  if (avail < headerSize) return Fail(reason, "the bitmap header is cut short"), 0;
  info->headerSize = headerSize;
  uint32_t colourUsed = 0;
  if (!ReadDimensions(h, info, &colourUsed, reason, limits)) return 0;
  uint64_t offset = ReadMasks(h, avail, info, reason);
  if (offset == 0) return 0;

  const int bpp = info->bitCount;
  const uint32_t colourEntries = colourUsed != 0 ? colourUsed : (bpp <= 8 ? (1u << bpp) : 0);
  info->colourCount = bpp <= 8 ? colourEntries : 0;
  const unsigned entrySize = paletteIndices ? 2 : (headerSize == 12 ? 3 : 4);
  const uint64_t tableBytes = static_cast<uint64_t>(colourEntries) * entrySize;
  if (offset + tableBytes > avail) return Fail(reason, "the colour table is cut short"), 0;
  std::memset(info->palette, 0, sizeof info->palette);
  for (uint32_t i = 0; i < info->colourCount; ++i) {
    const uint8_t* e = h + offset + static_cast<uint64_t>(i) * entrySize;
    if (paletteIndices) {
      const uint16_t index = GetU16(e);
      info->palette[i] = index < paletteCount ? palette[index] & 0xFFFFFF : 0;
    } else {
      info->palette[i] = (static_cast<uint32_t>(e[2]) << 16) | (e[1] << 8) | e[0];
    }
  }
  offset += tableBytes;
  // A packed bitmap with 16-bit palette indices keeps its bits 32-bit aligned.
  if (paletteIndices) offset = (offset + 3) & ~uint64_t{3};
  return offset;
}

// `bits` is null when the bits are not at hand yet (only the file's headers were read).
bool CheckBitsFit(DibInfo* info, const uint8_t* bits, uint64_t available, std::string* reason) {
  if (info->compression == kRle8 || info->compression == kRle4) {
    if (available < 2) return Fail(reason, "the compressed bits are missing");
    info->bitsSize = available;
    return !bits || CheckRunLengths(*info, bits, available, reason);
  }
  const uint64_t needed = info->stride * static_cast<uint64_t>(info->height);
  if (needed > available) return Fail(reason, "the file ends before the last row of pixels");
  info->bitsSize = needed;
  return true;
}

struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint64_t max = 0;
  int bits = 0;  // width of a contiguous mask; 0 for a mask with holes
};

Channel MakeChannel(uint32_t mask) {
  Channel c;
  c.mask = mask;
  if (mask == 0) return c;
  c.shift = std::countr_zero(mask);
  c.max = mask >> c.shift;
  if ((c.max & (c.max + 1)) == 0) c.bits = std::popcount(c.max);
  return c;
}

// A channel of fewer than 8 bits is widened by repeating its bits (5 bits abcde become
// abcdeabc), so that 0 stays 0 and the largest value becomes 255; wider ones keep their
// top 8 bits.
inline uint32_t Extract(const Channel& c, uint32_t pixel) {
  if (c.max == 0) return 0;
  const uint32_t v = (pixel & c.mask) >> c.shift;
  if (c.bits >= 8) return v >> (c.bits - 8);
  if (c.bits > 0) {
    uint32_t out = v << (8 - c.bits);
    for (int k = c.bits; k < 8; k += c.bits) out |= out >> c.bits;
    return out & 0xFF;
  }
  return static_cast<uint32_t>((uint64_t{v} * 255 + c.max / 2) / c.max);
}

uint32_t* TargetRow(const DibInfo& info, Bitmap* target, int fileRow) {
  return target->row32(info.topDown ? fileRow : info.height - 1 - fileRow);
}

void DecodeIndexed(const DibInfo& info, const uint8_t* bits, int r0, int r1, Bitmap* target) {
  const int bpp = info.bitCount;
  const uint32_t mask = (1u << bpp) - 1;
  for (int r = r0; r < r1; ++r) {
    const uint8_t* src = bits + info.stride * (r - r0);
    uint32_t* dst = TargetRow(info, target, r);
    if (bpp == 8) {
      for (int x = 0; x < info.width; ++x) dst[x] = info.palette[src[x]];
      continue;
    }
    const int perByte = 8 / bpp;
    for (int x = 0; x < info.width; ++x) {
      const int shift = 8 - bpp * (x % perByte + 1);
      dst[x] = info.palette[(src[x / perByte] >> shift) & mask];
    }
  }
}

void Decode16(const DibInfo& info, const uint8_t* bits, int r0, int r1, Bitmap* target) {
  const Channel red = MakeChannel(info.masks[0] & 0xFFFF);
  const Channel green = MakeChannel(info.masks[1] & 0xFFFF);
  const Channel blue = MakeChannel(info.masks[2] & 0xFFFF);
  std::vector<uint32_t> lut(65536);
  for (uint32_t p = 0; p < 65536; ++p)
    lut[p] = (Extract(red, p) << 16) | (Extract(green, p) << 8) | Extract(blue, p);
  for (int r = r0; r < r1; ++r) {
    const uint8_t* src = bits + info.stride * (r - r0);
    uint32_t* dst = TargetRow(info, target, r);
    for (int x = 0; x < info.width; ++x) dst[x] = lut[GetU16(src + 2 * x)];
  }
}

void Decode24(const DibInfo& info, const uint8_t* bits, int r0, int r1, Bitmap* target) {
  for (int r = r0; r < r1; ++r) {
    const uint8_t* src = bits + info.stride * (r - r0);
    uint32_t* dst = TargetRow(info, target, r);
    const int w = info.width;
    int x = 0;
    // Four bytes at a time while a whole 32-bit load stays inside the row.
    for (; x + 1 < w; ++x) {
      uint32_t v;
      std::memcpy(&v, src + 3 * x, 4);
      dst[x] = v & 0xFFFFFF;
    }
    for (; x < w; ++x) {
      const uint8_t* s = src + 3 * x;
      dst[x] = (static_cast<uint32_t>(s[2]) << 16) | (s[1] << 8) | s[0];
    }
  }
}

void Decode32(const DibInfo& info, const uint8_t* bits, int r0, int r1, Bitmap* target) {
  const bool standard = info.masks[0] == 0xFF0000 && info.masks[1] == 0xFF00 && info.masks[2] == 0xFF;
  const Channel red = MakeChannel(info.masks[0]);
  const Channel green = MakeChannel(info.masks[1]);
  const Channel blue = MakeChannel(info.masks[2]);
  for (int r = r0; r < r1; ++r) {
    const uint8_t* src = bits + info.stride * (r - r0);
    uint32_t* dst = TargetRow(info, target, r);
    if (standard) {
      std::memcpy(dst, src, static_cast<size_t>(info.width) * 4);
      for (int x = 0; x < info.width; ++x) dst[x] &= 0xFFFFFF;
      continue;
    }
    for (int x = 0; x < info.width; ++x) {
      const uint32_t p = GetU32(src + 4 * x);
      dst[x] = (Extract(red, p) << 16) | (Extract(green, p) << 8) | Extract(blue, p);
    }
  }
}

void DecodeRowRange(const DibInfo& info, const uint8_t* bits, int r0, int r1, Bitmap* target) {
  switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
      DecodeIndexed(info, bits, r0, r1, target);
      break;
    case 16:
      Decode16(info, bits, r0, r1, target);
      break;
    case 24:
      Decode24(info, bits, r0, r1, target);
      break;
    default:
      Decode32(info, bits, r0, r1, target);
      break;
  }
}

// Run-length bits, bottom-up. Pixels the runs skip keep colour 0 of the table;
// runs that go past the right edge are clipped. Data that ends before the
// end-of-bitmap mark or the last row is a damaged file. Without a target the runs
// are only checked.
bool DecodeRle(const DibInfo& info, const uint8_t* bits, size_t size, Bitmap* target,
               std::string* reason) {
  const bool four = info.compression == kRle4;
  for (int y = 0; target && y < info.height; ++y) {
    uint32_t* row = target->row32(y);
    for (int x = 0; x < info.width; ++x) row[x] = info.palette[0];
  }
  int x = 0;
  int y = 0;  // file row, counted from the bottom
  size_t i = 0;
  auto put = [&](uint32_t index) {
    if (target && x < info.width && y < info.height)
      target->row32(info.height - 1 - y)[x] = info.palette[index & 0xFF];
    ++x;
  };
  while (y < info.height) {
    if (i + 2 > size) return Fail(reason, "the compressed bits end early");
    const uint8_t count = bits[i];
    const uint8_t value = bits[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count && x < info.width; ++k)
        put(four ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // delta
      if (i + 2 > size) return Fail(reason, "the compressed bits end early");
      x += bits[i];
      y += bits[i + 1];
      i += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1u) / 2 : value;
      if (i + bytes > size) return Fail(reason, "the compressed bits end early");
      for (int k = 0; k < value; ++k) {
        const uint8_t b = bits[i + (four ? k / 2 : k)];
        if (x >= info.width) break;
        put(four ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b);
      }
      i += (bytes + 1) & ~size_t{1};
    }
  }
  return true;
}

}  // namespace

bool ParseFileHeaders(const uint8_t* head, size_t headSize, uint64_t fileSize, DibInfo* info,
                      std::string* reason, const DecodeLimits& limits) {
  if (headSize > fileSize) headSize = static_cast<size_t>(fileSize);
  if (headSize < 14 + 4) return Fail(reason, "the file is too short to be a bitmap file");
  if (head[0] != 'B' || head[1] != 'M') return Fail(reason, "the file is not a bitmap file (no \"BM\" mark)");
  const uint64_t tableEnd =
      ParseInfoHeader(head + 14, headSize - 14, info, reason, limits, false, nullptr, 0);
  if (tableEnd == 0) return false;
  uint64_t offset = GetU32(head + 10);
  if (offset == 0) offset = 14 + tableEnd;
  if (offset < 14 + info->headerSize) return Fail(reason, "the pixel bits start inside the header");
  if (info->compression == kBitFields && info->headerSize == 40 && offset < 14 + 52)
    return Fail(reason, "the bit-field masks overlap the pixel bits");
  if (offset >= fileSize) return Fail(reason, "the file ends before its pixel bits");
  info->bitsOffset = offset;
  return CheckBitsFit(info, headSize >= fileSize ? head + offset : nullptr, fileSize - offset, reason);
}

bool ParsePacked(const uint8_t* data, size_t size, DibInfo* info, std::string* reason,
                 const DecodeLimits& limits, bool paletteIndices, const uint32_t* palette,
                 size_t paletteCount) {
  const uint64_t tableEnd =
      ParseInfoHeader(data, size, info, reason, limits, paletteIndices, palette, paletteCount);
  if (tableEnd == 0) return false;
  if (tableEnd > size) return Fail(reason, "the bitmap ends before its pixel bits");
  info->bitsOffset = tableEnd;
  return CheckBitsFit(info, data + tableEnd, size - tableEnd, reason);
}

bool DecodeBits(const DibInfo& info, const uint8_t* bits, size_t bitsSize, Bitmap* target,
                std::string* reason) {
  if (!target || target->depth() != 32 || target->width() != info.width ||
      target->height() != info.height)
    return Fail(reason, "the target bitmap does not match the picture");
  if (info.compression == kRle8 || info.compression == kRle4)
    return DecodeRle(info, bits, bitsSize, target, reason);
  if (bitsSize < info.stride * static_cast<uint64_t>(info.height))
    return Fail(reason, "the file ends before the last row of pixels");
  DecodeRowRange(info, bits, 0, info.height, target);
  return true;
}

bool CheckRunLengths(const DibInfo& info, const uint8_t* bits, size_t size, std::string* reason) {
  return DecodeRle(info, bits, size, nullptr, reason);
}

bool DecodeRows(const DibInfo& info, const uint8_t* rows, size_t size, int firstRow, int rowCount,
                Bitmap* target, std::string* reason) {
  if (info.compression == kRle8 || info.compression == kRle4)
    return Fail(reason, "compressed bits cannot be decoded in parts");
  if (!target || target->depth() != 32 || target->width() != info.width ||
      target->height() != info.height)
    return Fail(reason, "the target bitmap does not match the picture");
  if (firstRow < 0 || rowCount < 0 || rowCount > info.height - firstRow)
    return Fail(reason, "the rows are outside the picture");
  if (size < info.stride * static_cast<uint64_t>(rowCount)) return Fail(reason, "the rows are cut short");
  DecodeRowRange(info, rows, firstRow, firstRow + rowCount, target);
  return true;
}

namespace {

std::unique_ptr<Bitmap> DecodeWithInfo(const DibInfo& info, const uint8_t* data, std::string* reason) {
  std::unique_ptr<Bitmap> bitmap = Bitmap::Create(info.width, info.height, 32);
  if (!bitmap) {
    Fail(reason, "there is not enough memory for the bitmap");
    return nullptr;
  }
  if (!DecodeBits(info, data + info.bitsOffset, info.bitsSize, bitmap.get(), reason)) return nullptr;
  return bitmap;
}

}  // namespace

std::unique_ptr<Bitmap> DecodeFile(const uint8_t* data, size_t size, std::string* reason,
                                   const DecodeLimits& limits) {
  DibInfo info;
  if (!ParseFileHeaders(data, size, size, &info, reason, limits)) return nullptr;
  return DecodeWithInfo(info, data, reason);
}

std::unique_ptr<Bitmap> DecodePacked(const uint8_t* data, size_t size, std::string* reason,
                                     const DecodeLimits& limits) {
  DibInfo info;
  if (!ParsePacked(data, size, &info, reason, limits)) return nullptr;
  return DecodeWithInfo(info, data, reason);
}

}  // namespace platform::dib
