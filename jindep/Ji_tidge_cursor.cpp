// Cursor numbers and the pointer position.
#include "jindep/Ji_tidge_std.h"
#include "jwin/desktop_view.h"

namespace {
int16_t current = 1;
}  // namespace

void JSetCursor(int16_t number) {
  // 5 to 7 are the application's own cursors; the arrow stands in for them.
  static const JCursorShape shapes[] = {kJCursorArrow, kJCursorCrosshair, kJCursorIBeam, kJCursorBusy,
                                        kJCursorArrow, kJCursorArrow,     kJCursorArrow};
  if (number < 1 || number > 7) return;
  current = number;
  JShowCursorShape(shapes[number - 1]);
}

int16_t JCurrentCursor() { return current; }

void JGetPointer(int16_t* x, int16_t* y) { JPointerInDocumentArea(x, y); }

void JSetPointer(int16_t x, int16_t y) { JMovePointerInDocumentArea(x, y); }
