#include "jwin/J_clip.h"

#include <new>

#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/draw_state.h"

struct JClipRecord {
  uint16_t kind;
  const void* area;  // the window or bitmap that was current
  platform::Region region;
};

namespace {

const void* CurrentArea() {
  const JDrawState& s = JDrawCurrent();
  if (s.kind == kJAreaWindow || s.kind == kJAreaHiddenWindow) return s.window;
  if (s.kind == kJAreaBitmap) return s.map;
  return nullptr;
}

}  // namespace

JClipRecord* JSaveClip() {
  platform::DeviceContext* dc = JDrawContextQuiet();
  if (!dc) {
    JDebugReport("jwin/J_clip", __LINE__, "Error in getting clip region");
    return nullptr;
  }
  JClipRecord* saved = new (JAlloc(sizeof(JClipRecord))) JClipRecord();
  saved->kind = JDrawCurrent().kind;
  saved->area = CurrentArea();
  if (dc->hasClip()) {
    saved->region = dc->clipRegion();
  } else {
    saved->region = platform::Region(platform::Rect{0, 0, 10000, 10000});
  }
  return saved;
}

void JRestoreClip(JClipRecord* saved) {
  if (!saved) return;
  if (saved->kind == JDrawCurrent().kind && saved->area == CurrentArea()) {
    if (platform::DeviceContext* dc = JDrawContextQuiet()) dc->setClipRegion(saved->region);
  }
  saved->~JClipRecord();
  JFree(saved);
}

void JSetClipRect(JRect r) {
  platform::DeviceContext* dc = JDrawContext("jwin/J_clip", __LINE__);
  if (dc) dc->setClipRect({r.left, r.top, r.right, r.bottom});
}
