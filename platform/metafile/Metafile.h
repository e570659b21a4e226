// A Windows metafile held in memory: its header checked, its records walked safely.
// Placeable files (22-byte placement header first) and plain ones are both taken.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::wmf {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeaderSize = 22;
constexpr size_t kHeaderSize = 18;

// One record as found in the data. Parameters are the 16-bit words after the
// function number; `paramWords` of them are present.
struct Record {
  uint16_t function = 0;
  size_t offset = 0;        // of the record in the metafile bits
  uint32_t sizeWords = 0;   // whole record, including its 3 header words
  const uint8_t* params = nullptr;
  size_t paramWords = 0;

  bool has(size_t words) const { return paramWords >= words; }
  // Parameter i (callers check `has` first).
  int16_t p(size_t i) const {
    return static_cast<int16_t>(params[2 * i] | (params[2 * i + 1] << 8));
  }
  uint16_t u(size_t i) const { return static_cast<uint16_t>(p(i)); }
  uint32_t u32(size_t i) const { return u(i) | (static_cast<uint32_t>(u(i + 1)) << 16); }
  const uint8_t* bytes(size_t wordIndex) const { return params + 2 * wordIndex; }
  size_t bytesFrom(size_t wordIndex) const {
    return wordIndex < paramWords ? 2 * (paramWords - wordIndex) : 0;
  }
};

// Answers whether to go on with the next record.
using RecordVisitor = bool (*)(const Record& record, void* data);

class Metafile {
 public:
  // Reads a metafile file's bytes: placeable when the key is there, plain otherwise.
  static std::unique_ptr<Metafile> FromFile(const uint8_t* data, size_t size, std::string* reason);
  // Reads the metafile proper (18-byte header first), as held in memory or on the clipboard.
  static std::unique_ptr<Metafile> FromBits(const uint8_t* data, size_t size, std::string* reason);

  bool placeable() const { return placeable_; }
  // The placement box: left, top, right, bottom as stored (placeable files only).
  int16_t boxLeft() const { return box_[0]; }
  int16_t boxTop() const { return box_[1]; }
  int16_t boxRight() const { return box_[2]; }
  int16_t boxBottom() const { return box_[3]; }
  uint16_t unitsPerInch() const { return unitsPerInch_; }

  const std::vector<uint8_t>& bits() const { return bits_; }
  uint16_t objectCount() const { return objectCount_; }

  // Walks the records in order, stopping after the end record, at the end of the data,
  // or when the visitor answers false. A record shorter than 3 words or running past
  // the end of the data stops the walk and answers false with a reason; otherwise true.
  bool enumerate(RecordVisitor visit, void* data, std::string* reason = nullptr) const;

 private:
  Metafile() = default;
  bool placeable_ = false;
  int16_t box_[4] = {};
  uint16_t unitsPerInch_ = 0;
  uint16_t objectCount_ = 0;
  std::vector<uint8_t> bits_;
};

// The box the drawing records of a plain metafile cover, in its own coordinates.
struct Bounds {
  int left = 30000;
  int top = 30000;
  int right = -30000;
  int bottom = -30000;
  bool empty() const { return right <= left || bottom <= top; }
};

// Widens the box by every record that places something; false (with a reason) when the
// records are damaged.
bool BoundRecords(const Metafile& metafile, Bounds* bounds, std::string* reason);

}  // namespace platform::wmf
