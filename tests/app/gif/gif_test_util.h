// Helpers shared by the GIF tests: a memory destination for the byte sink, a
// reader of LZW code streams that tracks code widths as a decoder does, and a
// giflib-based decoder that composites the images of a stream as a viewer would.
#pragma once
#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/gif/GifSink.h"

namespace giftest {

inline bool AppendToVector(void* data, const uint8_t* bytes, size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(data);
  out->insert(out->end(), bytes, bytes + count);
  return true;
}

// Joins the data sub-blocks starting at `at` up to the zero-length terminator (or
// the end of the buffer); sets `at` past what was read.
inline std::vector<uint8_t> JoinSubBlocks(const std::vector<uint8_t>& s, size_t& at, bool& sawTerminator) {
  std::vector<uint8_t> data;
  sawTerminator = false;
  while (at < s.size()) {
    size_t len = s[at++];
    if (len == 0) {
      sawTerminator = true;
      break;
    }
    data.insert(data.end(), s.begin() + at, s.begin() + at + len);
    at += len;
  }
  return data;
}

struct CodeRecord {
  uint32_t code;
  int width;
};

// Reads codes LSB first the way a GIF decoder does: the width starts at initBits,
// grows when the next table entry reaches 2^width (up to 12) and resets at a clear
// code. Fills the decoded values and the codes read; returns false on a bad code.
inline bool DecodeCodes(const std::vector<uint8_t>& data, int initBits, std::vector<uint8_t>& values,
                        std::vector<CodeRecord>& codes) {
  const uint32_t clear = 1u << (initBits - 1), end = clear + 1;
  // Each entry is a prefix code plus a last value; strings are spelled backwards.
  std::vector<int32_t> prefix(4096, -1);
  std::vector<uint8_t> suffix(4096), first(4096);
  for (uint32_t i = 0; i < clear; ++i) suffix[i] = first[i] = static_cast<uint8_t>(i);
  uint32_t size = clear + 2;
  int width = initBits;
  size_t bitPos = 0;
  int32_t prev = -1;
  std::vector<uint8_t> spelled;
  auto spell = [&](uint32_t code) {
    spelled.clear();
    for (int32_t c = static_cast<int32_t>(code); c >= 0; c = prefix[c]) spelled.push_back(suffix[c]);
    values.insert(values.end(), spelled.rbegin(), spelled.rend());
  };
  while (bitPos + width <= data.size() * 8) {
    uint32_t code = 0;
    for (int b = 0; b < width; ++b, ++bitPos)
      code |= ((data[bitPos >> 3] >> (bitPos & 7)) & 1u) << b;
    codes.push_back({code, width});
    if (code == clear) {
      size = clear + 2;
      width = initBits;
      prev = -1;
      continue;
    }
    if (code == end) return true;
    if (code == clear + 1 || code > size || (code == size && prev < 0)) return false;
    if (prev >= 0 && size < 4096) {
      // The new entry is the previous string plus the first value of this one
      // (of the previous one itself when the code is the entry being made).
      prefix[size] = prev;
      suffix[size] = code == size ? first[prev] : first[code];
      first[size] = first[prev];
      ++size;
    } else if (code == size) {
      return false;
    }
    spell(code);
    prev = static_cast<int32_t>(code);
    if (size == (1u << width) && width < 12) ++width;
  }
  return false;
}

struct MemoryReader {
  const std::vector<uint8_t>* bytes;
  size_t at;
};

inline int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  size_t left = r->bytes->size() - r->at;
  size_t n = static_cast<size_t>(count) < left ? static_cast<size_t>(count) : left;
  memcpy(out, r->bytes->data() + r->at, n);
  r->at += n;
  return static_cast<int>(n);
}

// The logical screen after every image of the stream has been drawn over the
// previous ones; pixels no image drew are `unset`. Colours are 0x00RRGGBB.
struct Screen {
  bool ok = false;
  int width = 0, height = 0, images = 0;
  std::vector<uint32_t> pixels;
  std::vector<bool> interlaced;
  std::vector<int> transparentIndex;  // per image, -1 when none
  int globalColours = 0;
};

constexpr uint32_t kUnset = 0xFF000000u;

inline Screen DecodeScreen(const std::vector<uint8_t>& bytes) {
  Screen s;
  MemoryReader reader{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
  if (!gif) return s;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return s;
  }
  s.width = gif->SWidth;
  s.height = gif->SHeight;
  s.images = gif->ImageCount;
  s.globalColours = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
  s.pixels.assign(static_cast<size_t>(s.width) * s.height, kUnset);
  s.ok = true;
  for (int i = 0; i < gif->ImageCount; ++i) {
    SavedImage& img = gif->SavedImages[i];
    GraphicsControlBlock gcb;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    s.transparentIndex.push_back(gcb.TransparentColor);
    s.interlaced.push_back(img.ImageDesc.Interlace);
    ColorMapObject* map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
    if (!map) {
      s.ok = false;
      break;
    }
    // giflib's slurp already puts interlaced rows in picture order.
    for (int y = 0; y < img.ImageDesc.Height; ++y)
      for (int x = 0; x < img.ImageDesc.Width; ++x) {
        int v = img.RasterBits[static_cast<size_t>(y) * img.ImageDesc.Width + x];
        if (v == gcb.TransparentColor) continue;
        if (v >= map->ColorCount) {
          s.ok = false;
          continue;
        }
        GifColorType c = map->Colors[v];
        s.pixels[static_cast<size_t>(y + img.ImageDesc.Top) * s.width + x + img.ImageDesc.Left] =
            (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
      }
  }
  DGifCloseFile(gif, &error);
  return s;
}

}  // namespace giftest
