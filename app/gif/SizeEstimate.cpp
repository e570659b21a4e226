#include "app/gif/SizeEstimate.h"

#include "app/colour/ColourTable.h"
#include "app/document/Document.h"
#include "app/gif/ByteSize.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "app/gif/LaterPasses.h"
#include "jindep/Ji_prinf.h"
#include "jindep/string_lists.h"
#include "jwin/J_event.h"
#include "jwin/J_sched.h"

namespace {

SizeEstimateListener listener = nullptr;

void Schedule(Document* d) {
  if (!d->estimateIdle) d->estimateIdle = JSchedule(SizeEstimateIdle, d, 0);
}

// One whole pass through the module-wide sink and writer: other streams (a save, the
// size graph, other documents) may run between two passes, never inside one.
void MeasureNextPass(Document* d) {
  const bool later = d->estimatePass >= 1 && LaterPassesApply(d);
  if (later && PrepareLaterPasses(d)) return;  // that was this run's work
  GifSinkBegin(nullptr, nullptr);
  const uint32_t k = ++d->estimatePass;
  const bool more = later ? GifWriteLaterPass(d, d->colourCount, k)
                          : GifWritePass(d, d->colourTable->tally, d->colourCount, k);
  d->estimateBytes += GifSinkCount();
  if (!more) d->estimating = 0;
  if (listener) listener(d);
}

}  // namespace

void ResetSizeEstimate(Document* d) {
  d->estimatePass = 0;
  d->estimateBytes = 0;
  d->estimating = 1;
  if (d->colourTable) Schedule(d);
}

void StopSizeEstimate(Document* d) {
  JCancelSchedule(static_cast<JScheduled*>(d->estimateIdle));
  d->estimateIdle = nullptr;
  ReleaseLaterPasses(d);
}

void SizeEstimateIdle(void* data) {
  Document* d = static_cast<Document*>(data);
  // The record that ran this call is freed by the loop once it returns.
  d->estimateIdle = nullptr;
  if (!d->estimating || d->closing || !d->colourTable) return;
  if (!JInputWaiting()) MeasureNextPass(d);
  // A finished estimate needs no further runs until the next reset.
  if (d->estimating) Schedule(d);
}

void SetSizeEstimateListener(SizeEstimateListener proc) { listener = proc; }

void SizeEstimateText(const Document* d, char* text) {
  text[0] = 0;
  if (d->estimatePass == 0) return;
  char size[kByteSizeTextSize];
  FormatByteSize(d->estimateBytes, size);
  if (d->estimating) {
    JFormatIntoSized(text, kSizeEstimateTextSize, JStr(kStrSizeInProgress), size);
  } else {
    JFormatIntoSized(text, kSizeEstimateTextSize, "%s%", size);
  }
}
