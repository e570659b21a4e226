#include "app/batch/BatchRefine.h"

#include <algorithm>

#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTable.h"
#include "app/document/Document.h"
#include "jindep/memory.h"

namespace {

// Reassignment keeps a palette-to-palette table; beyond this many colours, means only.
constexpr uint32_t kMaxReassignColours = 1024;
constexpr uint32_t kMaxRounds = 3;
// A round that lowers the squared error by less than this share (per thousand) is the last.
constexpr uint64_t kWorthPerMille = 50;

uint32_t Squared(uint32_t a, uint32_t b) {
  const int dr = static_cast<int>(a >> 16 & 0xFF) - static_cast<int>(b >> 16 & 0xFF);
  const int dg = static_cast<int>(a >> 8 & 0xFF) - static_cast<int>(b >> 8 & 0xFF);
  const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
  return static_cast<uint32_t>(dr * dr + dg * dg + db * db);
}

// The colours the refining works on, in arrays of their own: the records are large and
// visited in no useful order.
struct Work {
  ColourTable* table;
  uint32_t n;
  uint32_t* original;  // each colour as the picture has it
  uint32_t* weight;    // its pixels; 0 for a colour the refining leaves alone
  uint32_t* slot;      // its palette entry (for a colour left alone: its own, unused)
  uint32_t m;          // palette entries: the opaque colours that stand for others
  uint32_t* entry;     // the record of each palette entry
  uint32_t* colour;    // the palette colour of each entry, as refined so far
  uint64_t pixels;
};

// Each palette colour becomes the rounded pixel-weighted mean of the colours it stands for.
void TakeMeans(Work* w) {
  uint64_t* sums = JAllocArray<uint64_t>(static_cast<size_t>(w->m) * 4);
  std::fill(sums, sums + static_cast<size_t>(w->m) * 4, 0);
  for (uint32_t i = 0; i < w->n; ++i) {
    if (!w->weight[i]) continue;
    uint64_t* s = &sums[static_cast<size_t>(w->slot[i]) * 4];
    const uint64_t pixels = w->weight[i];
    s[0] += pixels * (w->original[i] >> 16 & 0xFF);
    s[1] += pixels * (w->original[i] >> 8 & 0xFF);
    s[2] += pixels * (w->original[i] & 0xFF);
    s[3] += pixels;
  }
  for (uint32_t e = 0; e < w->m; ++e) {
    const uint64_t* s = &sums[static_cast<size_t>(e) * 4];
    auto mean = [&](int c) { return static_cast<uint32_t>((2 * s[c] + s[3]) / (2 * s[3])); };
    if (s[3]) w->colour[e] = mean(0) << 16 | mean(1) << 8 | mean(2);
  }
  JFree(sums);
}

uint64_t SquaredError(const Work& w) {
  uint64_t total = 0;
  for (uint32_t i = 0; i < w.n; ++i)
    if (w.weight[i]) total += static_cast<uint64_t>(w.weight[i]) * Squared(w.original[i], w.colour[w.slot[i]]);
  return total;
}

// Moves every colour to its nearest palette colour, palette colours themselves staying.
// Another entry can only be nearer to x than x's own entry r when |r e| < 2 |x r|, so each
// search walks r's neighbours, nearest first, and stops there.
void Reassign(Work* w) {
  const uint32_t m = w->m;
  uint32_t* near = JAllocArray<uint32_t>(static_cast<size_t>(m) * m);
  uint32_t* nearSquared = JAllocArray<uint32_t>(static_cast<size_t>(m) * m);
  for (uint32_t a = 0; a < m; ++a) {
    uint32_t* list = &near[static_cast<size_t>(a) * m];
    uint32_t* squared = &nearSquared[static_cast<size_t>(a) * m];
    for (uint32_t b = 0; b < m; ++b) list[b] = b;
    const uint32_t ca = w->colour[a];
    std::sort(list, list + m, [&](uint32_t x, uint32_t y) { return Squared(ca, w->colour[x]) < Squared(ca, w->colour[y]); });
    for (uint32_t b = 0; b < m; ++b) squared[b] = Squared(ca, w->colour[list[b]]);
  }
  for (uint32_t i = 0; i < w->n; ++i) {
    if (!w->weight[i] || w->entry[w->slot[i]] == i) continue;
    const uint32_t home = w->slot[i];
    const uint32_t own = Squared(w->original[i], w->colour[home]);
    const uint32_t* list = &near[static_cast<size_t>(home) * m];
    const uint32_t* squared = &nearSquared[static_cast<size_t>(home) * m];
    uint32_t best = home, bestSquared = own;
    for (uint32_t j = 1; j < m && squared[j] < 4 * own; ++j) {
      const uint32_t d = Squared(w->original[i], w->colour[list[j]]);
      if (d < bestSquared) {
        bestSquared = d;
        best = list[j];
      }
    }
    w->slot[i] = best;
  }
  JFree(near);
  JFree(nearSquared);
}

}  // namespace

void RefinePalette(Document* d, RefineResult* result) {
  *result = {};
  ColourTable* t = d->colourTable;
  ColourRecord* records = t->records;
  const bool transparencyOn = d->transparencyOn != 0;
  Work w{t, t->count, JAllocArray<uint32_t>(t->count), JAllocArray<uint32_t>(t->count),
         JAllocArray<uint32_t>(t->count), 0, JAllocArray<uint32_t>(t->count), JAllocArray<uint32_t>(t->count), 0};
  // Palette entries: colours that stand for themselves and are not transparent.
  for (uint32_t i = 0; i < w.n; ++i) {
    if (records[i].representative == i && !(transparencyOn && t->transparent[i])) {
      w.slot[i] = w.m;
      w.entry[w.m] = i;
      w.colour[w.m++] = records[i].colour;
    }
  }
  // Colours shown through a transparent colour, and transparent ones, are left alone.
  for (uint32_t i = 0; i < w.n; ++i) {
    const ColourRecord& r = records[i];
    const bool alone = transparencyOn && (t->transparent[i] || t->transparent[r.representative]);
    w.original[i] = r.colour;
    w.weight[i] = alone ? 0 : r.count;
    if (!alone) w.slot[i] = w.slot[r.representative];
    w.pixels += w.weight[i];
  }
  result->errorBefore = SquaredError(w);
  TakeMeans(&w);
  uint64_t error = SquaredError(w);
  if (w.m > 1 && w.m <= kMaxReassignColours) {
    while (result->rounds < kMaxRounds) {
      ++result->rounds;
      Reassign(&w);
      TakeMeans(&w);
      const uint64_t after = SquaredError(w);
      const bool worth = (error - after) * 1000 >= error * kWorthPerMille;
      error = after;
      if (!worth) break;
    }
  }
  result->errorAfter = error;
  // The result in the records, as the GIF writer reads them: palette colours are the
  // records' colours, and every colour refined is merged straight into its palette colour
  // (the writer follows merges, so none may lead through a colour that moved).
  for (uint32_t e = 0; e < w.m; ++e) records[w.entry[e]].colour = w.colour[e];
  for (uint32_t i = 0; i < w.n; ++i)
    if (w.weight[i] && w.entry[w.slot[i]] != i) records[i].mergedInto = records[i].representative = w.entry[w.slot[i]];
  CountMembers(t, t->tally, transparencyOn);
  JFree(w.original);
  JFree(w.weight);
  JFree(w.slot);
  JFree(w.entry);
  JFree(w.colour);
}
