// Builds metafiles record by record, plain or placeable, for tests and fuzz seeds.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class WmfBuilder {
 public:
  // Appends a record with the given parameter words.
  WmfBuilder& add(uint16_t function, std::initializer_list<int> params) {
    std::vector<uint16_t> words;
    for (int p : params) words.push_back(static_cast<uint16_t>(p));
    return addWords(function, words);
  }
  WmfBuilder& addWords(uint16_t function, const std::vector<uint16_t>& words) {
    const uint32_t size = static_cast<uint32_t>(3 + words.size());
    word(static_cast<uint16_t>(size));
    word(static_cast<uint16_t>(size >> 16));
    word(function);
    for (uint16_t w : words) word(w);
    maxRecord_ = std::max(maxRecord_, size);
    return *this;
  }
  // A record with a raw length field, for damaged files.
  WmfBuilder& addRaw(uint32_t sizeWords, uint16_t function, std::initializer_list<int> params) {
    word(static_cast<uint16_t>(sizeWords));
    word(static_cast<uint16_t>(sizeWords >> 16));
    word(function);
    for (int p : params) word(static_cast<uint16_t>(p));
    return *this;
  }
  // Colours are stored red in the low byte.
  WmfBuilder& pen(int style, int width, uint32_t rgb) {
    return addWords(0x02FA, {static_cast<uint16_t>(style), static_cast<uint16_t>(width), 0, RedGreen(rgb), Blue(rgb)});
  }
  WmfBuilder& brush(int style, uint32_t rgb, int hatch = 0) {
    return addWords(0x02FC, {static_cast<uint16_t>(style), RedGreen(rgb), Blue(rgb), static_cast<uint16_t>(hatch)});
  }
  WmfBuilder& select(int index) { return add(0x012D, {index}); }

  // The metafile proper: header, records, end record.
  std::vector<uint8_t> bits() const {
    std::vector<uint8_t> out;
    auto put16 = [&](uint32_t v) { Put(out, v); };
    const uint32_t total = 9 + static_cast<uint32_t>(body_.size() / 2) + 3;
    put16(1);
    put16(9);
    put16(0x300);
    put16(total & 0xFFFF);
    put16(total >> 16);
    put16(8);  // objects
    put16(std::max<uint32_t>(maxRecord_, 3) & 0xFFFF);
    put16(std::max<uint32_t>(maxRecord_, 3) >> 16);
    put16(0);
    out.insert(out.end(), body_.begin(), body_.end());
    put16(3);
    put16(0);
    put16(0);
    return out;
  }
  std::vector<uint8_t> placeable(int left, int top, int right, int bottom, int unitsPerInch = 96) const {
    std::vector<uint8_t> out;
    auto put16 = [&](uint32_t v) { Put(out, v); };
    put16(0xCDD7);
    put16(0x9AC6);
    put16(0);
    put16(left);
    put16(top);
    put16(right);
    put16(bottom);
    put16(unitsPerInch);
    put16(0);
    put16(0);
    uint16_t sum = 0;
    for (size_t i = 0; i < 20; i += 2) sum ^= static_cast<uint16_t>(out[i] | (out[i + 1] << 8));
    put16(sum);
    const std::vector<uint8_t> b = bits();
    out.insert(out.end(), b.begin(), b.end());
    return out;
  }

 private:
  static uint16_t RedGreen(uint32_t rgb) { return static_cast<uint16_t>((rgb >> 16 & 0xFF) | (rgb & 0xFF00)); }
  static uint16_t Blue(uint32_t rgb) { return static_cast<uint16_t>(rgb & 0xFF); }
  static void Put(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  }
  void word(uint16_t w) { Put(body_, w); }
  std::vector<uint8_t> body_;
  uint32_t maxRecord_ = 3;
};
