// Choosing the number of colours from what the user will accept: a quality of at least
// P per cent, a maximum error of at most E per cent (the measures the graphs show), a GIF
// of at most N bytes. Quality and error come from the one ranking's measures and only
// improve with more colours, so the fewest colours meeting them are read off directly.
// Size is measured by running the writer into the counting sink; since it is not strictly
// monotone in the number of colours, the search keeps a measured fit below a measured
// overflow and answers the fit.
#pragma once
#include <cstdint>

struct Document;

struct BatchTargets {
  bool quality;
  double minQuality;  // per cent
  bool error;
  double maxError;    // per cent of the largest distance, 768
  bool bytes;
  uint64_t maxBytes;
};

inline bool AnyTarget(const BatchTargets& t) { return t.quality || t.error || t.bytes; }

enum TargetOutcome : int {
  kTargetMet = 0,
  kTargetQualityUnreachable,  // even `cap` colours give less quality
  kTargetErrorUnreachable,    // even `cap` colours leave a larger error
  kTargetBytesUnreachable,    // the GIF of the colours chosen (or of 1 colour) is larger
};

struct TargetChoice {
  TargetOutcome outcome;
  uint32_t colours;  // the answer; when unreachable, the count with the best reachable value
  double quality;    // per cent, at `colours`
  double error;      // per cent, at `colours`
  uint64_t bytes;    // measured at `colours` when a size target was given
  // The neighbouring count that shows why `colours` is the answer: one fewer falls
  // short of quality or error, or one more no longer fits. 0 when there is none.
  uint32_t neighbour;
  double neighbourValue;  // its quality or error (per cent) or bytes
  bool neighbourError;    // the value is the maximum error, not the quality
  // With a size target missed by the fewest colours meeting quality and error: the most
  // colours that fit (0 if not even 1 does) and their quality.
  uint32_t fitting;
  double fittingQuality;
};

// Picks a count from 1 to `cap` (at most the available colours). The document's mapping
// is left for the last count measured: map again for the answer before writing.
void ChooseColours(Document* document, const BatchTargets& targets, uint32_t cap, TargetChoice* choice);

// Bytes of the GIF the document's settings give with k colours, measured with the
// counting sink. `tally` is scratch of one entry a colour. What later passes are written
// from stays with the document for the next count (ReleaseLaterPasses; ChooseColours does).
uint64_t MeasureGifBytes(Document* document, uint32_t* tally, uint32_t k);
