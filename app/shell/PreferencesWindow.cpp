#include "app/shell/PreferencesWindow.h"

#include "app/shell/OwnWindow.h"
#include "app/shell/Settings.h"
#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/box.h"
#include "jindep/string_lists.h"
#include "jwin/J_window.h"

namespace {

constexpr int16_t kMargin = 15;
constexpr int16_t kDefaultWidth = 360;
constexpr int16_t kDefaultHeight = 120;
constexpr uint16_t kSizeAlertKey = 5;

uint32_t gPlatformWindow = 0;

void Closing(JWindow*) { gPlatformWindow = 0; }

void Toggled(JWidget* toggle) {
  SetShowDepthWarning(JToggleState(toggle) != 0);
  SaveSettings();
}

void Centre(JWindow* window) {
  const JRect area = JMainWindowContent();
  const JRect frame = JGetWindowFrame(window);
  const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
  JMoveWindow(window, static_cast<int16_t>((area.right - area.left - frameWidth) / 2),
              static_cast<int16_t>((area.bottom - area.top - frameHeight) / 2));
}

}  // namespace

void OpenPreferences() {
  if (JWindow* open = PreferencesWindow()) {
    JShowAndActivateWindow(open);
    return;
  }
  JWindow* window = JNewWindow(nullptr, JStr(kStrPreferencesTitle), 0);
  if (!window) return;
  gPlatformWindow = window->platformWindow;
  JSetHandler(window, kJSlotClosing, Closing);
  int16_t width = kDefaultWidth, height = kDefaultHeight;
  JScan(JGetAlertString(kSizeAlertKey), "%ds% %ds%", &width, &height);

  JWidget* column = JNewBox(window, nullptr, 0, 0);
  JBoxSetOrientation(column, false, 1);
  JBoxSetFramed(column, false);
  JBoxSetPacked(column, true);
  JBoxSetMargins(column, kMargin, kMargin, kMargin, kMargin);
  JWidget* toggle = JNewToggle(window, column, 0, 0, JStr(kStrDepthWarningSetting));
  JSetToggleState(toggle, ShowDepthWarning() ? 1 : 0, false);
  JSetToggleAction(toggle, Toggled);
  JShowWidget(toggle);
  JShowWidget(column);
  JBoxLayoutAgain(column);
  // Wider than asked when the label needs it, so it is never cut.
  if (JBoxOf(column)->naturalWidth > width) width = JBoxOf(column)->naturalWidth;
  JSizeWindow(window, width, height);
  JSizeWidget(column, width, height);
  Centre(window);
  JShowAndActivateWindow(window);
}

void PreferencesCommand(JMenuItem*, void*) { OpenPreferences(); }

JWindow* PreferencesWindow() { return OwnWindow(gPlatformWindow, kJSlotClosing, Closing); }
