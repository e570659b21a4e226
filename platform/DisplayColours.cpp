#include "platform/DisplayColours.h"

#include <cstdlib>

namespace platform {

namespace {

std::vector<Colour> BasicColours() {
  return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
          0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
}

std::vector<Colour> FullTable() {
  std::vector<Colour> table = BasicColours();
  for (Colour r = 0; r < 6; ++r)
    for (Colour g = 0; g < 6; ++g)
      for (Colour b = 0; b < 6; ++b) table.push_back((r * 51) << 16 | (g * 51) << 8 | b * 51);
  for (Colour i = 0; i < 24; ++i) {
    const Colour level = 8 + 10 * i;
    table.push_back(level << 16 | level << 8 | level);
  }
  return table;
}

int Distance(Colour a, Colour b) {
  return std::abs(static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF)) +
         std::abs(static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF)) +
         std::abs(static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF));
}

}  // namespace

const std::vector<Colour>& DisplayColourTable(int depth) {
  static const std::vector<Colour> none;
  static const std::vector<Colour> sixteen = BasicColours();
  static const std::vector<Colour> full = FullTable();
  return depth <= 4 ? sixteen : depth <= 8 ? full : none;
}

uint32_t NearestIndex(const std::vector<Colour>& table, Colour c) {
  uint32_t best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < table.size() && bestDistance > 0; ++i) {
    const int d = Distance(table[i], c);
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<uint32_t>(i);
    }
  }
  return best;
}

NearestColour::NearestColour(const std::vector<Colour>& table)
    : table_(table.empty() ? std::vector<Colour>{0} : table), keys_(kSlots, kEmpty), answers_(kSlots, 0) {
  if (table_.size() > 256) table_.resize(256);
}

uint8_t NearestColour::index(Colour c) {
  c &= 0xFFFFFF;
  const uint32_t slot = (c * 2654435761u) >> 16;
  if (keys_[slot] != c) {
    keys_[slot] = c;
    answers_[slot] = static_cast<uint8_t>(NearestIndex(table_, c));
  }
  return answers_[slot];
}

}  // namespace platform
