#include "app/gif/GifSink.h"

namespace {

struct GifSinkState {
  GifSinkProc proc;
  void* data;
  uint64_t count;
  bool failed;
};

GifSinkState gSink = {nullptr, nullptr, 0, false};

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
