#include "app/gif/GifSink.h"

namespace {

// One sink per thread: a helper writing a pass ahead of the main thread sends its
// bytes to a buffer of its own while the main thread's stream goes on.
thread_local GifSinkState gSink = {nullptr, nullptr, 0, false};

}  // namespace

void GifSinkBegin(GifSinkProc proc, void* data) {
  gSink.proc = proc;
  gSink.data = data;
  gSink.count = 0;
  gSink.failed = false;
}

void GifSinkWrite(size_t count, const uint8_t* bytes) {
  gSink.count += count;
  // After one failure the file is lost anyway; do not keep writing into it.
  if (gSink.proc && !gSink.failed && !gSink.proc(gSink.data, bytes, count)) gSink.failed = true;
}

bool GifSinkCounting() { return !gSink.proc; }

uint64_t GifSinkCount() { return gSink.count; }

bool GifSinkFailed() { return gSink.failed; }

void GifSinkSave(GifSinkState* state) { *state = gSink; }

void GifSinkRestore(const GifSinkState* state) { gSink = *state; }
