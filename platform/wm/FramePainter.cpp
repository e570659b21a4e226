#include "platform/wm/FramePainter.h"

#include <algorithm>
#include <cstring>

#include "platform/wm/CaptionFont.h"
#include "platform/wm/Metrics.h"

namespace platform::wm {

void FramePainter::fill(const Rect& r, Colour c) {
  const Rect a = r.intersected(clip_).intersected({0, 0, target_.width(), target_.height()});
  if (a.empty()) return;
  for (int y = a.top; y < a.bottom; ++y) std::fill(target_.row32(y) + a.left, target_.row32(y) + a.right, c);
}

void FramePainter::bevel(const Rect& r, bool raised) {
  const Colour light = raised ? Palette::kBorderLight : Palette::kBorderDark;
  const Colour dark = raised ? Palette::kBorderDark : Palette::kBorderLight;
  fill({r.left, r.top, r.right, r.top + 1}, light);
  fill({r.left, r.top, r.left + 1, r.bottom}, light);
  fill({r.left, r.bottom - 1, r.right, r.bottom}, dark);
  fill({r.right - 1, r.top, r.right, r.bottom}, dark);
}

void FramePainter::box(const Rect& r, HitPart kind, WindowState state) {
  fill(r, Palette::kFace);
  bevel(r, true);
  const Colour ink = Palette::kMenuText;
  const int cx = (r.left + r.right) / 2;
  const int cy = (r.top + r.bottom) / 2;
  switch (kind) {
    case HitPart::CloseBox:
      // A cross of two diagonal strokes, two pixels wide.
      for (int i = -4; i <= 3; ++i) {
        fill({cx + i, cy + i, cx + i + 2, cy + i + 1}, ink);
        fill({cx - i - 1, cy + i, cx - i + 1, cy + i + 1}, ink);
      }
      break;
    case HitPart::MaximizeBox:
      if (state == WindowState::Normal) {
        fill({cx - 5, cy - 4, cx + 5, cy - 2}, ink);
        fill({cx - 5, cy - 4, cx - 4, cy + 5}, ink);
        fill({cx + 4, cy - 4, cx + 5, cy + 5}, ink);
        fill({cx - 5, cy + 4, cx + 5, cy + 5}, ink);
      } else {
        // Restore: two overlapping small windows.
        fill({cx - 2, cy - 5, cx + 5, cy - 4}, ink);
        fill({cx + 4, cy - 5, cx + 5, cy + 2}, ink);
        fill({cx - 5, cy - 2, cx + 2, cy - 1}, ink);
        fill({cx - 5, cy - 2, cx - 4, cy + 5}, ink);
        fill({cx + 1, cy - 2, cx + 2, cy + 5}, ink);
        fill({cx - 5, cy + 4, cx + 2, cy + 5}, ink);
      }
      break;
    case HitPart::MinimizeBox:
      fill({cx - 4, cy + 2, cx + 3, cy + 4}, ink);
      break;
    default:
      break;
  }
}

void FramePainter::decoration(const Window& w, const Rect& f, bool active) {
  const Rect client = w.clientRect().translated(f.left, f.top);
  // Everything but the client area: the frame face, then an outline.
  fill({f.left, f.top, f.right, client.top}, Palette::kFace);
  fill({f.left, client.bottom, f.right, f.bottom}, Palette::kFace);
  fill({f.left, client.top, client.left, client.bottom}, Palette::kFace);
  fill({client.right, client.top, f.right, client.bottom}, Palette::kFace);
  bevel(f, true);
  if (w.style().caption) {
    const Rect cap = w.captionRect().translated(f.left, f.top);
    fill(cap, active ? Palette::kActiveCaption : Palette::kInactiveCaption);
    int textRight = cap.right - Metrics::kBoxGap;
    for (HitPart part : {HitPart::CloseBox, HitPart::MaximizeBox, HitPart::MinimizeBox}) {
      const Rect b = (part == HitPart::CloseBox      ? w.closeBoxRect()
                      : part == HitPart::MaximizeBox ? w.maximizeBoxRect()
                                                     : w.minimizeBoxRect())
                         .translated(f.left, f.top);
      if (b.empty()) continue;
      box(b, part, w.state());
      textRight = std::min(textRight, b.left - Metrics::kBoxGap);
    }
    text(cap.left + 4, cap.top, cap.height(), w.title(), Palette::kCaptionText, textRight);
  }
}

void FramePainter::menuBar(const Rect& strip, const std::vector<std::string>& titles,
                           const std::vector<Rect>& titleRects) {
  fill(strip, Palette::kFace);
  fill({strip.left, strip.bottom - 1, strip.right, strip.bottom}, Palette::kInactiveCaption);
  for (size_t i = 0; i < titles.size() && i < titleRects.size(); ++i) {
    const Rect r = titleRects[i];
    text(r.left + 6, r.top, r.height(), titles[i], Palette::kMenuText, r.right);
  }
}

void FramePainter::client(const Window& w, const Rect& screenClient) {
  const Bitmap& src = w.backing();
  Rect a = screenClient.intersected(clip_).intersected({0, 0, target_.width(), target_.height()});
  a = a.intersected({screenClient.left, screenClient.top, screenClient.left + src.width(),
                     screenClient.top + src.height()});
  if (a.empty()) return;
  const size_t bytes = static_cast<size_t>(a.width()) * 4;
  for (int y = a.top; y < a.bottom; ++y) {
    const uint32_t* from = src.row32(y - screenClient.top) + (a.left - screenClient.left);
    std::memcpy(target_.row32(y) + a.left, from, bytes);
  }
}

void FramePainter::text(int x, int top, int height, const std::string& s, Colour c, int maxRight) {
  CaptionFont::Draw(target_, clip_.intersected({x, top, maxRight, top + height}), x, top, height, s, c);
}

int FramePainter::TitleWidth(const std::string& title) { return CaptionFont::Width(title) + 12; }

}  // namespace platform::wm
