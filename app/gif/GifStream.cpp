#include "app/gif/GifStream.h"

#include <pthread.h>

#include <cstring>

#include "app/colour/ColourTable.h"
#include "app/colour/HelperThread.h"
#include "app/colour/IndexImage.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifWriter.h"
#include "app/gif/LaterPasses.h"
#include "app/gif/LzwEncoder.h"
#include "jindep/memory.h"

namespace {

// Passes written ahead and not yet in the sink. With four, each thread can write one
// while the pass due next is still being written by the other.
constexpr int kAhead = 4;
// Pass buffers are reserved for the largest pass a picture can make; above this (about
// 40 million pixels) the stream is written on one thread instead.
constexpr uint64_t kLargestBuffer = 64ull << 20;

// The most bytes one pass can take: at most one code of 12 bits a pixel, a clear code
// every 3,800 codes or more, the first and last codes, a length byte every 255 data
// bytes, and the frame around the data (header and tables included).
uint64_t PassBytesBound(uint64_t pixels) {
  const uint64_t codes = pixels + pixels / 2048 + 8;
  const uint64_t data = codes * 3 / 2 + 2;
  return data + data / 255 + 1 + 2048;
}

struct AheadPass {
  uint32_t pass;  // 0: free
  bool done;
  bool whole;  // every byte fitted in the buffer
  bool more;   // what GifWritePass answered
  uint8_t* bytes;  // null when the stream only counts
  uint64_t size;
  uint64_t capacity;
};

// What the two threads share. `next` and the passes' claims and states are under `lock`;
// a claimed pass's buffer belongs to the thread that claimed it until it is done.
struct StreamShare {
  const Document* document;
  const uint32_t* tally;
  uint32_t n;
  uint32_t passes;
  bool counting;
  GifPassScratch scratch[2];  // the main thread's, the helper's
  pthread_mutex_t lock;
  pthread_cond_t changed;
  uint32_t next;  // the first pass nobody has taken
  bool stop;
  AheadPass ahead[kAhead];
};

bool AppendToPass(void* data, const uint8_t* bytes, size_t count) {
  AheadPass* a = static_cast<AheadPass*>(data);
  if (count > a->capacity - a->size) return false;
  memcpy(a->bytes + a->size, bytes, count);
  a->size += count;
  return true;
}

// Pass `a->pass` into its buffer, through this thread's sink.
void WriteIntoBuffer(StreamShare* s, AheadPass* a, const GifPassScratch* scratch) {
  a->size = 0;
  GifSinkBegin(s->counting ? nullptr : AppendToPass, a);
  a->more = GifWritePassWith(s->document, s->tally, s->n, a->pass, scratch);
  a->whole = !GifSinkFailed();
  a->size = GifSinkCount();
}

AheadPass* Find(StreamShare* s, uint32_t pass) {
  for (AheadPass& a : s->ahead)
    if (a.pass == pass) return &a;
  return nullptr;
}

// Claims the next pass into a free buffer (under the lock); null when none is left or free.
AheadPass* ClaimAhead(StreamShare* s) {
  AheadPass* a = s->next <= s->passes ? Find(s, 0) : nullptr;
  if (a) {
    a->pass = s->next++;
    a->done = false;
  }
  return a;
}

// Under the lock.
void MarkDone(StreamShare* s, AheadPass* a) {
  a->done = true;
  pthread_cond_broadcast(&s->changed);
}

void WriteAsHelper(void* data) {
  StreamShare* s = static_cast<StreamShare*>(data);
  pthread_mutex_lock(&s->lock);
  while (!s->stop && s->next <= s->passes) {
    AheadPass* a = ClaimAhead(s);
    if (!a) {
      pthread_cond_wait(&s->changed, &s->lock);
      continue;
    }
    pthread_mutex_unlock(&s->lock);
    WriteIntoBuffer(s, a, &s->scratch[1]);
    pthread_mutex_lock(&s->lock);
    MarkDone(s, a);
  }
  pthread_mutex_unlock(&s->lock);
}

// The main thread's turn at pass w: the buffer holding it once it is written, or null
// when nobody has taken it (the main thread then writes it straight into the sink).
// While the helper is still writing pass w, the main thread writes a later pass into
// a buffer rather than wait.
AheadPass* TakeTurn(StreamShare* s, uint32_t w) {
  pthread_mutex_lock(&s->lock);
  AheadPass* a;
  while ((a = Find(s, w)) && !a->done) {
    AheadPass* later = ClaimAhead(s);
    if (!later) {
      pthread_cond_wait(&s->changed, &s->lock);
      continue;
    }
    pthread_mutex_unlock(&s->lock);
    GifSinkState stream;
    GifSinkSave(&stream);
    WriteIntoBuffer(s, later, &s->scratch[0]);
    GifSinkRestore(&stream);
    pthread_mutex_lock(&s->lock);
    MarkDone(s, later);
  }
  // Every pass before w has been written, so a pass w in no buffer is the next untaken.
  if (!a) s->next = w + 1;
  pthread_mutex_unlock(&s->lock);
  return a;
}

void GiveBack(StreamShare* s, AheadPass* a) {
  pthread_mutex_lock(&s->lock);
  a->pass = 0;
  pthread_cond_broadcast(&s->changed);
  pthread_mutex_unlock(&s->lock);
}

StreamShare* NewShare(const Document* document, const uint32_t* tally, uint32_t n, uint32_t passes) {
  const IndexImage* image = document->indexImage;
  const uint64_t capacity = PassBytesBound(static_cast<uint64_t>(image->width) * image->height);
  if (capacity > kLargestBuffer) return nullptr;
  StreamShare* s = static_cast<StreamShare*>(JAlloc(sizeof(StreamShare)));
  memset(s, 0, sizeof *s);
  s->document = document;
  s->tally = tally;
  s->n = n;
  s->passes = passes;
  s->counting = GifSinkCounting();
  const uint32_t colours = document->colourTable->count;
  for (GifPassScratch& scratch : s->scratch) {
    scratch.paletteOf = JAllocArray<uint8_t>(colours ? colours : 1);
    scratch.slots = JAllocArray<uint64_t>(LzwTableEntries());
  }
  for (AheadPass& a : s->ahead) {
    // Only the pages a pass fills are ever touched.
    a.bytes = s->counting ? nullptr : JAllocArray<uint8_t>(capacity);
    a.capacity = s->counting ? 0 : capacity;
  }
  pthread_mutex_init(&s->lock, nullptr);
  pthread_cond_init(&s->changed, nullptr);
  return s;
}

void FreeShare(StreamShare* s) {
  pthread_cond_destroy(&s->changed);
  pthread_mutex_destroy(&s->lock);
  for (AheadPass& a : s->ahead) JFree(a.bytes);
  for (GifPassScratch& scratch : s->scratch) {
    JFree(scratch.paletteOf);
    JFree(scratch.slots);
  }
  JFree(s);
}

// Later passes written from the pixels they draw (LaterPasses.h) cost about those pixels
// rather than the whole picture, far less than a second thread saves. What they need is
// kept with the document; a stream that made it lets it go again.
void WriteLaterPassesFromPixels(Document* document, const uint32_t* tally, uint32_t n, bool stepPerPass) {
  const bool kept = document->laterPasses != nullptr;
  bool more = GifWritePass(document, tally, n, 1);
  for (uint32_t k = 2; more && !GifSinkFailed(); ++k) {
    if (stepPerPass) ProgressStep(1);
    more = GifWriteLaterPass(document, n, k);
  }
  if (stepPerPass) ProgressStep(1);
  if (!kept) ReleaseLaterPasses(document);
}

}  // namespace

// Making what later passes are written from costs about what writing fifteen whole passes
// of the picture does (1024x768 photograph: 55 ms against 3.8 ms a pass), so a stream of
// fewer passes writes them whole, unless the document already keeps it.
constexpr uint32_t kPassesWorthMakingLaterPasses = 16;

void GifWriteStream(Document* document, const uint32_t* tally, uint32_t n, bool stepPerPass) {
  const uint32_t passes = GifStreamPasses(document, n);
  if (passes > 1 && LaterPassesApply(document) &&
      (document->laterPasses || passes >= kPassesWorthMakingLaterPasses)) {
    WriteLaterPassesFromPixels(document, tally, n, stepPerPass);
    return;
  }
  StreamShare* s = passes > 1 && HelperThreadsWorthwhile() ? NewShare(document, tally, n, passes) : nullptr;
  HelperThread helper{};
  // Pass 1 (header and first table included) is the main thread's. Should the helper
  // not start, every pass is found untaken and the main thread writes them all.
  if (s) {
    s->next = 2;
    HelperStart(&helper, WriteAsHelper, s);
  }
  bool more = true;
  for (uint32_t k = 1; more && !GifSinkFailed(); ++k) {
    AheadPass* a = s && k > 1 ? TakeTurn(s, k) : nullptr;
    if (a && a->whole) {
      GifSinkWrite(static_cast<size_t>(a->size), a->bytes);
      more = a->more;
    } else {
      more = s ? GifWritePassWith(document, tally, n, k, &s->scratch[0]) : GifWritePass(document, tally, n, k);
    }
    if (a) GiveBack(s, a);
    if (stepPerPass) ProgressStep(1);
  }
  if (!s) return;
  pthread_mutex_lock(&s->lock);
  s->stop = true;
  pthread_cond_broadcast(&s->changed);
  pthread_mutex_unlock(&s->lock);
  HelperJoin(&helper);
  FreeShare(s);
}
