#include "platform/clipboard/PictureFromBitmap.h"

#include <memory>
#include <span>

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
// Where the packed bitmap starts in the metafile: after its header, the record's own
// three words and its eleven parameters.
constexpr size_t kPackedOffset = wmf::kHeaderSize + 2 * (3 + 11);

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

// The pieces of the bitmap as one packed block: for a file, its headers and table, then
// its bits (which a file may keep further on); a packed bitmap is one piece.
bool PackedPieces(const uint8_t* data, size_t size, std::span<const uint8_t>* head, std::span<const uint8_t>* bits,
                  dib::DibInfo* info, std::string* reason, const dib::DecodeLimits& limits) {
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    if (!dib::ParseFileHeaders(data, size, size, info, reason, limits)) return false;
    // Both lie inside the data: the reader checked the table and the bits against it.
    *head = {data + kFileHeaderSize, static_cast<size_t>(PackedHeadBytes(data + kFileHeaderSize, *info))};
    *bits = {data + info->bitsOffset, static_cast<size_t>(info->bitsSize)};
    return true;
  }
  if (!dib::ParsePacked(data, size, info, reason, limits)) return false;
  *head = {data, static_cast<size_t>(info->bitsOffset + info->bitsSize)};
  *bits = {};
  return true;
}

}  // namespace

std::optional<MetafilePicture> PictureFromBitmap(const uint8_t* data, size_t size, std::string* reason) {
  // A bitmap the player would not draw is refused here, not shown as an empty picture.
  dib::DecodeLimits limits;
  limits.maxPixels = wmf::PlayOptions{}.maxBitmapPixels;
  dib::DibInfo info;
  std::span<const uint8_t> head, bits;
  if (!PackedPieces(data, size, &head, &bits, &info, reason, limits)) return std::nullopt;

  const uint16_t w = static_cast<uint16_t>(info.width);
  const uint16_t h = static_cast<uint16_t>(info.height);
  MetafileWriter writer;
  // Raster operation, colour use, source height, width, y, x, destination height, width, y, x.
  if (!writer.record(wmf::fn::StretchDib,
                     {static_cast<uint16_t>(kSrcCopy & 0xFFFF), static_cast<uint16_t>(kSrcCopy >> 16), kRgbColours,
                      h, w, 0, 0, h, w, 0, 0},
                     {head, bits}))
    return Refuse(reason, "the bitmap is too large for a metafile record");
  MetafilePicture picture;
  picture.mappingMode = kMappingText;
  picture.xExtent = info.width;
  picture.yExtent = info.height;
  picture.bits = writer.finish(0);

  // The block is checked again exactly as the player will read it from the record.
  const uint8_t* packed = picture.bits.data() + kPackedOffset;
  const size_t packedSize = head.size() + bits.size();
  if (!dib::ParsePacked(packed, packedSize, &info, reason, limits)) return std::nullopt;
  if (info.compression == dib::kRle8 || info.compression == dib::kRle4) {
    // Damaged runs show only when decoded.
    std::unique_ptr<Bitmap> trial = Bitmap::Create(info.width, info.height, 32);
    if (!trial) return Refuse(reason, "there is not enough memory for the bitmap");
    if (!dib::DecodeBits(info, packed + info.bitsOffset, info.bitsSize, trial.get(), reason)) return std::nullopt;
  }
  return picture;
}

}  // namespace platform::clipboard
