// Draws what the window manager owns on screen: frames, captions with their titles and
// boxes, and the main frame's menu-bar strip. Everything is clipped to one rectangle.
#pragma once
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/raster/Geometry.h"
#include "platform/wm/Menu.h"
#include "platform/wm/MenuPopup.h"
#include "platform/wm/Window.h"

namespace platform::wm {

class FramePainter {
 public:
  FramePainter(Bitmap& target, const Rect& clip) : target_(target), clip_(clip) {}

  void fill(const Rect& r, Colour c);
  // Frame, caption and boxes of a window whose frame is at `screenFrame`.
  void decoration(const Window& w, const Rect& screenFrame, bool active);
  // The strip with its titles; the title of an open menu (or -1) is highlighted.
  void menuBar(const Rect& screenStrip, const std::vector<Menu>& menus, const std::vector<Rect>& titleRects,
               int openIndex);
  void popup(const MenuPopup& popup);
  // Copies the window's backing into its client rectangle on the screen.
  void client(const Window& w, const Rect& screenClient);
  void text(int x, int top, int height, const std::string& s, Colour c, int maxRight);
  // A menu label: the keyboard letter underlined; answers the text's width.
  int label(int x, int top, int height, const MenuLabel& l, Colour c, int maxRight);

  // Width the strip gives a menu title.
  static int TitleWidth(const std::string& title);
  // A caption cut to `room` pixels: whole characters and "..." when it does not fit.
  static std::string FittedCaption(const std::string& title, int room);

 private:
  void box(const Rect& r, HitPart kind, WindowState state);
  void bevel(const Rect& r, bool raised);

  Bitmap& target_;
  Rect clip_;
};

}  // namespace platform::wm
