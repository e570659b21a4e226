// One platform window: a rectangle with an optional frame, caption and boxes around a
// client area that the program paints into a backing bitmap of its own.
//
// A document window's frame is kept in the client coordinates of the main frame's
// document area; every other window's frame is in screen coordinates.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Bitmap.h"
#include "platform/raster/Geometry.h"
#include "platform/wm/DirtyRegion.h"
#include "platform/wm/Message.h"

namespace platform::wm {

enum class WindowKind : uint8_t {
  MainFrame,  // caption, menu bar, and a document area holding the document windows
  Document,   // inside the main frame's document area, clipped to it
  Floating,   // kept above the others, with a caption
  Popup,      // bordered, no caption; `topmost` keeps it above
  Dialog,     // a popup with a caption
};

struct WindowStyle {
  bool caption = true;
  bool sizable = false;  // sizing border
  bool closeBox = true;
  bool minimizeBox = false;
  bool maximizeBox = false;
  bool systemMenu = false;
  bool topmost = false;
  bool eraseBackground = true;  // paint fills invalid areas with `background` first
  Colour background = 0xFFFFFF;
  int minTrackWidth = 1;  // smallest frame size sizing can reach
  int minTrackHeight = 1;
};

enum class WindowState : uint8_t { Normal, Minimized, Maximized };

// Which part of a window a screen point falls on.
enum class HitPart : uint8_t {
  Nowhere,
  Client,
  Caption,
  CloseBox,
  MinimizeBox,
  MaximizeBox,
  MenuBar,
  SystemBox,  // opens the system menu
  Border,  // sizing edges in HitResult::edges
  Frame,   // a border that does not size
};

enum Edge : uint8_t { kEdgeLeft = 1, kEdgeTop = 2, kEdgeRight = 4, kEdgeBottom = 8 };

class Window {
 public:
  Window(WindowId id, WindowKind kind, const WindowStyle& style, std::string title);

  WindowId id() const { return id_; }
  WindowKind kind() const { return kind_; }
  const WindowStyle& style() const { return style_; }
  // The smallest frame that sizing by the border can reach.
  void setMinimumTrackSize(int width, int height) {
    style_.minTrackWidth = width;
    style_.minTrackHeight = height;
  }
  const std::string& title() const { return title_; }
  void setTitle(std::string t) { title_ = std::move(t); }

  const Rect& frame() const { return frame_; }
  bool visible() const { return visible_; }
  WindowState state() const { return state_; }

  int borderWidth() const;
  bool hasMenuBar() const { return kind_ == WindowKind::MainFrame; }
  // The client area and the box rectangles in frame-local coordinates.
  Rect clientRect() const;
  Rect captionRect() const;
  Rect menuBarRect() const;
  Rect closeBoxRect() const;
  Rect maximizeBoxRect() const;
  Rect minimizeBoxRect() const;
  Rect systemBoxRect() const;
  // The frame that puts the client area at `client` (same coordinates).
  Rect frameAround(const Rect& client) const;
  // What lies under a point given in frame-local coordinates.
  HitPart hitTest(int x, int y, uint8_t* edges) const;

  // What the program drew; always the client area's size.
  Bitmap& backing() { return *backing_; }
  const Bitmap& backing() const { return *backing_; }

  // Areas of the client (client coordinates) that must be painted.
  DirtyRegion& invalid() { return invalid_; }
  const DirtyRegion& invalid() const { return invalid_; }

  // One pointer-sized word for the owner of the window (the toolkit's window record).
  void* userData() const { return userData_; }
  void setUserData(void* data) { userData_ = data; }

 private:
  friend class WindowManager;
  // Sets the frame; the backing bitmap follows the client size and keeps what still fits.
  void setFrame(const Rect& frame);

  WindowId id_;
  WindowKind kind_;
  WindowStyle style_;
  std::string title_;
  Rect frame_;
  Rect restoreFrame_;
  bool visible_ = false;
  WindowState state_ = WindowState::Normal;
  std::unique_ptr<Bitmap> backing_;
  DirtyRegion invalid_;
  void* userData_ = nullptr;
};

}  // namespace platform::wm
