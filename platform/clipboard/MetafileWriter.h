// Writes a plain metafile in memory: the 18-byte header, records, then the end record.
// The format counts sizes in 16-bit words with 32-bit fields, so every addition is
// checked against that limit before any byte is copied.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace platform::clipboard {

class MetafileWriter {
 public:
  MetafileWriter();

  // Appends a record of the given parameter words followed by the bytes of `tail`, one
  // piece after another (padded to a whole word). False, with nothing added, when it would
  // not fit the format.
  bool record(uint16_t function, std::initializer_list<uint16_t> params,
              std::initializer_list<std::span<const uint8_t>> tail = {});
  // Appends records already in the format, copied as they are; `maxRecordWords` is the
  // largest among them. False, with nothing added, when they would not fit.
  bool records(const uint8_t* data, size_t size, uint32_t maxRecordWords);

  // The whole metafile; the writer is empty afterwards.
  std::vector<uint8_t> finish(uint16_t objectCount);

 private:
  bool fits(uint64_t moreBytes) const;
  void makeRoom(uint64_t moreBytes);

  std::vector<uint8_t> bits_;  // header space, then the records so far
  uint32_t maxRecord_ = 3;     // the end record
};

}  // namespace platform::clipboard
