#include "platform/clipboard/PictureFromBitmap.h"

#include <vector>

#include "platform/Bitmap.h"
#include "platform/clipboard/MetafileWriter.h"
#include "platform/dib/DibReader.h"
#include "platform/dib/LittleEndian.h"
#include "platform/metafile/Player.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::clipboard {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kSrcCopy = 0x00CC0020;
constexpr uint16_t kRgbColours = 0;  // the colour table holds colours, not palette indices

std::optional<MetafilePicture> Refuse(std::string* reason, const char* text) {
  if (reason) *reason = text;
  return std::nullopt;
}

// Bytes of the information header, masks and colour table of a file whose headers the
// reader accepted, counted as the reader counts them for a packed bitmap.
uint64_t PackedHeadBytes(const uint8_t* h, const dib::DibInfo& info) {
  const uint32_t headerSize = info.headerSize;
  const bool lowDepth = info.bitCount <= 8;
  uint64_t entries;
  if (headerSize == 12) {
    entries = lowDepth ? (1u << info.bitCount) : 0;
  } else {
    const uint32_t used = GetU32(h + 32);
    entries = used != 0 ? used : (lowDepth ? (1u << info.bitCount) : 0);
  }
  const uint64_t masks = info.compression == dib::kBitFields && headerSize == 40 ? 12 : 0;
  return headerSize + masks + entries * (headerSize == 12 ? 3 : 4);
}

// The bitmap as one packed block: for a file, its headers and table joined to its bits
// (which a file may keep further on); a packed bitmap is taken as it is.
bool PackedBitmap(const uint8_t* data, size_t size, std::vector<uint8_t>* packed, std::string* reason,
                  const dib::DecodeLimits& limits) {
  dib::DibInfo info;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    if (!dib::ParseFileHeaders(data, size, size, &info, reason, limits)) return false;
    const uint64_t head = PackedHeadBytes(data + kFileHeaderSize, info);
    // Both lie inside the data: the reader checked the table and the bits against it.
    packed->reserve(head + info.bitsSize);
    packed->assign(data + kFileHeaderSize, data + kFileHeaderSize + head);
    packed->insert(packed->end(), data + info.bitsOffset, data + info.bitsOffset + info.bitsSize);
    return true;
  }
  if (!dib::ParsePacked(data, size, &info, reason, limits)) return false;
  packed->assign(data, data + info.bitsOffset + info.bitsSize);
  return true;
}

}  // namespace

std::optional<MetafilePicture> PictureFromBitmap(const uint8_t* data, size_t size, std::string* reason) {
  // A bitmap the player would not draw is refused here, not shown as an empty picture.
  dib::DecodeLimits limits;
  limits.maxPixels = wmf::PlayOptions{}.maxBitmapPixels;
  std::vector<uint8_t> packed;
  if (!PackedBitmap(data, size, &packed, reason, limits)) return std::nullopt;

  // The block is checked again exactly as the player will read it from the record.
  dib::DibInfo info;
  if (!dib::ParsePacked(packed.data(), packed.size(), &info, reason, limits)) return std::nullopt;
  if (info.compression == dib::kRle8 || info.compression == dib::kRle4) {
    // Damaged runs show only when decoded.
    std::unique_ptr<Bitmap> trial = Bitmap::Create(info.width, info.height, 32);
    if (!trial) return Refuse(reason, "there is not enough memory for the bitmap");
    if (!dib::DecodeBits(info, packed.data() + info.bitsOffset, info.bitsSize, trial.get(), reason))
      return std::nullopt;
  }

  const uint16_t w = static_cast<uint16_t>(info.width);
  const uint16_t h = static_cast<uint16_t>(info.height);
  MetafileWriter writer;
  // Raster operation, colour use, source height, width, y, x, destination height, width, y, x.
  if (!writer.record(wmf::fn::StretchDib,
                     {static_cast<uint16_t>(kSrcCopy & 0xFFFF), static_cast<uint16_t>(kSrcCopy >> 16), kRgbColours,
                      h, w, 0, 0, h, w, 0, 0},
                     packed.data(), packed.size()))
    return Refuse(reason, "the bitmap is too large for a metafile record");
  packed = {};
  MetafilePicture picture;
  picture.mappingMode = kMappingText;
  picture.xExtent = info.width;
  picture.yExtent = info.height;
  picture.bits = writer.finish(0);
  return picture;
}

}  // namespace platform::clipboard
