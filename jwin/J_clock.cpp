#include "jwin/J_clock.h"

#include "jwin/J_platform.h"

namespace {
uint32_t lastTick = 0;
int64_t wraps = 0;
bool seen = false;
}  // namespace

uint32_t JTickCount() { return JDesktopRunning() ? JWindowManager().ticks() : 0; }

int64_t JTickCount64() {
  const uint32_t now = JTickCount();
  if (seen && now < lastTick) ++wraps;
  seen = true;
  lastTick = now;
  return (wraps << 32) | now;
}

void JWait(uint32_t ms) {
  if (!JDesktopRunning()) return;
  const uint32_t start = JTickCount();
  for (;;) {
    const uint32_t passed = JTickCount() - start;
    if (passed >= ms) break;
    JWindowManager().sleep(ms - passed);
  }
}
