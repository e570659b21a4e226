#include "app/graphs/MagnifierWindow.h"

#include "app/graphs/MagnifierWidget.h"
#include "jindep/Ji_tidge.h"
#include "jwin/J_window.h"

namespace {

// The widget's frame and the interior's spare pixels lie outside the window's content,
// which shows the 99 x 99 enlarged picture alone.
constexpr int16_t kWidgetSide = 104;
constexpr int16_t kWidgetPlace = -2;
constexpr int16_t kContentSide = kWidgetSide - 5;
constexpr int16_t kZoom = 3;
constexpr int16_t kCornerGap = 5;

uint32_t gPlatformWindow = 0;
int16_t gAllowance = 0;

void Closing(JWindow*) { gPlatformWindow = 0; }

// Against the main window's lower right corner, kCornerGap pixels in.
void PlaceAtCorner(JWindow* window) {
  const JRect area = JMainWindowContent();
  const JRect frame = JGetWindowFrame(window);
  JMoveWindow(window, static_cast<int16_t>(area.right - area.left - (frame.right - frame.left) - kCornerGap),
              static_cast<int16_t>(area.bottom - area.top - (frame.bottom - frame.top) - kCornerGap));
}

}  // namespace

void ShowMagnifier(bool activate) {
  if (JWindow* open = MagnifierWindow()) {
    JSelectWindow(open);
    return;
  }
  JWindow* window = JNewWindow(nullptr, "", 0);
  if (!window) return;
  gPlatformWindow = window->platformWindow;
  JSetHandler(window, kJSlotClosing, Closing);
  JWidget* magnifier = NewMagnifier(window, kWidgetPlace, kWidgetPlace);
  JSizeWidget(magnifier, kWidgetSide, kWidgetSide);
  SetMagnifierZoom(magnifier, kZoom);
  JShowWidget(magnifier);
  JSizeWindow(window, kContentSide, kContentSide);
  PlaceAtCorner(window);
  if (activate)
    JShowAndActivateWindow(window);
  else
    JShowWindow(window);
  const JRect frame = JGetWindowFrame(window);
  gAllowance = static_cast<int16_t>(frame.bottom - frame.top + kCornerGap);
}

void ShowMagnifierCommand(JMenuItem*, void*) { ShowMagnifier(true); }

JWindow* MagnifierWindow() {
  JWindow* w = gPlatformWindow ? JWindowFromPlatform(gPlatformWindow) : nullptr;
  return w && w->slots[kJSlotClosing] == reinterpret_cast<JHandler>(Closing) ? w : nullptr;
}

int16_t MagnifierAllowance() { return gAllowance; }
