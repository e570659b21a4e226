// The drawings of the program's own cursors. The platform's arrow, busy, crosshair and
// I-beam cursors are the desktop's; these three are ours, 16 by 16 pixels.
#pragma once

#include "platform/wm/Cursor.h"

namespace platform::wm {

struct CursorArt {
  static constexpr int kSize = 16;
  // kSize rows of kSize characters: 'X' black, '.' white, ' ' clear.
  const char* rows[kSize];
  int hotX;  // the pixel that points
  int hotY;
};

// Null for the desktop's own shapes.
const CursorArt* ArtOf(CursorShape shape);

}  // namespace platform::wm
