#include "app/document/Progress.h"

#include "jindep/memory.h"

namespace {

ProgressReport* gCurrent = nullptr;
uint32_t gBusyDepth = 0;
const ProgressHost* gHost = nullptr;

uint32_t Now() { return gHost && gHost->tickCount ? gHost->tickCount(gHost->data) : 0; }

JWindow* OuterWindow(const ProgressReport* report) {
  for (const ProgressReport* r = report->outer; r; r = r->outer) {
    if (r->window) return r->window;
  }
  return nullptr;
}

// Creates the window of the current report, lets its owner add to it, shows it.
void Appear(ProgressReport* report) {
  if (!gHost || !gHost->createWindow) return;
  gHost->createWindow(gHost->data, report, OuterWindow(report));
  if (!report->window) return;
  if (report->onShow) report->onShow(report->window, report->onShowData);
  if (gHost->showWindow) gHost->showWindow(gHost->data, report);
}

}  // namespace

void ProgressSetHost(const ProgressHost* host) { gHost = host; }

ProgressReport* ProgressCurrent() { return gCurrent; }
uint32_t ProgressBusyDepth() { return gBusyDepth; }

void ProgressBegin(const char* label, uint32_t total) {
  ProgressReport* report = static_cast<ProgressReport*>(JAlloc(sizeof(ProgressReport)));
  // The record is complete before the host is called, since the host may look at it.
  report->window = nullptr;
  report->labelWidget = nullptr;
  report->bar = nullptr;
  report->done = 0;
  report->total = total;
  report->totalReal = total;
  report->label = JStrDup(label ? label : "");
  report->onShow = nullptr;
  report->onShowData = nullptr;
  report->startTick = report->lastRedrawTick = 0;
  report->outer = gCurrent;
  gCurrent = report;
  if (gBusyDepth++ == 0 && gHost && gHost->busyCursor) gHost->busyCursor(gHost->data, true);
  report->startTick = report->lastRedrawTick = Now();
}

void ProgressOnShow(ProgressShowProc proc, void* data) {
  if (!gCurrent) return;
  gCurrent->onShow = proc;
  gCurrent->onShowData = data;
}

void ProgressStep(uint32_t n) {
  ProgressReport* report = gCurrent;
  if (!report) return;
  // Without a host no window can appear: keep stepping to two comparisons.
  if (!gHost) {
    report->done = n > report->total - report->done ? report->total : report->done + n;
    return;
  }
  uint32_t now = Now();
  uint32_t elapsed = now - report->startTick;
  bool saved = false;
  if (!report->window) {
    // Two thirds done at 2 s: it will likely finish soon, so wait until 3 s.
    bool appear = elapsed >= 3000 ||
                  (elapsed >= 2000 && static_cast<uint64_t>(report->done) * 3 <= static_cast<uint64_t>(report->total) * 2);
    if (appear) {
      if (gHost->saveDrawingState) gHost->saveDrawingState(gHost->data);
      saved = true;
      Appear(report);
    }
  }
  report->done = n > report->total - report->done ? report->total : report->done + n;
  if (report->window) {
    if (!saved && gHost->saveDrawingState) gHost->saveDrawingState(gHost->data);
    saved = true;
    if (gHost->advanceBar) gHost->advanceBar(gHost->data, report, n);
    if (now - report->lastRedrawTick >= 1000) {
      report->lastRedrawTick = now;
      if (gHost->repaintNow) gHost->repaintNow(gHost->data, report);
    }
  }
  if (saved && gHost->restoreDrawingState) gHost->restoreDrawingState(gHost->data);
}

void ProgressSetLabel(const char* label) {
  ProgressReport* report = gCurrent;
  if (!report) return;
  JStrFree(report->label);
  report->label = JStrDup(label ? label : "");
  if (report->window && gHost && gHost->labelChanged) gHost->labelChanged(gHost->data, report);
}

void ProgressEnd() {
  ProgressReport* report = gCurrent;
  if (!report) return;
  if (report->window) {
    ProgressStep(report->total - report->done);
    // Let the full bar be seen before the window goes.
    uint32_t start = Now();
    while (gHost && Now() - start < 150) {
      if (!gHost->sleep) break;
      gHost->sleep(gHost->data, 150 - (Now() - start));
    }
    if (gHost && gHost->closeWindow) gHost->closeWindow(gHost->data, report);
    report->window = nullptr;
  }
  gCurrent = report->outer;
  JStrFree(report->label);
  JFree(report);
  if (gBusyDepth > 0 && --gBusyDepth == 0 && gHost && gHost->busyCursor) gHost->busyCursor(gHost->data, false);
}

void ProgressWindowSize(int boxWidth, int boxHeight, int mainWidth, int mainHeight, int* width, int* height) {
  int w = boxWidth * 5 / 4;
  int minW = mainWidth / 10 * 4;
  int h = boxHeight * 5 / 4;
  int minH = mainHeight / 5;
  *width = w > minW ? w : minW;
  *height = h > minH ? h : minH;
}
