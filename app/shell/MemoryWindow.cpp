#include "app/shell/MemoryWindow.h"

#include <algorithm>

#include "app/gif/ByteSize.h"
#include "app/graphs/MagnifierWindow.h"
#include "app/shell/MemoryBar.h"
#include "app/shell/OwnWindow.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/J_gc.h"
#include "jwin/J_inval.h"
#include "jwin/J_sched.h"
#include "jwin/J_text.h"
#include "jwin/J_window.h"

namespace {

constexpr int32_t kRefreshPeriod = 1000;
constexpr uint64_t kReserve = 0;
constexpr int16_t kMargin = 8;
constexpr int16_t kBarHeight = 16;
constexpr int16_t kGap = 2;
constexpr int16_t kCornerGap = 5;

const JColour kSegmentColours[kMemorySegments] = {
    {0x8000, 0xE000, 0x8000}, {0xC800, 0xF000, 0xC800}, {0xF000, 0xD000, 0x5000}, {0xE000, 0x7000, 0x6000}};
const JStringId kSegmentNames[kMemorySegments] = {kStrMemoryFree, kStrNoSuffix, kStrMemoryTemp, kStrMemoryUsed};
const JColour kBlack = {0, 0, 0};
const JColour kFace = {0xD4D4, 0xD0D0, 0xC8C8};

uint32_t gPlatformWindow = 0;
MemoryFigures gShown;
JScheduled* gRefresh = nullptr;
bool gPlaced = false;  // a place was remembered at the last closing
int16_t gLeft, gTop, gWidth, gHeight;  // frame position, content size

int16_t TextWidth(const char* text) {
  JTextSizeRecord size;
  JTextSize(text, &size);
  return size.width;
}

int16_t LineHeight() {
  JTextSizeRecord size;
  JTextSize("Ag", &size);
  return static_cast<int16_t>(size.ascent + size.descent);
}

// Centred over a segment, but kept within the bar so that a thin segment's text stays
// in the window.
void DrawCentred(const char* text, int16_t left, int16_t right, int16_t barLeft, int16_t barRight, int16_t baseline) {
  const int16_t width = TextWidth(text);
  const int16_t x = std::max<int16_t>(barLeft, std::min<int16_t>(static_cast<int16_t>((left + right + 1 - width) / 2),
                                                                 static_cast<int16_t>(barRight - width)));
  JDrawText(x, baseline, text);
}

void Paint(JWindow* window) {
  int16_t width, height;
  JGetWindowContentSize(window, &width, &height);
  JSetGC(JDefaultGC());
  JSetForeColour(&kFace);
  JFillRect(0, 0, width, height);
  MemorySegment segments[kMemorySegments];
  const int16_t barLeft = kMargin, barWidth = static_cast<int16_t>(width - 2 * kMargin);
  if (!MemoryBarSegments(gShown, barLeft, barWidth, segments)) return;
  JTextSizeRecord size;
  JTextSize("Ag", &size);
  const int16_t barTop = static_cast<int16_t>(kMargin + LineHeight() + kGap);
  const int16_t barBottom = static_cast<int16_t>(barTop + kBarHeight);
  JSetForeColour(&kBlack);
  JDrawRect(barLeft, barTop, static_cast<int16_t>(barLeft + barWidth), barBottom);
  for (int i = 0; i < kMemorySegments; ++i) {
    const MemorySegment& s = segments[i];
    if (s.right < s.left) continue;
    JSetForeColour(&kSegmentColours[i]);
    JFillRect(s.left, static_cast<int16_t>(barTop + 1), std::min<int16_t>(static_cast<int16_t>(s.right + 1), barLeft + barWidth - 1),
              static_cast<int16_t>(barBottom - 1));
    JSetForeColour(&kBlack);
    // A segment that ends inside the bar ends in its boundary line.
    if (s.right < barLeft + barWidth - 2) JDrawLine(s.right, barTop, s.right, static_cast<int16_t>(barBottom - 1));
    const char* name = JStr(kSegmentNames[i]);
    if (!*name) continue;
    char bytes[kByteSizeTextSize];
    FormatByteSize(s.bytes, bytes);
    const int16_t barRight = static_cast<int16_t>(barLeft + barWidth);
    DrawCentred(name, s.left, s.right, barLeft, barRight, static_cast<int16_t>(barTop - kGap - size.descent));
    DrawCentred(bytes, s.left, s.right, barLeft, barRight, static_cast<int16_t>(barBottom + kGap + size.ascent));
  }
}

bool SameFigures(const MemoryFigures& a, const MemoryFigures& b) {
  return a.total == b.total && a.used == b.used && a.temporary == b.temporary && a.free == b.free &&
         a.largest == b.largest;
}

void Refresh(void*) {
  JWindow* window = MemoryUsageWindow();
  if (!window) return;
  JMemStats stats;
  JMemGetStats(&stats);
  const MemoryFigures now = ShownMemoryFigures(stats, kReserve);
  if (!SameFigures(now, gShown)) {
    gShown = now;
    JInvalidateRect(window, JRectMake(0, 0, 32767, 32767));
  }
  JSchedule(Refresh, nullptr, kRefreshPeriod, &gRefresh);
}

void Closing(JWindow* window) {
  const JRect frame = JGetWindowFrame(window);
  gLeft = frame.left;
  gTop = frame.top;
  JGetWindowContentSize(window, &gWidth, &gHeight);
  gPlaced = true;
  JCancelSchedule(gRefresh);
  gPlatformWindow = 0;
}

// At the main window's lower right corner above the magnifier, wide enough for three
// labelled segments.
void PlaceFirstTime(JWindow* window) {
  JSetDrawWindow(window);  // texts are measured in the window's font
  JSetGC(JDefaultGC());
  const int16_t segment = static_cast<int16_t>(
      std::max(TextWidth(JStr(kStrMemoryWidestFigure)), TextWidth(JStr(kStrMemoryFree))) + 2 * kGap);
  JSizeWindow(window, static_cast<int16_t>(3 * segment + 2 * kMargin),
              static_cast<int16_t>(2 * kMargin + 2 * LineHeight() + 2 * kGap + kBarHeight));
  const JRect area = JMainWindowContent();
  const JRect frame = JGetWindowFrame(window);
  JMoveWindow(window, static_cast<int16_t>(area.right - area.left - (frame.right - frame.left) - kCornerGap),
              static_cast<int16_t>(area.bottom - area.top - (frame.bottom - frame.top) - kCornerGap -
                                   MagnifierAllowance()));
}

}  // namespace

void OpenMemoryUsage(bool activate) {
  JMemStats stats;
  JMemGetStats(&stats);
  if (stats.total == 0 || JMainWindowMinimized()) return;
  if (JWindow* open = MemoryUsageWindow()) {
    JShowAndActivateWindow(open);
    return;
  }
  gRefresh = nullptr;  // a refresh of an earlier run went with its toolkit
  JWindow* window = JNewWindow(nullptr, "", 0);
  if (!window) return;
  gPlatformWindow = window->platformWindow;
  JSetHandler(window, kJSlotDraw, Paint);
  JSetHandler(window, kJSlotClosing, Closing);
  if (gPlaced) {
    JSizeWindow(window, gWidth, gHeight);
    JMoveWindow(window, gLeft, gTop);
  } else {
    PlaceFirstTime(window);
  }
  gShown = ShownMemoryFigures(stats, kReserve);
  if (activate)
    JShowAndActivateWindow(window);
  else
    JShowWindow(window);
  JSchedule(Refresh, nullptr, kRefreshPeriod, &gRefresh);
}

void LayOutMemoryUsage() { gPlaced = false; }

void ShowMemoryCommand(JMenuItem*, void*) { OpenMemoryUsage(true); }

JWindow* MemoryUsageWindow() { return OwnWindow(gPlatformWindow, kJSlotClosing, Closing); }
