#include "reference_gif.h"

#include <cstddef>

#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"
#include "app/colour/MergeOrder.h"
#include "app/document/Document.h"

namespace giftest {
namespace {

constexpr int kHashSize = 5003;
constexpr int kMaxCodes = 4096;

// Variable-width LZW as a GIF decoder expects it: codes packed least significant
// bit first into sub-blocks of up to 255 bytes.
struct Lzw {
  std::vector<uint8_t> out;
  int initBits = 0, nBits = 0, maxCode = 0;
  int clearCode = 0, endCode = 0, freeEntry = 0;
  bool clearPending = false;
  uint32_t accumulator = 0;
  int pending = 0;
  uint8_t block[256] = {};
  int fill = 1;
  std::vector<int32_t> keys = std::vector<int32_t>(kHashSize, -1);
  std::vector<uint16_t> codes = std::vector<uint16_t>(kHashSize, 0);

  void WriteBlock() {
    if (fill <= 1) return;
    block[0] = static_cast<uint8_t>(fill - 1);
    out.insert(out.end(), block, block + fill);
    fill = 1;
  }

  void PutByte(uint8_t byte) {
    block[fill++] = byte;
    if (fill == 256) WriteBlock();
  }

  void Send(int code) {
    if (pending >= 1)
      accumulator |= static_cast<uint32_t>(code) << pending;
    else
      accumulator = static_cast<uint32_t>(code);
    pending += nBits;
    while (pending >= 8) {
      PutByte(static_cast<uint8_t>(accumulator & 0xFF));
      accumulator >>= 8;
      pending -= 8;
    }
    // The width follows the table one code late, as a decoder widens after adding.
    if (freeEntry > maxCode || clearPending) {
      if (clearPending) {
        nBits = initBits;
        maxCode = (1 << nBits) - 1;
        clearPending = false;
      } else {
        ++nBits;
        maxCode = nBits == 12 ? kMaxCodes : (1 << nBits) - 1;
      }
    }
  }

  void Flush() {
    while (pending >= 1) {
      PutByte(static_cast<uint8_t>(accumulator & 0xFF));
      accumulator >>= 8;
      pending -= 8;
    }
    pending = 0;
    WriteBlock();
  }

  void ClearKeys() {
    for (int32_t& k : keys) k = -1;
  }

  void Compress(int bits, const std::vector<uint8_t>& pixels) {
    initBits = nBits = bits;
    maxCode = (1 << nBits) - 1;
    clearCode = 1 << (initBits - 1);
    endCode = clearCode + 1;
    freeEntry = clearCode + 2;
    clearPending = false;
    fill = 1;
    if (pixels.empty()) {
      Send(endCode);
      Flush();
      return;
    }
    int ent = pixels[0];
    int shiftCount = 0;
    for (long running = kHashSize; running < 65536; running *= 2) ++shiftCount;
    const int hashShift = 8 - shiftCount;
    ClearKeys();
    Send(clearCode);
    for (size_t p = 1; p < pixels.size(); ++p) {
      const int c = pixels[p] & 0xFF;
      const int32_t key = (c << 12) + ent;
      int i = (c << hashShift) ^ ent;
      bool hit = keys[i] == key;
      if (!hit && keys[i] >= 0) {
        const int displacement = i == 0 ? 1 : kHashSize - i;
        for (;;) {
          i -= displacement;
          if (i < 0) i += kHashSize;
          if (keys[i] == key) {
            hit = true;
            break;
          }
          if (keys[i] <= 0) break;
        }
      }
      if (hit) {
        ent = codes[i];
        continue;
      }
      Send(ent);
      if (freeEntry < kMaxCodes) {
        codes[i] = static_cast<uint16_t>(freeEntry++);
        keys[i] = key;
      } else {
        ClearKeys();
        freeEntry = clearCode + 2;
        clearPending = true;
        Send(clearCode);
      }
      ent = c;
    }
    Send(ent);
    Send(endCode);
    Flush();
  }
};

// Bits of a colour table that holds m entries (two entries at least).
int TableBits(uint32_t m) {
  if (m <= 1) return 1;
  int bits = 0;
  for (uint32_t v = m - 1; v != 0; v >>= 1) ++bits;
  return bits;
}

struct Passes {
  uint32_t first, later;
  explicit Passes(const Document* d)
      : first((1u << d->firstPassBits) - (d->transparencyOn ? 1 : 0)), later((1u << d->laterPassBits) - 1) {}
  uint32_t ColoursFor(uint32_t k) const { return k == 0 ? 0 : first + (k - 1) * later; }
  uint32_t PassesFor(uint32_t c) const {
    if (c == 0) return 0;
    if (c <= first) return 1;
    return (c - first + later - 1) / later + 1;
  }
};

void Put16(std::vector<uint8_t>& s, uint32_t v) {
  s.push_back(static_cast<uint8_t>(v & 0xFF));
  s.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

uint8_t Channel8(uint16_t c) { return static_cast<uint8_t>((c - (c >> 8)) >> 8); }

// Fills `table` (256 RGB entries, zero where no colour goes) and `palette` (the
// image index of every colour) for the merge positions before .. after.
void BuildTable(const Document* d, const uint32_t* tally, bool global, uint32_t before, uint32_t after,
                bool transparentFlag, uint32_t t, bool markTransparent, std::vector<uint8_t>& table,
                std::vector<uint8_t>& palette) {
  const ColourTable* ct = d->colourTable;
  const uint32_t* order = d->mergeOrder->order;
  const uint32_t count = d->mergeOrder->count;
  table.assign(256 * 3, 0);
  // The colour that survives longest is merged into itself; when it takes no
  // entry (a transparent colour with nothing to stand for) the colours that lead
  // to it have no drawn colour in this pass and stay transparent.
  palette.assign(ct->count, static_cast<uint8_t>(t));
  uint32_t e = 0;
  if (transparentFlag && !global) {
    table[t * 3 + 0] = Channel8(d->backgroundColour.red);
    table[t * 3 + 1] = Channel8(d->backgroundColour.green);
    table[t * 3 + 2] = Channel8(d->backgroundColour.blue);
    if (t == 0) e = 1;
  }
  uint32_t i = 0;
  for (; i < before && i < count; ++i) {
    const uint32_t c = order[i];
    palette[c] = static_cast<uint8_t>(t);
    if (tally[c] == 0) {
      ++before;
      ++after;
    } else if (global) {
      ++e;
    }
  }
  for (; i < after && i < count; ++i) {
    const uint32_t c = order[i];
    if (tally[c] > 0) {
      palette[c] = static_cast<uint8_t>(e);
      if (e < 256) {
        const uint32_t key = ct->records[c].colour;
        table[e * 3 + 0] = static_cast<uint8_t>(key >> 16);
        table[e * 3 + 1] = static_cast<uint8_t>(key >> 8);
        table[e * 3 + 2] = static_cast<uint8_t>(key);
      }
      ++e;
    } else {
      palette[c] = palette[ct->records[c].mergedInto];
      ++after;
    }
  }
  for (; i < count; ++i) palette[order[i]] = palette[ct->records[order[i]].mergedInto];
  if (markTransparent)
    for (uint32_t c = 0; c < ct->count; ++c)
      if (ct->records[c].transparent) palette[c] = static_cast<uint8_t>(t);
}

// Palette indices of every pixel in the order the image stores its rows.
std::vector<uint8_t> ImagePixels(const IndexImage* image, const std::vector<uint8_t>& palette, bool interlace) {
  std::vector<uint32_t> rows;
  if (interlace) {
    const uint32_t starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    for (int g = 0; g < 4; ++g)
      for (uint32_t y = starts[g]; y < image->height; y += steps[g]) rows.push_back(y);
  } else {
    for (uint32_t y = 0; y < image->height; ++y) rows.push_back(y);
  }
  std::vector<uint8_t> pixels;
  pixels.reserve(static_cast<size_t>(image->width) * image->height);
  for (uint32_t y : rows)
    for (uint32_t x = 0; x < image->width; ++x)
      pixels.push_back(palette[image->indices[static_cast<size_t>(y) * image->width + x]]);
  return pixels;
}

}  // namespace

std::vector<uint8_t> ReferenceLzw(int initBits, const std::vector<uint8_t>& pixels) {
  Lzw lzw;
  lzw.Compress(initBits, pixels);
  return lzw.out;
}

std::vector<uint8_t> ReferenceGifStream(const Document* d, const uint32_t* tally, uint32_t n) {
  std::vector<uint8_t> s;
  const Passes passes(d);
  const IndexImage* image = d->indexImage;
  const bool global = d->useGlobalTable;
  // A global table only exists when there is a colour to put in it.
  const bool globalPresent = global && n > 0;
  const int globalBits = d->transparencyOn && passes.PassesFor(n) == 1 ? TableBits(n + 1) : TableBits(n);
  std::vector<uint8_t> table, palette;

  for (const char* h = "GIF89a"; *h; ++h) s.push_back(static_cast<uint8_t>(*h));
  Put16(s, image->width);
  Put16(s, image->height);
  s.push_back(globalPresent ? static_cast<uint8_t>(0x80 | (globalBits - 1) << 4 | (globalBits - 1)) : 0);
  s.push_back(0);
  s.push_back(0x31);
  if (globalPresent) {
    BuildTable(d, tally, true, 0, n, false, 0, false, table, palette);
    s.insert(s.end(), table.begin(), table.begin() + (3u << globalBits));
  }
  if (n == 0) {
    s.push_back(0x3B);
    return s;
  }

  for (uint32_t k = 1;; ++k) {
    const uint32_t before = passes.ColoursFor(k - 1);
    uint32_t after = passes.ColoursFor(k);
    const bool last = after >= n;
    if (last) after = n;
    const bool interlace = k == 1 ? d->interlaceFirst : d->interlaceLater;
    const bool flag = k == 1 ? d->transparencyOn : true;
    const uint32_t t = flag && global && k == 1 ? after - before : 0;
    const int bits = global ? globalBits : TableBits(after - before + (flag ? 1 : 0));
    // With transparency off, colours marked transparent are drawn like the rest.
    BuildTable(d, tally, global, before, after, flag, t, d->transparencyOn, table, palette);

    s.insert(s.end(), {0x21, 0xF9, 0x04, static_cast<uint8_t>(0x04 | (flag ? 1 : 0)), 0, 0,
                       static_cast<uint8_t>(flag ? t : 0), 0});
    s.push_back(0x2C);
    Put16(s, 0);
    Put16(s, 0);
    Put16(s, image->width);
    Put16(s, image->height);
    s.push_back(static_cast<uint8_t>((global ? 0 : 0x80) | (interlace ? 0x40 : 0) | (global ? 0 : bits - 1)));
    if (!global) s.insert(s.end(), table.begin(), table.begin() + (3u << bits));
    const int minCodeSize = bits < 2 ? 2 : bits;
    s.push_back(static_cast<uint8_t>(minCodeSize));
    const std::vector<uint8_t> data = ReferenceLzw(minCodeSize + 1, ImagePixels(image, palette, interlace));
    s.insert(s.end(), data.begin(), data.end());
    s.push_back(0);
    if (last) break;
  }
  s.push_back(0x3B);
  return s;
}

}  // namespace giftest
