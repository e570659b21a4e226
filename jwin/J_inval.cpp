#include "jwin/J_inval.h"

#include "jindep/debug.h"
#include "jwin/draw_state.h"
#include "platform/wm/WindowManager.h"

namespace {

// Marks (or unmarks) a rectangle given in the window's local coordinates.
void Mark(JWindow* window, JRect r, bool invalid) {
  if (!window) {
    JDebugReport("jwin/J_inval", __LINE__, "Invalidating NULL window");
    return;
  }
  platform::wm::WindowManager* wm = JDrawWindowManager();
  uint32_t id = 0;
  int16_t h = 0, v = 0;
  if (!wm || !JDrawWindowInfo(window, &id, &h, &v)) return;
  const platform::Rect client = platform::Rect{r.left, r.top, r.right, r.bottom}.translated(h, v);
  if (invalid) {
    wm->invalidate(id, client);
  } else {
    wm->validate(id, client);
  }
}

}  // namespace

void JInvalidateRect(JWindow* window, JRect r) { Mark(window, r, true); }
void JValidateRect(JWindow* window, JRect r) { Mark(window, r, false); }
