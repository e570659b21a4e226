// Copying between drawing areas with the numbered transfer modes.
#include "jindep/debug.h"
#include "jwin/J_draw.h"
#include "jwin/draw_state.h"
#include "jwin/pixel_map.h"
#include "platform/wm/WindowManager.h"

namespace {

constexpr const char* kSource = "jwin/J_draw";

// The platform raster operation of a transfer mode; 0 for none or an unknown mode.
uint32_t RopOf(int16_t mode, bool monoSource) {
  switch (mode) {
    case kJCopySource: return monoSource ? platform::rop3::PatOrSrc : platform::rop3::SrcCopy;
    case kJCopyAnd: return platform::rop3::SrcAnd;
    case kJCopyPlain: return platform::rop3::SrcCopy;
    case kJCopyOr: return platform::rop3::SrcPaint;
    case kJCopyNotSourceOr: return platform::rop3::MergePaint;
    default: return 0;
  }
}

}  // namespace

void JCopyBits(const void* source, JRect s, JRect d, int16_t mode) {
  if (mode == kJCopyNone) return;
  platform::DeviceContext* dc = JDrawContext(kSource, __LINE__);
  JDrawCheckGC(kSource, __LINE__);
  if (!dc || !source) return;
  platform::Bitmap* bitmap = nullptr;
  const platform::Bitmap* mask = nullptr;
  platform::Point origin;
  switch (*static_cast<const uint16_t*>(source)) {
    case kJAreaBitmap:
      bitmap = static_cast<const JPixMap*>(source)->bitmap;
      if (const JPixMap* m = static_cast<const JPixMap*>(source)->mask) mask = m->bitmap;
      break;
    case kJAreaPrinter:
      return;  // there is no printer page to read
    case kJAreaWindow:
    case kJAreaHiddenWindow: {
      const JWindowDrawArea* area = static_cast<const JWindowDrawArea*>(source);
      platform::wm::WindowManager* wm = JDrawWindowManager();
      uint32_t id = 0;
      int16_t h = 0, v = 0;
      if (!wm || !JDrawWindowInfo(area->window, &id, &h, &v) || !wm->window(id)) return;
      bitmap = &wm->window(id)->backing();
      origin = {h, v};
      break;
    }
    case kJAreaScreen: {
      // Screen coordinates are taken relative to the main window's content.
      platform::wm::WindowManager* wm = JDrawWindowManager();
      if (!wm) return;
      bitmap = &wm->screen().framebuffer();
      uint32_t id = 0;
      int16_t h = 0, v = 0;
      if (JDrawWindowInfo(JDrawMainWindow(), &id, &h, &v) && wm->window(id)) {
        const platform::Rect client = wm->screenClientRect(*wm->window(id));
        origin = {client.left + h, client.top + v};
      }
      break;
    }
    default:
      JDebugReport(kSource, __LINE__, "Unrecognized drawing area");
      return;
  }
  if (!bitmap) return;
  const uint32_t rop = RopOf(mode, bitmap->depth() == 1);
  if (rop == 0) {
    JDebugReport(kSource, __LINE__, "Unknown transfer mode");
    return;
  }
  platform::DeviceContext src(bitmap, origin, platform::Region(platform::Rect{0, 0, bitmap->width(), bitmap->height()}));
  const int16_t w = d.right - d.left, h = d.bottom - d.top;
  if (mask && w == s.right - s.left && h == s.bottom - s.top) {
    // The masked copy: the mode applies where the mask is black, white keeps the destination.
    dc->maskBlt(d.left, d.top, w, h, src, s.left, s.top, *mask, s.left, s.top, platform::rop3::Dst, rop);
    return;
  }
  dc->stretchBlt(d.left, d.top, d.right - d.left, d.bottom - d.top, src, s.left, s.top, s.right - s.left,
                 s.bottom - s.top, rop);
}
