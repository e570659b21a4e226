// Cursor numbers and the pointer position.
#include "jindep/Ji_tidge_std.h"
#include "jwin/desktop_view.h"

namespace {
int16_t current = 1;
}  // namespace

void JSetCursor(int16_t number) {
  // 1 to 4 are the desktop's cursors; 5 to 7 the program's own cursor drawings 1, 3 and 2.
  static const JCursorShape shapes[] = {kJCursorArrow, kJCursorCrosshair,  kJCursorIBeam, kJCursorBusy,
                                        kJCursorHand,  kJCursorMagnifier, kJCursorDropper};
  if (number < 1 || number > 7) return;
  current = number;
  JShowCursorShape(shapes[number - 1]);
}

int16_t JCurrentCursor() { return current; }

void JGetPointer(int16_t* x, int16_t* y) { JPointerInDocumentArea(x, y); }

void JSetPointer(int16_t x, int16_t y) { JMovePointerInDocumentArea(x, y); }
