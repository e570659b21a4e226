// Copying between drawing areas with the numbered transfer modes.
#include <memory>

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

// The masked copy: the mode applies where the mask is black, white keeps the destination. A copy
// that changes size first stretches the source and its mask to the destination's size, so both
// are sampled at the same places.
void CopyMasked(platform::DeviceContext* dc, const platform::DeviceContext& src, const platform::Bitmap& mask,
                JRect s, JRect d, uint32_t rop) {
  const int w = d.right - d.left, h = d.bottom - d.top, sw = s.right - s.left, sh = s.bottom - s.top;
  if (w == sw && h == sh) {
    dc->maskBlt(d.left, d.top, w, h, src, s.left, s.top, mask, s.left, s.top, platform::rop3::Dst, rop);
    return;
  }
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  std::unique_ptr<platform::Bitmap> image = platform::Bitmap::Create(w, h, src.target()->depth());
  std::unique_ptr<platform::Bitmap> shape = platform::Bitmap::Create(w, h, 1);
  if (!image || !shape) return;
  image->palette() = src.target()->palette();
  shape->palette() = mask.palette();
  platform::Bitmap maskCopy(mask);  // a context draws from a bitmap it may select into
  platform::DeviceContext imageDc(image.get()), shapeDc(shape.get()), maskDc(&maskCopy);
  imageDc.stretchBlt(0, 0, w, h, src, s.left, s.top, sw, sh, platform::rop3::SrcCopy);
  shapeDc.stretchBlt(0, 0, w, h, maskDc, s.left, s.top, sw, sh, platform::rop3::SrcCopy);
  dc->maskBlt(d.left, d.top, w, h, imageDc, 0, 0, *shape, 0, 0, platform::rop3::Dst, rop);
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
  if (mask) {
    CopyMasked(dc, src, *mask, s, d, rop);
    return;
  }
  dc->stretchBlt(d.left, d.top, d.right - d.left, d.bottom - d.top, src, s.left, s.top, s.right - s.left,
                 s.bottom - s.top, rop);
}
