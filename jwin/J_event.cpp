#include "jwin/J_event.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "jindep/Ji_tempm.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jindep/string_resources.h"
#include "jwin/J_clock.h"
#include "jwin/J_draw.h"
#include "jwin/J_hleven.h"
#include "jwin/J_platform.h"
#include "jwin/J_sched.h"
#include "jwin/J_winproc.h"
#include "jwin/pixel_map.h"
#include "platform/wm/BackendRegistry.h"
#include "platform/wm/Screen.h"

using platform::wm::Message;
using platform::wm::MessageType;

namespace {

constexpr int kTimerCountdown = 64;
constexpr uint32_t kMaxIdleWait = 50;
constexpr uint32_t kTrackingPeriod = 100;

JStartValues startValues = {};
bool started = false;
bool shuttingDown = false;
bool running = true;
int modalDepth = 0;  // modal loops running inside one another
int countdown = kTimerCountdown;
uint32_t lastTracking = 0;
bool trackedOnce = false;
bool alternateShortcuts = false;
bool menuBarPending = false;
JMenuBarRedrawProc menuBarRedraw = nullptr;
void* menuBarRedrawData = nullptr;
bool pushedBack = false;
JKeyEvent pushedKey = {};

void StepIdle(bool idleAllowed) {
  platform::wm::WindowManager& wm = JWindowManager();
  const uint32_t now = JTickCount();
  if (!trackedOnce || now - lastTracking >= kTrackingPeriod) {
    trackedOnce = true;
    lastTracking = now;
    JTrackPointer();
  }
  countdown = 0;
  if (!idleAllowed) return;
  // A call becomes due one tick after its due tick, so that is what is waited for.
  const int64_t toNext = JTimeToNextSchedule();
  const int64_t wait = toNext < 0 ? kMaxIdleWait : std::min<int64_t>(toNext + 1, kMaxIdleWait);
  if (wait <= 0) return;
  wm.compose();
  wm.backend().waitForInput(static_cast<uint32_t>(wait));
}

bool DrawWindowInfo(JWindow* window, uint32_t* platformId, int16_t* originH, int16_t* originV) {
  if (!window || (window->state & kJWindowClosed)) return false;
  *platformId = window->platformWindow;
  *originH = window->originX;
  *originV = window->originY;
  return true;
}

void DrawPendingMenuBar() {
  if (!menuBarPending) return;
  menuBarPending = false;
  if (menuBarRedraw) menuBarRedraw(menuBarRedrawData);
}

// The main frame has no toolkit record of its own; this one stands for it as a drawing
// target (its content, origin 0) and as the origin of copies from the screen.
JWindow mainTarget = {};

JWindow* DrawMainWindow() {
  mainTarget.platformWindow = JMainPlatformWindow();
  return mainTarget.platformWindow ? &mainTarget : nullptr;
}

}  // namespace

bool JWindowsStart(const JStartValues* values) {
  if (started) return true;
  startValues = values ? *values : JStartValues{};
  const std::string name =
      startValues.backend && *startValues.backend ? startValues.backend : platform::wm::BackendRegistry::DefaultName();
  int width = startValues.screenWidth, height = startValues.screenHeight;
  if (width <= 0 || height <= 0) {
    width = platform::wm::Screen::kDefaultWidth;
    height = platform::wm::Screen::kDefaultHeight;
  }
  auto backend = platform::wm::BackendRegistry::Create(name, width, height);
  if (!backend) {
    std::fprintf(stderr, "tintwell: the %s backend cannot start%s\n", name.c_str(),
                 platform::wm::BackendRegistry::Has(name) ? " (no display?)" : " (unknown backend)");
    return false;
  }
  const int depth = startValues.screenDepth > 0 ? startValues.screenDepth : 32;
  platform::wm::Desktop& desktop = platform::wm::Desktop::Start(std::move(backend), width, height, depth);
  desktop.wm().setSystemMenuTexts({JStr(kStrSystemCloseDocument), JStr(kStrSystemNextWindow),
                                   JStr(kStrSystemCloseWindow)});
  // Pixel maps made for the display take its depth.
  JSetDisplayDepth(static_cast<uint16_t>(desktop.wm().screen().depth()));
  started = true;
  shuttingDown = false;
  running = true;
  countdown = kTimerCountdown;
  trackedOnce = false;
  pushedBack = false;
  // The main window's title and kind come from the string resources.
  char title[256];
  char kind[16];
  JLoadStringDefault(kStrMainTitle, title, sizeof title, "Test Application");
  JLoadStringDefault(kStrMainKind, kind, sizeof kind, "0");
  if (!JCreateMainWindow(title, static_cast<int>(std::strtol(kind, nullptr, 10)))) {
    platform::wm::Desktop::Stop();
    started = false;
    return false;
  }
  JDrawInit();
  JDrawSetWindowProcs(DrawWindowInfo, DrawMainWindow);
  return true;
}

void JWindowsStop() {
  if (!started) return;
  shuttingDown = true;
  JClearSchedules();
  // Widgets of the windows go to temporary memory; this release frees them.
  JTempMark();
  JDisposeAllWindows();
  JTempRelease();
  JClearHighLevelHandlers();
  JResetWindowProcState();
  JDrawShutdown();
  platform::wm::Desktop::Stop();
  JSetDisplayDepth(32);
  menuBarRedraw = nullptr;
  menuBarRedrawData = nullptr;
  menuBarPending = false;
  started = false;
}

bool JToolkitShuttingDown() { return shuttingDown; }
bool JToolkitStarted() { return started; }
const JStartValues* JGetStartValues() { return &startValues; }

platform::wm::WindowManager& JWindowManager() { return platform::wm::Desktop::Current()->wm(); }
bool JDesktopRunning() { return platform::wm::Desktop::Current() != nullptr; }

void JQuit() { running = false; }
bool JEventLoopRunning() { return running; }

void JRunEventLoop() {
  // The main window shows, painted, before a file named on the command line is read.
  DrawPendingMenuBar();
  JProcessPendingPaint();
  JRunCommandLine(startValues.argc, startValues.argv);
  while (running && started) JEventStep(nullptr, true);
}

void JEventStep(JWindow* filter, bool idleAllowed) {
  if (!started) return;
  JTempMark();
  platform::wm::WindowManager& wm = JWindowManager();
  DrawPendingMenuBar();
  JResetDrawArea(nullptr);
  wm.pumpInput();
  Message m;
  if (pushedBack && !filter) {
    // A key returned by a poller is delivered before anything newer.
    pushedBack = false;
    JKeyEvent key = pushedKey;
    JWindow* target = JActiveWindow();
    if (target) JHoldWindow(target);
    JDeliverKey(target, &key);
    if (target) JReleaseWindow(target);
    --countdown;
  } else if (wm.nextMessage(&m, filter ? filter->platformWindow : 0, true)) {
    JDispatchMessage(m);
    --countdown;
  } else {
    StepIdle(idleAllowed);
  }
  if (countdown <= 0) {
    countdown = kTimerCountdown;
    if (!filter && JAnythingScheduled()) {
      JResetDrawArea(nullptr);
      JRunTimedCalls();
    }
  }
  JResetDrawArea(nullptr);
  if (JDesktopRunning()) JWindowManager().compose();
  JTempRelease();
  JReleaseDisposedWindows();
}

void JModalLoop(JWindow* window, bool filterToWindow) {
  if (!window) return;
  JHoldWindow(window);
  ++modalDepth;
  while (started && !(window->state & kJWindowClosed)) JEventStep(filterToWindow ? window : nullptr, true);
  --modalDepth;
  JReleaseWindow(window);
}

bool JModalLoopRunning() { return modalDepth > 0; }

void JProcessPendingPaint() {
  if (!started) return;
  platform::wm::WindowManager& wm = JWindowManager();
  Message m;
  // Only paints: other messages stay queued for the loop.
  // Bounded, so a window that invalidates itself while painting cannot hold us here.
  for (int i = 0; i < 256 && wm.nextPaint(&m, 0); ++i) JDispatchMessage(m);
  wm.compose();
}

bool JInputWaiting() {
  if (!started) return false;
  if (pushedBack) return true;
  platform::wm::WindowManager& wm = JWindowManager();
  wm.pumpInput();
  Message m;
  return wm.nextMessage(&m, 0, false) && m.type != MessageType::Paint && m.type != MessageType::Timer;
}

bool JGetKeyEvent(JKeyEvent* key, int16_t* x, int16_t* y) {
  if (!started) return false;
  platform::wm::WindowManager& wm = JWindowManager();
  bool found = false;
  if (pushedBack) {
    *key = pushedKey;
    pushedBack = false;
    found = true;
  } else {
    wm.pumpInput();
    Message m;
    auto isKey = [](const Message& msg) {
      JKeyEvent probe;
      return (msg.type == MessageType::KeyDown || msg.type == MessageType::Char) && JKeyEventFromMessage(msg, &probe);
    };
    if (wm.queue().take(&m, isKey)) found = JKeyEventFromMessage(m, key);
  }
  if (found) {
    const platform::Rect area = wm.documentArea();
    if (x) *x = static_cast<int16_t>(wm.pointer().x - area.left);
    if (y) *y = static_cast<int16_t>(wm.pointer().y - area.top);
  }
  return found;
}

void JPushBackKeyEvent(const JKeyEvent* key) {
  if (!key) return;
  pushedKey = *key;
  pushedBack = true;
}

uint8_t JModifiersFromPlatform(uint8_t p) {
  uint8_t m = 0;
  if (p & platform::wm::kShift) m |= kJModShift;
  if (p & platform::wm::kCtrl) m |= kJModCtrl;
  if (p & platform::wm::kAlt) m |= kJModAlt;
  const uint8_t combo = m & (kJModCtrl | kJModAlt);
  if (combo == (alternateShortcuts ? (kJModCtrl | kJModAlt) : kJModCtrl)) m |= kJModCommand;
  return m;
}

uint8_t JGetModifiers() { return started ? JModifiersFromPlatform(JWindowManager().modifiers()) : 0; }

void JSetAlternateShortcuts(bool on) { alternateShortcuts = on; }
bool JAlternateShortcuts() { return alternateShortcuts; }

void JSetMenuBarRedraw(JMenuBarRedrawProc proc, void* data) {
  menuBarRedraw = proc;
  menuBarRedrawData = data;
}

void JMenuBarChanged() { menuBarPending = true; }
