// Hand-built documents for the writer tests: a random colour table, merge order
// and index image, without running the colour engine, plus an independent
// mapping for k colours that says what the written GIF must show.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"
#include "app/colour/MergeOrder.h"
#include "app/document/Document.h"
#include "gif_test_util.h"

namespace giftest {

struct TestDocument {
  Document doc;
  ColourTable table;
  MergeOrder mergeOrder;
  IndexImage image;
  std::vector<ColourRecord> records;
  std::vector<uint32_t> tallyStore;
  std::vector<uint32_t> order;
  std::vector<uint32_t> indices;
  std::vector<uint32_t> transparent;

  TestDocument() { memset(&doc, 0, sizeof doc); }
  TestDocument(const TestDocument&) = delete;

  // Points the document at the vectors; call after filling or resizing them.
  void Link() {
    table.capacity = table.count = static_cast<uint32_t>(records.size());
    table.records = records.data();
    tallyStore.resize(records.size());
    table.tally = tallyStore.data();
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
      if (records[i].transparent) transparent.push_back(i);
    doc.transparentList.count = doc.transparentList.capacity = static_cast<uint32_t>(transparent.size());
    doc.transparentList.indices = transparent.empty() ? nullptr : transparent.data();
  }
};

// n distinct colours in a random merge order, each merged into an earlier one;
// every colour appears in the picture at least once when it has room.
inline void MakeRandomDocument(TestDocument& t, std::mt19937& rng, uint32_t n, uint16_t width, uint16_t height) {
  t.records.assign(n, ColourRecord{});
  std::vector<uint32_t> keys;
  while (keys.size() < n) {
    uint32_t key = rng() & 0xFFFFFF;
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
  }
  for (uint32_t i = 0; i < n; ++i) t.records[i].colour = keys[i];
  t.order.resize(n);
  for (uint32_t i = 0; i < n; ++i) t.order[i] = i;
  std::shuffle(t.order.begin(), t.order.end(), rng);
  for (uint32_t p = 0; p < n; ++p) {
    ColourRecord& r = t.records[t.order[p]];
    r.mergePosition = p;
    r.mergedInto = p == 0 ? t.order[0] : t.order[rng() % p];
    r.paletteIndex = static_cast<uint8_t>(rng());  // stale from some earlier stream
  }
  t.image.width = width;
  t.image.height = height;
  t.indices.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < t.indices.size(); ++i)
    t.indices[i] = i < n ? static_cast<uint32_t>(i) : static_cast<uint32_t>(rng() % n);
  std::shuffle(t.indices.begin(), t.indices.end(), rng);
  t.doc.firstPassBits = 8;
  t.doc.laterPassBits = 8;
  t.doc.backgroundColour = {65535, 65535, 65535};
  t.Link();
}

// The palette that the first k colours not marked transparent give (k <= n - t
// with transparency on): representatives by position, and per representative the
// number of colours it stands for, transparent ones not counted when transparency is on.
inline void ReferenceMapping(TestDocument& t, uint32_t k, std::vector<uint32_t>& rep, std::vector<uint32_t>& tally) {
  const uint32_t n = static_cast<uint32_t>(t.records.size());
  const bool skip = t.doc.transparencyOn;
  rep.assign(n, 0);
  for (uint32_t m = k; m <= n; ++m) {
    for (uint32_t p = 0; p < n; ++p) {
      uint32_t c = t.order[p];
      rep[c] = p < m ? c : rep[t.records[c].mergedInto];
    }
    tally.assign(n, 0);
    for (uint32_t i = 0; i < n; ++i)
      if (!(skip && t.records[i].transparent)) ++tally[rep[i]];
    uint32_t used = 0;
    for (uint32_t v : tally) used += v != 0;
    if (!skip || used == k) return;
  }
}

// What a viewer must show: each pixel in its representative's colour, pixels of
// transparent colours unset while transparency is on.
inline std::vector<uint32_t> ExpectedScreen(const TestDocument& t, const std::vector<uint32_t>& rep) {
  std::vector<uint32_t> out(t.indices.size());
  for (size_t i = 0; i < out.size(); ++i) {
    const ColourRecord& r = t.records[t.indices[i]];
    out[i] = t.doc.transparencyOn && r.transparent ? kUnset : t.records[rep[t.indices[i]]].colour;
  }
  return out;
}

}  // namespace giftest
