#include "platform/wm/Window.h"

#include <algorithm>
#include <cstring>

#include "platform/wm/Metrics.h"

namespace platform::wm {

Window::Window(WindowId id, WindowKind kind, const WindowStyle& style, std::string title)
    : id_(id), kind_(kind), style_(style), title_(std::move(title)) {
  backing_ = Bitmap::Create(1, 1, 32);
}

int Window::borderWidth() const {
  return style_.sizable ? Metrics::kSizingBorder : Metrics::kThinBorder;
}

Rect Window::captionRect() const {
  if (!style_.caption) return {};
  const int b = borderWidth();
  return {b, b, frame_.width() - b, b + Metrics::kCaptionHeight};
}

Rect Window::menuBarRect() const {
  if (!hasMenuBar() || state_ == WindowState::Minimized) return {};
  const int b = borderWidth();
  const int top = b + (style_.caption ? Metrics::kCaptionHeight : 0);
  return {b, top, frame_.width() - b, top + Metrics::kMenuBarHeight};
}

Rect Window::clientRect() const {
  const int b = borderWidth();
  int top = b + (style_.caption ? Metrics::kCaptionHeight : 0);
  if (hasMenuBar()) top += Metrics::kMenuBarHeight;
  Rect r{b, top, frame_.width() - b, frame_.height() - b};
  if (state_ == WindowState::Minimized || r.empty()) return {r.left, r.top, r.left, r.top};
  return r;
}

Rect Window::frameAround(const Rect& client) const {
  const int b = borderWidth();
  int top = b + (style_.caption ? Metrics::kCaptionHeight : 0);
  if (hasMenuBar()) top += Metrics::kMenuBarHeight;
  return {client.left - b, client.top - top, client.right + b, client.bottom + b};
}

namespace {

// The caption's boxes stand in a line from its right end: each is placed left of its
// neighbour, and an empty neighbour stands for the caption's right edge.
Rect BoxLeftOf(Rect neighbour, const Rect& caption) {
  if (neighbour.empty()) {
    const int top = caption.top + (Metrics::kCaptionHeight - Metrics::kBoxHeight) / 2;
    neighbour = {caption.right, top, caption.right, top + Metrics::kBoxHeight};
  }
  const int right = neighbour.left - Metrics::kBoxGap;
  return {right - Metrics::kBoxWidth, neighbour.top, right, neighbour.bottom};
}

}  // namespace

Rect Window::closeBoxRect() const {
  if (!style_.caption || !style_.closeBox) return {};
  return BoxLeftOf({}, captionRect());
}

Rect Window::maximizeBoxRect() const {
  if (!style_.caption || !style_.maximizeBox) return {};
  return BoxLeftOf(closeBoxRect(), captionRect());
}

Rect Window::minimizeBoxRect() const {
  if (!style_.caption || !style_.minimizeBox) return {};
  Rect r = maximizeBoxRect();
  if (r.empty()) r = closeBoxRect();
  return BoxLeftOf(r, captionRect());
}

Rect Window::systemBoxRect() const {
  if (!style_.caption || !style_.systemMenu) return {};
  const Rect c = captionRect();
  const int top = c.top + (Metrics::kCaptionHeight - Metrics::kBoxHeight) / 2;
  return {c.left + Metrics::kBoxGap, top, c.left + Metrics::kBoxGap + Metrics::kBoxWidth, top + Metrics::kBoxHeight};
}

HitPart Window::hitTest(int x, int y, uint8_t* edges) const {
  if (edges) *edges = 0;
  if (x < 0 || y < 0 || x >= frame_.width() || y >= frame_.height()) return HitPart::Nowhere;
  if (closeBoxRect().contains(x, y)) return HitPart::CloseBox;
  if (maximizeBoxRect().contains(x, y)) return HitPart::MaximizeBox;
  if (minimizeBoxRect().contains(x, y)) return HitPart::MinimizeBox;
  if (systemBoxRect().contains(x, y)) return HitPart::SystemBox;
  if (captionRect().contains(x, y)) return HitPart::Caption;
  if (menuBarRect().contains(x, y)) return HitPart::MenuBar;
  if (clientRect().contains(x, y)) return HitPart::Client;
  if (!style_.sizable || state_ != WindowState::Normal) return HitPart::Frame;
  // Corners take a caption's height along each edge so they are easy to grab.
  const int corner = Metrics::kCaptionHeight;
  uint8_t e = 0;
  if (x < corner) e |= kEdgeLeft;
  if (x >= frame_.width() - corner) e |= kEdgeRight;
  if (y < corner) e |= kEdgeTop;
  if (y >= frame_.height() - corner) e |= kEdgeBottom;
  // On a window narrower or lower than two corners, the nearer side wins.
  if ((e & kEdgeLeft) && (e & kEdgeRight)) e &= ~(x < frame_.width() / 2 ? kEdgeRight : kEdgeLeft);
  if ((e & kEdgeTop) && (e & kEdgeBottom)) e &= ~(y < frame_.height() / 2 ? kEdgeBottom : kEdgeTop);
  if (edges) *edges = e;
  return HitPart::Border;
}

void Window::setFrame(const Rect& frame) {
  frame_ = frame;
  const Rect c = clientRect();
  if (c.empty()) return;  // a minimized window keeps its last picture
  if (backing_->width() == c.width() && backing_->height() == c.height()) return;
  std::unique_ptr<Bitmap> fresh = Bitmap::Create(c.width(), c.height(), 32);
  if (!fresh) return;
  const int w = std::min(c.width(), backing_->width());
  const int h = std::min(c.height(), backing_->height());
  for (int y = 0; y < h; ++y)
    std::memcpy(fresh->row32(y), backing_->row32(y), static_cast<size_t>(w) * 4);
  backing_ = std::move(fresh);
}

}  // namespace platform::wm
