// Where pixels go and input comes from. Everything above this interface is the same
// code on the desktop and under test.
#pragma once
#include <vector>

#include "platform/Bitmap.h"
#include "platform/raster/Geometry.h"
#include "platform/wm/Clock.h"
#include "platform/wm/Cursor.h"
#include "platform/wm/InputEvent.h"

namespace platform::wm {

class ScreenBackend {
 public:
  virtual ~ScreenBackend() = default;
  virtual const char* name() const = 0;
  virtual Clock& clock() = 0;
  // Takes the next waiting input event without blocking.
  virtual bool nextInput(InputEvent* out) = 0;
  // Returns when input arrives or `ms` milliseconds have passed.
  virtual void waitForInput(uint32_t ms) = 0;
  // Shows the framebuffer; only the listed rectangles changed since the last call (none:
  // nothing changed, but a backend whose display lost the pixels shows them again).
  virtual void present(const Bitmap& framebuffer, const std::vector<Rect>& changed) = 0;
  virtual void setCursor(CursorShape shape) = 0;
  // Moves the pointer; a backend without a real pointer just knows it from the manager.
  virtual void warpPointer(int x, int y) {}
  virtual void beep() = 0;
  // Whether the display's driver delivers device pixels red first when they are read as
  // device-independent rows (the toolkit probes for it at start-up).
  virtual bool deliversRedFirst() const { return false; }
};

}  // namespace platform::wm
