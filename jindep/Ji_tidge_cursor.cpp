// Cursor numbers and the pointer position.
#include "jindep/Ji_tidge_std.h"
#include "jwin/J_platform.h"

namespace {
int16_t current = 1;
}  // namespace

void JSetCursor(int16_t number) {
  using platform::wm::CursorShape;
  // 5 to 7 are the application's own cursors; the arrow stands in for them.
  static const CursorShape shapes[] = {CursorShape::Arrow, CursorShape::Crosshair, CursorShape::IBeam,
                                       CursorShape::Busy,  CursorShape::Arrow,     CursorShape::Arrow,
                                       CursorShape::Arrow};
  if (number < 1 || number > 7) return;
  current = number;
  if (JDesktopRunning()) JWindowManager().setCursor(shapes[number - 1]);
}

int16_t JCurrentCursor() { return current; }

void JGetPointer(int16_t* x, int16_t* y) {
  int px = 0, py = 0;
  if (JDesktopRunning()) {
    const platform::Rect area = JWindowManager().documentArea();
    px = JWindowManager().pointer().x - area.left;
    py = JWindowManager().pointer().y - area.top;
  }
  if (x) *x = static_cast<int16_t>(px);
  if (y) *y = static_cast<int16_t>(py);
}

void JSetPointer(int16_t x, int16_t y) {
  if (!JDesktopRunning()) return;
  const platform::Rect area = JWindowManager().documentArea();
  JWindowManager().warpPointer(area.left + x, area.top + y);
}
