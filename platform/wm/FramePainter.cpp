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
    case HitPart::SystemBox:
      fill({cx - 5, cy - 1, cx + 5, cy + 1}, ink);
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
    const Rect sys = w.systemBoxRect().translated(f.left, f.top);
    if (!sys.empty()) box(sys, HitPart::SystemBox, w.state());
    // Measuring the title is skipped where the caption is not being repainted.
    const int textLeft = (sys.empty() ? cap.left : sys.right) + 4;
    if (!cap.intersected(clip_).empty())
      text(textLeft, cap.top, cap.height(), FittedCaption(w.title(), textRight - textLeft), Palette::kCaptionText,
           textRight);
  }
}

void FramePainter::menuBar(const Rect& strip, const std::vector<Menu>& menus, const std::vector<Rect>& titleRects,
                           int openIndex) {
  fill(strip, Palette::kFace);
  fill({strip.left, strip.bottom - 1, strip.right, strip.bottom}, Palette::kInactiveCaption);
  for (size_t i = 0; i < menus.size() && i < titleRects.size(); ++i) {
    const Rect r = titleRects[i];
    const bool open = static_cast<int>(i) == openIndex;
    if (open) fill(r, Palette::kActiveCaption);
    const Colour ink = open ? Palette::kCaptionText : menus[i].enabled ? Palette::kMenuText : Palette::kInactiveCaption;
    label(r.left + 6, r.top, r.height(), MenuLabel::Parse(menus[i].title), ink, r.right);
  }
}

void FramePainter::popup(const MenuPopup& p) {
  const Rect b = p.bounds();
  fill(b, Palette::kFace);
  fill({b.left, b.top, b.right, b.top + 1}, Palette::kBorderLight);
  fill({b.left, b.top, b.left + 1, b.bottom}, Palette::kBorderLight);
  fill({b.left, b.bottom - 1, b.right, b.bottom}, Palette::kBorderDark);
  fill({b.right - 1, b.top, b.right, b.bottom}, Palette::kBorderDark);
  for (size_t i = 0; i < p.items().size(); ++i) {
    const MenuItem& item = p.items()[i];
    const Rect r = p.itemRects()[i];
    if (item.separator) {
      const int mid = (r.top + r.bottom) / 2;
      fill({r.left + 2, mid - 1, r.right - 2, mid}, Palette::kInactiveCaption);
      fill({r.left + 2, mid, r.right - 2, mid + 1}, Palette::kBorderLight);
      continue;
    }
    const bool hot = static_cast<int>(i) == p.hot();
    if (hot) fill(r, Palette::kActiveCaption);
    const Colour ink = !item.enabled ? Palette::kInactiveCaption : hot ? Palette::kCaptionText : Palette::kMenuText;
    if (item.checked) {
      // A tick in the left margin.
      const int cx = r.left + 9, cy = (r.top + r.bottom) / 2;
      for (int k = 0; k < 3; ++k) fill({cx - 3 + k, cy + k - 1, cx - 2 + k, cy + k + 1}, ink);
      for (int k = 0; k < 5; ++k) fill({cx + k, cy + 1 - k, cx + k + 1, cy + 3 - k}, ink);
    }
    const MenuLabel l = MenuLabel::Parse(item.label);
    label(r.left + 20, r.top, r.height(), l, ink, r.right);
    if (!l.shortcut.empty()) {
      const int w = CaptionFont::Width(l.shortcut);
      text(r.right - 8 - w, r.top, r.height(), l.shortcut, ink, r.right);
    }
  }
}

int FramePainter::label(int x, int top, int height, const MenuLabel& l, Colour c, int maxRight) {
  text(x, top, height, l.text, c, maxRight);
  if (l.underline >= 0) {
    const int from = x + CaptionFont::Width(l.text.substr(0, static_cast<size_t>(l.underline)));
    const int to = x + CaptionFont::Width(l.text.substr(0, static_cast<size_t>(l.underline) + 1));
    const int y = top + (height + CaptionFont::kPixelHeight) / 2;
    fill({from, y, std::min(to, maxRight), y + 1}, c);
  }
  return CaptionFont::Width(l.text);
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

std::string FramePainter::FittedCaption(const std::string& title, int room) {
  if (CaptionFont::Width(title) <= room) return title;
  // The longest whole-character start that fits with the dots, by halves: captions of
  // long file names are measured at every compose.
  size_t fits = 0, tooLong = title.size();
  while (tooLong - fits > 1) {
    auto inside = [&](size_t at) { return (static_cast<unsigned char>(title[at]) & 0xC0) == 0x80; };
    const size_t half = fits + (tooLong - fits) / 2;
    size_t middle = half;
    while (middle > fits && inside(middle)) --middle;
    if (middle == fits)
      for (middle = half; middle < tooLong && inside(middle);) ++middle;
    if (middle == tooLong) break;  // no character boundary between the two
    (CaptionFont::Width(title.substr(0, middle) + "...") <= room ? fits : tooLong) = middle;
  }
  return title.substr(0, fits) + "...";
}

int FramePainter::TitleWidth(const std::string& title) { return CaptionFont::Width(MenuLabel::Parse(title).text) + 12; }

}  // namespace platform::wm
