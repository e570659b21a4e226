// Milliseconds since some start, wrapping at 2^32, and sleeping. The headless clock is
// virtual and moved by tests; the desktop clock is the real one.
#pragma once
#include <cstdint>

namespace platform::wm {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t ticks() = 0;
  virtual void sleep(uint32_t ms) = 0;
};

}  // namespace platform::wm
