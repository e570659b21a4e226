// Reads device-independent bitmaps: whole bitmap files ("BM" file header first) and
// packed bitmaps (information header, colour table and bits in one block, as metafile
// records and the clipboard carry them). Every size is checked against the bytes
// actually present before it is trusted; every refusal comes with a reason.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Bitmap.h"

namespace platform::dib {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// The largest picture the engine takes: 16-bit coordinates and 32-bit pixel counts.
constexpr int kMaxSide = 32767;

// What the headers say, checked. Offsets are from the start of the buffer parsed.
struct DibInfo {
  uint32_t headerSize = 0;  // 12, 40, 52, 56, 108 or 124
  int width = 0;
  int height = 0;           // always positive; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t colourCount = 0;  // entries of the colour table in the file
  uint32_t palette[256] = {};  // 0x00RRGGBB; entries past colourCount are black
  uint32_t masks[3] = {};      // red, green, blue masks for 16- and 32-bit pixels
  uint64_t bitsOffset = 0;     // where the pixel bits start
  uint64_t bitsSize = 0;       // bytes of bits the decoder may read
  uint64_t stride = 0;         // bytes per uncompressed row
};

struct DecodeLimits {
  // Refuse pictures with more pixels than this before any allocation.
  uint64_t maxPixels = static_cast<uint64_t>(kMaxSide) * kMaxSide;
};

// Parses a bitmap file's headers. `head` holds the first bytes of the file (at least
// the headers and colour table); `fileSize` is the whole file's size, against which
// the bits are checked. The bits themselves need not be present yet.
bool ParseFileHeaders(const uint8_t* head, size_t headSize, uint64_t fileSize, DibInfo* info,
                      std::string* reason, const DecodeLimits& limits = {});

// Parses a packed bitmap: the bits follow the colour table (and masks) directly.
// With `paletteIndices` the colour table holds 16-bit indices into `palette`
// (`paletteCount` entries) instead of colours.
bool ParsePacked(const uint8_t* data, size_t size, DibInfo* info, std::string* reason,
                 const DecodeLimits& limits = {}, bool paletteIndices = false,
                 const uint32_t* palette = nullptr, size_t paletteCount = 0);

// Decodes the bits (info.bitsSize bytes at `bits`) into `target`, a 32-bit bitmap of
// exactly info.width x info.height, top row first.
bool DecodeBits(const DibInfo& info, const uint8_t* bits, size_t bitsSize, Bitmap* target,
                std::string* reason);

// Walks compressed bits without decoding them: false with a reason when they end before
// the end-of-bitmap mark or the last row, so that a damaged file is refused before a
// bitmap of its claimed size is made. The parsers do this themselves when the bits are
// at hand; a caller that parsed only a file's headers does it once it has read the bits.
bool CheckRunLengths(const DibInfo& info, const uint8_t* bits, size_t size, std::string* reason);

// Decodes the uncompressed file rows firstRow .. firstRow + rowCount - 1 (in file order)
// from `rows`, which holds them and nothing before them. Lets a caller read and decode a
// large bitmap a band at a time.
bool DecodeRows(const DibInfo& info, const uint8_t* rows, size_t size, int firstRow, int rowCount,
                Bitmap* target, std::string* reason);

// Whole-buffer conveniences: null with a reason when the data cannot be read.
std::unique_ptr<Bitmap> DecodeFile(const uint8_t* data, size_t size, std::string* reason,
                                   const DecodeLimits& limits = {});
std::unique_ptr<Bitmap> DecodePacked(const uint8_t* data, size_t size, std::string* reason,
                                     const DecodeLimits& limits = {});

}  // namespace platform::dib
