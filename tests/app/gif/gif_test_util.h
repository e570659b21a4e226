// What the GIF tests share: a memory destination for the byte sink, a giflib
// decoder that lays the images of a stream over one another as a viewer does, and
// hand-built documents (random colours, merge order and picture) with the picture
// the written GIF must show.
#pragma once
#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"
#include "app/colour/MergeOrder.h"
#include "app/document/Document.h"

namespace giftest {

inline bool AppendToVector(void* data, const uint8_t* bytes, size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(data);
  out->insert(out->end(), bytes, bytes + count);
  return true;
}

constexpr uint32_t kUnset = 0xFF000000u;  // no image drew the pixel
inline uint32_t Rgb(const GifColorType& c) { return uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue; }

// The logical screen after every image has been drawn over the earlier ones;
// colours are 0x00RRGGBB. `ok` is false when giflib refuses the stream, an index
// lies past its table, or an image would not stay on screen for the next one.
struct Screen {
  bool ok = false;
  int width = 0, height = 0, images = 0, globalColours = 0;
  std::vector<uint32_t> pixels;
  std::vector<bool> interlaced;
  std::vector<int> transparentIndex;      // per image, -1 when none
  std::vector<uint32_t> transparentEntry;  // per image, the colour its local table keeps there
  bool tablesTight = true;  // no table has more than twice the entries its images read
};

inline int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* r = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(count), r->first->size() - r->second);
  memcpy(out, r->first->data() + r->second, n);
  r->second += n;
  return static_cast<int>(n);
}

inline Screen DecodeScreen(const std::vector<uint8_t>& bytes) {
  Screen s;
  std::pair<const std::vector<uint8_t>*, size_t> reader(&bytes, 0);
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
  if (!gif) return s;
  s.ok = DGifSlurp(gif) == GIF_OK;
  s.width = gif->SWidth;
  s.height = gif->SHeight;
  s.images = s.ok ? gif->ImageCount : 0;
  s.globalColours = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
  s.pixels.assign(static_cast<size_t>(s.width) * s.height, kUnset);
  int globalHighest = -1;
  auto tight = [](int entries, int highest) { return entries <= 2 || highest >= entries / 2; };
  for (int i = 0; i < s.images; ++i) {
    const SavedImage& img = gif->SavedImages[i];
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(gif, i, &gcb);
    const ColorMapObject* map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
    if (!map || (i + 1 < s.images && gcb.DisposalMode != DISPOSE_DO_NOT)) s.ok = false;
    if (!map) break;
    s.transparentIndex.push_back(gcb.TransparentColor);
    s.interlaced.push_back(img.ImageDesc.Interlace);
    const bool local = img.ImageDesc.ColorMap != nullptr;
    const int t = gcb.TransparentColor;
    s.transparentEntry.push_back(local && t >= 0 && t < map->ColorCount ? Rgb(map->Colors[t]) : kUnset);
    int highest = t;
    // giflib's slurp already puts interlaced rows in picture order.
    for (int y = 0; y < img.ImageDesc.Height; ++y)
      for (int x = 0; x < img.ImageDesc.Width; ++x) {
        const int v = img.RasterBits[static_cast<size_t>(y) * img.ImageDesc.Width + x];
        highest = std::max(highest, v);
        if (v == t) continue;
        if (v >= map->ColorCount) {
          s.ok = false;
          continue;
        }
        s.pixels[static_cast<size_t>(y + img.ImageDesc.Top) * s.width + x + img.ImageDesc.Left] =
            Rgb(map->Colors[v]);
      }
    if (local) s.tablesTight = s.tablesTight && tight(map->ColorCount, highest);
    if (!local) globalHighest = std::max(globalHighest, highest);
  }
  if (gif->SColorMap) s.tablesTight = s.tablesTight && tight(s.globalColours, globalHighest);
  DGifCloseFile(gif, &error);
  return s;
}

struct TestDocument {
  Document doc;
  ColourTable table;
  MergeOrder mergeOrder;
  IndexImage image;
  std::vector<ColourRecord> records;
  std::vector<uint32_t> tallyStore, order, indices, transparent;
  std::vector<uint8_t> marks;  // the table's transparent marks

  TestDocument() { memset(&doc, 0, sizeof doc); }
  TestDocument(const TestDocument&) = delete;

  // Points the document at the vectors; call after filling or resizing them.
  void Link() {
    table.capacity = table.count = static_cast<uint32_t>(records.size());
    table.records = records.data();
    tallyStore.resize(records.size());
    table.tally = tallyStore.data();
    marks.resize(records.size());
    table.transparent = marks.data();
    mergeOrder.count = static_cast<uint32_t>(order.size());
    mergeOrder.order = order.data();
    image.indices = indices.data();
    doc.colourTable = &table;
    doc.mergeOrder = &mergeOrder;
    doc.indexImage = &image;
    doc.width = static_cast<int16_t>(image.width);
    doc.height = static_cast<int16_t>(image.height);
    transparent.clear();
    for (uint32_t i = 0; i < records.size(); ++i)
      if (marks[i]) transparent.push_back(i);
    doc.transparentList.count = doc.transparentList.capacity = static_cast<uint32_t>(transparent.size());
    doc.transparentList.indices = transparent.empty() ? nullptr : transparent.data();
  }
};

// n distinct colours in a random merge order, each merged into an earlier one;
// every colour appears in the picture at least once when it has room.
inline void MakeRandomDocument(TestDocument& t, std::mt19937& rng, uint32_t n, uint16_t width, uint16_t height) {
  t.records.assign(n, ColourRecord{});
  t.marks.assign(n, 0);
  std::vector<uint32_t> keys;
  while (keys.size() < n) {
    const uint32_t key = rng() & 0xFFFFFF;
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
  }
  t.order.resize(n);
  for (uint32_t i = 0; i < n; ++i) t.records[i].colour = keys[i], t.order[i] = i;
  std::shuffle(t.order.begin(), t.order.end(), rng);
  for (uint32_t p = 0; p < n; ++p) {
    ColourRecord& r = t.records[t.order[p]];
    r.mergedInto = p == 0 ? t.order[0] : t.order[rng() % p];
  }
  t.image.width = width;
  t.image.height = height;
  t.indices.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < t.indices.size(); ++i)
    t.indices[i] = i < n ? static_cast<uint32_t>(i) : static_cast<uint32_t>(rng() % n);
  std::shuffle(t.indices.begin(), t.indices.end(), rng);
  t.doc.firstPassBits = t.doc.laterPassBits = 8;
  t.doc.backgroundColour = {65535, 65535, 65535};
  t.Link();
}

// Maps for k colours as the controls do (into the table's tally) and returns what
// a viewer must show: each pixel in its representative's colour, pixels of
// transparent colours unset while transparency is on.
inline std::vector<uint32_t> MapAndExpect(TestDocument& t, uint32_t k) {
  MapForCount(&t.doc, t.table.tally, k);
  std::vector<uint32_t> out(t.indices.size());
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = t.doc.transparencyOn && t.marks[t.indices[i]] ? kUnset : MappedColour(&t.table, t.indices[i]);
  }
  return out;
}

}  // namespace giftest
