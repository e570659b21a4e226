// The size of the GIF the document's current settings would write. It is measured,
// never guessed: the real writer runs into the counting sink, one pass per idle run and
// only while no input waits, so a large picture never holds up the user.
#pragma once
#include <cstddef>
#include <cstdint>

struct Document;

// Measuring starts again from the first pass; called whenever a setting that changes
// the GIF changes. Schedules the idle call if none is queued.
void ResetSizeEstimate(Document* document);
// Cancels the idle call and gives back what measuring kept (the document is closing).
void StopSizeEstimate(Document* document);
// Measures the next pass if measuring and no input waits; queued again while passes remain.
void SizeEstimateIdle(void* document);

// Told after every pass measured, so the size shown follows the estimate.
typedef void (*SizeEstimateListener)(Document* document);
void SetSizeEstimateListener(SizeEstimateListener listener);

inline constexpr size_t kSizeEstimateTextSize = 40;
// The text shown for the size: empty before the first pass of the current estimate,
// "> 12.5K" (a growing lower bound) while passes remain, the size alone when complete.
void SizeEstimateText(const Document* document, char* text);
