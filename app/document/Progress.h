// Progress reports for long computations. The user sees a busy cursor at once
// and, only if the work is still going after two to three seconds, a small
// window with the current label and a bar. Reports nest: steps and labels go to
// the innermost one. Every ProgressBegin is matched by one ProgressEnd.
//
// The window itself is made by a host (the windowing layer) installed with
// ProgressSetHost; without a host, as in the batch mode, the reports keep their
// state and nothing is shown.
#pragma once
#include <cstdint>

struct JWindow;
struct ProgressReport;

typedef void (*ProgressShowProc)(JWindow* window, void* data);

struct ProgressReport {
  JWindow* window;     // null until the window appears
  void* labelWidget;   // host's label widget
  void* bar;           // host's bar widget: maximum total, value follows done
  double totalReal;
  uint32_t total;
  uint32_t done;       // never above total
  uint32_t startTick;
  uint32_t lastRedrawTick;
  char* label;         // owned
  ProgressReport* outer;
  ProgressShowProc onShow;
  void* onShowData;
};

// What the windowing layer provides. Every procedure gets `data` first.
struct ProgressHost {
  void* data;
  uint32_t (*tickCount)(void* data);
  void (*sleep)(void* data, uint32_t milliseconds);
  // on: save the current cursor and show the wait cursor; off: restore it.
  void (*busyCursor)(void* data, bool on);
  // Makes the (hidden) window with label and bar; sets report->window, labelWidget, bar.
  // `nearWindow` is the nearest outer report's window, or null: place 30 pixels right and down of it.
  void (*createWindow)(void* data, ProgressReport* report, JWindow* nearWindow);
  void (*showWindow)(void* data, ProgressReport* report);
  void (*advanceBar)(void* data, ProgressReport* report, uint32_t n);
  void (*repaintNow)(void* data, ProgressReport* report);
  void (*labelChanged)(void* data, ProgressReport* report);
  void (*saveDrawingState)(void* data);
  void (*restoreDrawingState)(void* data);
  void (*closeWindow)(void* data, ProgressReport* report);
};

// Installs the host (null: no windows, no cursor, ticks stand still).
void ProgressSetHost(const ProgressHost* host);

void ProgressBegin(const char* label, uint32_t total);
void ProgressOnShow(ProgressShowProc proc, void* data);
void ProgressStep(uint32_t n);
void ProgressSetLabel(const char* label);
void ProgressEnd();

// The innermost report, or null.
ProgressReport* ProgressCurrent();
// Nesting depth of the busy cursor.
uint32_t ProgressBusyDepth();

// Window size from the laid-out box and the main window: w = max(box w * 5/4, main w / 10 * 4),
// h = max(box h * 5/4, main h / 5).
void ProgressWindowSize(int boxWidth, int boxHeight, int mainWidth, int mainHeight, int* width, int* height);
