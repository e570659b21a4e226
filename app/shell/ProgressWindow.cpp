#include "app/shell/ProgressWindow.h"

#include "app/document/Progress.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/box.h"
#include "jwin/J_clock.h"
#include "jwin/J_draw.h"
#include "jwin/J_event.h"
#include "jwin/J_gc.h"
#include "jwin/J_window.h"

namespace {

constexpr int16_t kWaitCursor = 4;
constexpr int16_t kMargin = 5;
constexpr int16_t kBarMinWidth = 50;
constexpr int16_t kNestedOffset = 30;
constexpr int kMaxShown = 16;

int16_t gSavedCursor = 1;

// Where each shown window was placed, so a nested report's window can sit beside its outer one.
struct Placed {
  JWindow* window;
  int16_t left;
  int16_t top;
};
Placed gPlaced[kMaxShown];

struct SavedDrawing {
  JWindow* window;
  JPixMap* bitmap;
  JGC* gc;
};
SavedDrawing gSaved;

uint32_t Tick(void*) { return JTickCount(); }
void Sleep(void*, uint32_t ms) { JWait(ms); }

void BusyCursor(void*, bool on) {
  if (on) {
    gSavedCursor = JCurrentCursor();
    JSetCursor(kWaitCursor);
  } else {
    JSetCursor(gSavedCursor);
  }
}

Placed* PlaceOf(JWindow* window) {
  for (Placed& p : gPlaced)
    if (p.window == window) return &p;
  return nullptr;
}

void CreateWindow(void*, ProgressReport* report, JWindow* nearWindow) {
  JWindow* window = JNewWindow(nullptr, "", kJWindowPopup);
  // A centred column with a margin, filled with the face colour so the bar's sunken edge
  // shows: the label above a row holding the bar.
  JWidget* column = JNewBox(window, nullptr, 0, 0);
  JBoxSetOrientation(column, false, 2);
  JBoxSetFramed(column, false);
  JBoxSetFilled(column, true);
  JBoxSetMargins(column, kMargin, kMargin, kMargin, kMargin);
  JWidget* label = JNewLabel(window, column, 0, 0, report->label ? report->label : "");
  JWidget* row = JNewBox(window, column, 0, 0);
  JBoxSetFramed(row, false);
  JWidget* bar = JNewProgressBar(window, row, 0, 0, kBarMinWidth);
  JSetWidgetMinWidth(bar, kBarMinWidth);
  JSetProgressMaximum(bar, report->total);
  JSetProgressValue(bar, report->done);
  JWidget* const shown[] = {label, bar, row, column};
  for (JWidget* w : shown) JShowWidget(w);
  JBoxLayoutAgain(row);
  JBoxLayoutAgain(column);
  JSizeWidget(column, 0, 0);

  int16_t mainLeft, mainTop, mainWidth, mainHeight;
  JGetMainWindowPlace(&mainLeft, &mainTop, &mainWidth, &mainHeight);
  int w = 0, h = 0;
  ProgressWindowSize(column->width, column->height, mainWidth, mainHeight, &w, &h);
  // The window is 10 pixels larger each way than the box of w x h, which sits in its
  // middle: the column covers the window with those pixels added to its margin. The bar
  // takes three quarters of w, centred by the row that spans the column's inside.
  JSizeWidget(bar, static_cast<int16_t>(w * 3 / 4), bar->height);
  JSizeWidget(row, static_cast<int16_t>(w - 2 * kMargin), row->height);
  JBoxSetMargins(column, 2 * kMargin, 2 * kMargin, 2 * kMargin, 2 * kMargin);
  JSizeWidget(column, static_cast<int16_t>(w + 10), static_cast<int16_t>(h + 10));
  JSizeWindow(window, static_cast<int16_t>(w + 10), static_cast<int16_t>(h + 10));
  int16_t left = static_cast<int16_t>(mainLeft + (mainWidth - (w + 10)) / 2);
  int16_t top = static_cast<int16_t>(mainTop + (mainHeight - (h + 10)) / 2);
  if (const Placed* outer = nearWindow ? PlaceOf(nearWindow) : nullptr) {
    left = static_cast<int16_t>(outer->left + kNestedOffset);
    top = static_cast<int16_t>(outer->top + kNestedOffset);
  }
  JMoveWindow(window, left, top);
  if (Placed* slot = PlaceOf(nullptr)) *slot = {window, left, top};

  report->window = window;
  report->labelWidget = label;
  report->bar = bar;
}

void ShowWindow(void*, ProgressReport* report) {
  JShowWindow(report->window);
  JProcessPendingPaint();
}

void AdvanceBar(void*, ProgressReport* report, uint32_t n) { JIncreaseProgress(static_cast<JWidget*>(report->bar), n); }

void RepaintNow(void*, ProgressReport*) { JProcessPendingPaint(); }

void LabelChanged(void*, ProgressReport* report) {
  JSetLabelText(static_cast<JWidget*>(report->labelWidget), report->label ? report->label : "");
}

// The work under a report may be drawing into a picture map: the window's painting
// must leave that target and its graphics context as they were.
void SaveDrawingState(void*) {
  gSaved = {JCurrentDrawWindow(), JCurrentDrawBitmap(), JCurrentGC()};
}

void RestoreDrawingState(void*) {
  if (gSaved.bitmap) {
    JSetDrawBitmap(gSaved.bitmap);
  } else {
    JSetDrawWindow(gSaved.window);
  }
  if (gSaved.gc) JSetGC(gSaved.gc);
}

void CloseWindow(void*, ProgressReport* report) {
  if (Placed* slot = PlaceOf(report->window)) *slot = {};
  JDisposeWindow(report->window);
  report->window = nullptr;
}

const ProgressHost kHost = {nullptr,     Tick,       Sleep,        BusyCursor,       CreateWindow,        ShowWindow,
                            AdvanceBar,  RepaintNow, LabelChanged, SaveDrawingState, RestoreDrawingState, CloseWindow};

}  // namespace

void InstallProgressWindows() { ProgressSetHost(&kHost); }

void RemoveProgressWindows() { ProgressSetHost(nullptr); }
