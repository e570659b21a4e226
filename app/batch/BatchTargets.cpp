#include "app/batch/BatchTargets.h"

#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTable.h"
#include "app/colour/Measures.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifStream.h"
#include "app/gif/GifWriter.h"
#include "app/gif/LaterPasses.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"

namespace {

struct Measures {
  uint64_t* quality;
  uint32_t* error;
  double budget;
};

double QualityAt(const Measures& m, uint32_t k) { return 100.0 * static_cast<double>(m.quality[k - 1]) / m.budget; }
double ErrorAt(const Measures& m, uint32_t k) { return 100.0 * m.error[k - 1] / 768.0; }

bool MeetsMeasures(const BatchTargets& t, const Measures& m, uint32_t k) {
  return (!t.quality || QualityAt(m, k) >= t.minQuality) && (!t.error || ErrorAt(m, k) <= t.maxError);
}

// The most colours from 1 to `high` whose GIF fits, by bisection between a measured fit
// and a measured overflow; 0 when 1 colour does not fit. `highBytes` is high's size. The
// fit's size goes to `fitBytes`, and the size of one colour more, when measured, to `overBytes`.
uint32_t MostThatFit(Document* d, uint32_t* tally, uint64_t maxBytes, uint32_t high, uint64_t highBytes,
                     uint64_t* fitBytes, uint64_t* overBytes) {
  *overBytes = 0;
  if (highBytes <= maxBytes) {
    *fitBytes = highBytes;
    return high;
  }
  uint64_t lowBytes = high == 1 ? highBytes : MeasureGifBytes(d, tally, 1);
  if (lowBytes > maxBytes) {
    *fitBytes = lowBytes;
    return 0;
  }
  uint32_t low = 1;
  while (high - low > 1) {
    const uint32_t mid = low + (high - low) / 2;
    const uint64_t b = MeasureGifBytes(d, tally, mid);
    if (b <= maxBytes) {
      low = mid;
      lowBytes = b;
    } else {
      high = mid;
      highBytes = b;
    }
  }
  *fitBytes = lowBytes;
  *overBytes = highBytes;
  return low;
}

}  // namespace

uint64_t MeasureGifBytes(Document* d, uint32_t* tally, uint32_t k) {
  MapForCount(d, tally, k);
  // What later passes are written from is made once for all the counts measured
  // (ChooseColours lets it go).
  if (GifStreamPasses(d, k) > 1 && LaterPassesApply(d)) PrepareLaterPasses(d);
  GifSinkBegin(nullptr, nullptr);
  GifWriteStream(d, tally, k, false);
  ProgressStep(1);
  return GifSinkCount();
}

void ChooseColours(Document* d, const BatchTargets& t, uint32_t cap, TargetChoice* choice) {
  *choice = {};
  if (cap == 0) return;  // every colour is transparent: nothing to choose
  const uint32_t n = d->colourTable->count;
  Measures m{JAllocArray<uint64_t>(n), JAllocArray<uint32_t>(n), static_cast<double>(QualityBudget(d))};
  ComputeQuality(d, m.quality);
  ComputeMaximumError(d, m.error);
  uint32_t* tally = JAllocArray<uint32_t>(n);
  // Bisection measures about twice the bits of the cap, and a few sizes more.
  uint32_t bits = 1;
  while (bits < 32 && (uint64_t{1} << bits) < cap) ++bits;
  ProgressBegin(JStr(kStrBatchProgressChoosing), t.bytes ? 2 * bits + 4 : 1);
  // Quality and error: the fewest colours meeting both (the measures only improve with k).
  uint32_t k = 1;
  if (t.quality || t.error) {
    uint32_t low = 1, high = cap;
    while (low < high) {
      const uint32_t mid = low + (high - low) / 2;
      if (MeetsMeasures(t, m, mid)) high = mid;
      else low = mid + 1;
    }
    k = low;
    if (!MeetsMeasures(t, m, k)) {
      choice->outcome = t.quality && QualityAt(m, k) < t.minQuality ? kTargetQualityUnreachable
                                                                      : kTargetErrorUnreachable;
    } else if (k > 1) {
      choice->neighbour = k - 1;
      choice->neighbourError = !(t.quality && QualityAt(m, k - 1) < t.minQuality);
      choice->neighbourValue = choice->neighbourError ? ErrorAt(m, k - 1) : QualityAt(m, k - 1);
    }
  } else {
    k = cap;  // a size alone: as many colours as fit
  }
  if (t.bytes && choice->outcome == kTargetMet) {
    const uint64_t bytes = MeasureGifBytes(d, tally, k);
    if (t.quality || t.error) {
      choice->bytes = bytes;
      if (bytes > t.maxBytes) {
        choice->outcome = kTargetBytesUnreachable;
        uint64_t fitBytes = 0, overBytes = 0;
        choice->fitting =
            k > 1 ? MostThatFit(d, tally, t.maxBytes, k - 1, MeasureGifBytes(d, tally, k - 1), &fitBytes, &overBytes)
                  : 0;
        if (choice->fitting) choice->fittingQuality = QualityAt(m, choice->fitting);
      }
    } else {
      uint64_t overBytes = 0;
      k = MostThatFit(d, tally, t.maxBytes, k, bytes, &choice->bytes, &overBytes);
      if (k == 0) {
        choice->outcome = kTargetBytesUnreachable;
        k = 1;
      } else if (overBytes) {
        choice->neighbour = k + 1;
        choice->neighbourValue = static_cast<double>(overBytes);
      }
    }
  }
  ReleaseLaterPasses(d);
  ProgressEnd();
  choice->colours = k;
  choice->quality = QualityAt(m, k);
  choice->error = ErrorAt(m, k);
  JFree(tally);
  JFree(m.quality);
  JFree(m.error);
}
