#include "jwin/desktop_view.h"

#include <algorithm>

#include "jwin/J_platform.h"
#include "jwin/J_window.h"

void JShowCursorShape(JCursorShape shape) {
  using platform::wm::CursorShape;
  static const CursorShape shapes[] = {CursorShape::Arrow, CursorShape::Crosshair, CursorShape::IBeam,
                                       CursorShape::Busy,  CursorShape::Hand,      CursorShape::Magnifier,
                                       CursorShape::Dropper};
  if (JDesktopRunning() && shape <= kJCursorDropper) JWindowManager().setCursor(shapes[shape]);
}

void JPointerInDocumentArea(int16_t* x, int16_t* y) {
  int px = 0, py = 0;
  if (JDesktopRunning()) {
    const platform::Rect area = JWindowManager().documentArea();
    px = JWindowManager().pointer().x - area.left;
    py = JWindowManager().pointer().y - area.top;
  }
  if (x) *x = static_cast<int16_t>(px);
  if (y) *y = static_cast<int16_t>(py);
}

void JMovePointerInDocumentArea(int16_t x, int16_t y) {
  if (!JDesktopRunning()) return;
  const platform::Rect area = JWindowManager().documentArea();
  JWindowManager().warpPointer(area.left + x, area.top + y);
}

void JCentreInDocumentArea(JWindow* window) {
  if (!window || !JDesktopRunning()) return;
  platform::wm::WindowManager& wm = JWindowManager();
  const platform::wm::Window* shown = wm.window(window->platformWindow);
  if (!shown) return;
  const platform::Rect frame = wm.screenFrame(*shown);
  const platform::Rect area = wm.documentArea().empty() ? wm.screen().bounds() : wm.documentArea();
  JMoveWindow(window, static_cast<int16_t>(area.left + (area.width() - frame.width()) / 2),
              static_cast<int16_t>(area.top + (area.height() - frame.height()) / 2));
}

void JMoveInsideDocumentArea(JWindow* window, int16_t left, int16_t top) {
  if (!window) return;
  const JRect frame = JGetWindowFrame(window), area = JMainWindowContent();
  const int right = (area.right - area.left) - (frame.right - frame.left);
  const int bottom = (area.bottom - area.top) - (frame.bottom - frame.top);
  JMoveWindow(window, static_cast<int16_t>(std::max(0, std::min<int>(left, right))),
              static_cast<int16_t>(std::max(0, std::min<int>(top, bottom))));
}
