#include "platform/clipboard/MetafileWriter.h"

#include <algorithm>

#include "platform/dib/LittleEndian.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::clipboard {

namespace {

constexpr size_t kEndRecordBytes = 6;
constexpr uint64_t kMaxWords = 0xFFFFFFFFu;

}  // namespace

MetafileWriter::MetafileWriter() : bits_(wmf::kHeaderSize, 0) {}

bool MetafileWriter::fits(uint64_t moreBytes) const {
  // The header's size field counts the whole metafile, end record included.
  const uint64_t total = uint64_t{bits_.size()} + moreBytes + kEndRecordBytes;
  return moreBytes <= 2 * kMaxWords && total / 2 <= kMaxWords;
}

// Room for the bytes and the end record still to come, so that finishing a large
// metafile does not copy it once more; growth stays geometric for many small records.
void MetafileWriter::makeRoom(uint64_t moreBytes) {
  const size_t needed = bits_.size() + static_cast<size_t>(moreBytes) + kEndRecordBytes;
  if (needed > bits_.capacity()) bits_.reserve(std::max(needed, 2 * bits_.capacity()));
}

bool MetafileWriter::record(uint16_t function, std::initializer_list<uint16_t> params,
                            std::initializer_list<std::span<const uint8_t>> tail) {
  uint64_t tailSize = 0;
  for (std::span<const uint8_t> piece : tail) tailSize += piece.size();
  const uint64_t words = 3 + params.size() + (tailSize + 1) / 2;
  if (words > kMaxWords || !fits(2 * words)) return false;
  makeRoom(2 * words);
  uint8_t head[6];
  PutU32(head, static_cast<uint32_t>(words));
  PutU16(head + 4, function);
  bits_.insert(bits_.end(), head, head + sizeof head);
  for (uint16_t w : params) {
    bits_.push_back(static_cast<uint8_t>(w));
    bits_.push_back(static_cast<uint8_t>(w >> 8));
  }
  for (std::span<const uint8_t> piece : tail) bits_.insert(bits_.end(), piece.begin(), piece.end());
  if (tailSize % 2) bits_.push_back(0);
  maxRecord_ = std::max(maxRecord_, static_cast<uint32_t>(words));
  return true;
}

bool MetafileWriter::records(const uint8_t* data, size_t size, uint32_t maxRecordWords) {
  if (size % 2 != 0 || !fits(size)) return false;
  makeRoom(size);
  bits_.insert(bits_.end(), data, data + size);
  maxRecord_ = std::max(maxRecord_, maxRecordWords);
  return true;
}

std::vector<uint8_t> MetafileWriter::finish(uint16_t objectCount) {
  const size_t at = bits_.size();
  bits_.resize(at + kEndRecordBytes, 0);
  PutU32(bits_.data() + at, 3);
  PutU16(bits_.data() + at + 4, wmf::fn::Eof);
  uint8_t* h = bits_.data();
  PutU16(h, 1);  // in memory
  PutU16(h + 2, wmf::kHeaderSize / 2);
  PutU16(h + 4, 0x0300);
  PutU32(h + 6, static_cast<uint32_t>(bits_.size() / 2));
  PutU16(h + 10, objectCount);
  PutU32(h + 12, maxRecord_);
  PutU16(h + 16, 0);
  std::vector<uint8_t> out = std::move(bits_);
  bits_.assign(wmf::kHeaderSize, 0);
  maxRecord_ = 3;
  return out;
}

}  // namespace platform::clipboard
