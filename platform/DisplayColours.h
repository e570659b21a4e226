// The colour tables of indexed displays, and finding a colour's nearest entry in a table.
// A display of 4 bits a pixel shows 16 colours, one of 8 bits 256; deeper displays show
// every colour and have no table.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/raster/Geometry.h"

namespace platform {

// Entries 0x00RRGGBB: at 4 bits the sixteen basic colours; at 8 bits the same sixteen,
// a 6 x 6 x 6 colour cube and a ramp of 24 greys. Empty for depths above 8.
const std::vector<Colour>& DisplayColourTable(int depth);

// The index of the entry nearest to a colour: the smallest sum of channel differences, the
// first entry on ties (0 for an empty table).
uint32_t NearestIndex(const std::vector<Colour>& table, Colour c);

// NearestIndex for one table of at most 256 entries, with answers remembered, so that
// mapping a whole screen costs one search per colour.
class NearestColour {
 public:
  explicit NearestColour(const std::vector<Colour>& table);
  uint8_t index(Colour c);
  Colour colour(Colour c) { return table_[index(c)]; }
  const std::vector<Colour>& table() const { return table_; }

 private:
  static constexpr uint32_t kSlots = 1u << 16;
  static constexpr uint32_t kEmpty = 0xFFFFFFFFu;  // never a colour: colours have no top byte
  std::vector<Colour> table_;
  std::vector<uint32_t> keys_;
  std::vector<uint8_t> answers_;
};

}  // namespace platform
