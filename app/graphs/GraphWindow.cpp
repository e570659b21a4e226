#include "app/graphs/GraphWindow.h"

#include "app/colour/Measures.h"
#include "app/colour/Passes.h"
#include "app/document/Document.h"
#include "app/document/DocumentList.h"
#include "app/graphs/FileSizeGraph.h"
#include "app/graphs/GraphDrawing.h"
#include "app/graphs/ControlsPanelState.h"
#include "app/graphs/GraphMapping.h"
#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tidge_popup.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_beep.h"
#include "jwin/J_draw.h"
#include "jwin/J_inval.h"
#include "jwin/J_sched.h"
#include "jwin/J_window.h"
#include "jwin/desktop_view.h"
#include "jwin/pixel_map.h"

namespace {

constexpr int16_t kInitialWidth = 250;
constexpr int16_t kInitialHeight = 150;
constexpr uint32_t kPlotStepsPerRun = 200;
enum : int16_t { kCursorArrow = 1, kCursorCross = 2 };

ColourCountChosenProc chosenProc = nullptr;

GraphRecord* GraphOf(const JWindow* window) {
  GraphRecord* g = window ? static_cast<GraphRecord*>(window->data) : nullptr;
  return g && g->document && !g->document->closing ? g : nullptr;
}

// Drawing into the graph's window outside its paint; false when it has none.
bool BeginWindowDrawing(const GraphRecord* g) {
  if (!g->graphWindow) return false;
  JSetDrawWindow(g->graphWindow);
  BeginGraphDrawing();
  return true;
}

void EndWindowDrawing() {
  EndGraphDrawing();
  JResetDrawArea(nullptr);
}

void PlotRun(void* data) {
  GraphRecord* g = static_cast<GraphRecord*>(data);
  g->plotting = nullptr;
  if (!BeginWindowDrawing(g)) return;
  InvertGraphCursor(g);
  const bool more = g->valid && ContinueGraphPlot(g, kPlotStepsPerRun);
  InvertGraphCursor(g);
  EndWindowDrawing();
  if (more) g->plotting = JSchedule(PlotRun, g, 0);
}

void Paint(JWindow* window) {
  GraphRecord* g = GraphOf(window);
  if (!g) return;
  BeginGraphDrawing();
  DrawGraphFrame(g, g->title);
  InvertGraphCursor(g);
  EndGraphDrawing();
  if (!g->valid) return;
  BeginGraphPlot(g);
  if (!g->plotting) g->plotting = JSchedule(PlotRun, g, 0);
}

// The cursor at a new place (or none: x = -1), labels and lines redrawn.
void MoveCursor(GraphRecord* g, int16_t x, int16_t y, uint32_t k) {
  if (g->cursorX == x && g->cursorY == y && g->cursorK == k) return;
  const bool drawing = BeginWindowDrawing(g);
  if (drawing) InvertGraphCursor(g);
  g->cursorX = x;
  g->cursorY = y;
  g->cursorK = k;
  if (drawing) {
    DrawGraphLabels(g);
    InvertGraphCursor(g);
    EndWindowDrawing();
  }
}

void ForEachGraph(Document* d, void (*proc)(GraphRecord* g, uint32_t k), uint32_t k) {
  for (GraphRecord* g : d->graphs)
    if (g) proc(g, k);
}

void CursorTo(GraphRecord* g, uint32_t k) {
  if (!g->valid) return;
  const uint32_t snapped = SnapGraphK(g, k);
  if (!GraphHasValue(g, snapped)) return;
  MoveCursor(g, GraphXForK(g, snapped), GraphYForValue(g, GraphValue(g, snapped)), snapped);
}

void NoCursor(GraphRecord* g, uint32_t) {
  if (g->cursorX >= 0) MoveCursor(g, -1, 0, 0);
}

bool InsidePlot(const GraphRecord* g, int16_t x, int16_t y) {
  return x >= g->plotLeft + 2 && y >= g->plotTop + 2 && x <= g->plotLeft + g->plotWidth - 3 &&
         y <= g->plotTop + g->plotHeight - 3;
}

void PointerMoved(JWindow* window, int16_t x, int16_t y) {
  GraphRecord* g = GraphOf(window);
  if (!g || (x == g->cursorX && y == g->cursorY)) return;
  if (g->valid && InsidePlot(g, x, y)) {
    ShowCursorAt(g->document, SnapGraphK(g, GraphKForX(g, x)));
  } else {
    HideCursors(g->document);
  }
}

void PointerLeft(JWindow* window) {
  if (GraphRecord* g = GraphOf(window)) HideCursors(g->document);
  JSetCursor(kCursorArrow);
}

void PointerEntered(JWindow*) { JSetCursor(kCursorCross); }

void Choose(GraphRecord* g) {
  if (g->cursorX < 0) {
    JBeep();
    return;
  }
  Document* d = g->document;
  const uint32_t colours = ChoosableColourCount(d, g->cursorK);
  if (chosenProc) chosenProc(d, colours);
}

void MouseDown(JWindow* window, int16_t, int16_t, uint8_t) {
  if (GraphRecord* g = GraphOf(window)) Choose(g);
}

// The nearest k in the horizontal range with a value, below (step -1) or above (+1) `from`.
bool NextWithValue(const GraphRecord* g, int64_t from, int step, uint32_t* k) {
  for (int64_t c = from; c >= g->xMin && c <= g->xMax; c += step)
    if (GraphHasValue(g, static_cast<uint32_t>(c))) {
      *k = static_cast<uint32_t>(c);
      return true;
    }
  return false;
}

void ArrowKey(GraphRecord* g, int step) {
  if (!g->valid) return;
  int64_t from = step > 0 ? g->xMin : g->xMax;
  if (g->cursorX >= 0) from = int64_t{g->cursorK} + step;
  uint32_t k = 0;
  if (!NextWithValue(g, from, step, &k)) return;
  ShowCursorAt(g->document, k);
  // The pointer follows the cursor, so a click chooses what the keys reached.
  int16_t areaX = 0, areaY = 0, localX = 0, localY = 0;
  JGetPointer(&areaX, &areaY);
  JGetWindowPointer(g->graphWindow, &localX, &localY);
  JSetPointer(static_cast<int16_t>(areaX - localX + g->cursorX), static_cast<int16_t>(areaY - localY + g->cursorY));
}

void KeyDown(JWindow* window, JKeyEvent* key) {
  GraphRecord* g = GraphOf(window);
  if (!g) return;
  if (key->character == kJCharLeft) ArrowKey(g, -1);
  if (key->character == kJCharRight) ArrowKey(g, 1);
  if (key->character == ' ') Choose(g);
}

// The plot fills the window less the margins; the vertical scale's popup sits at the left
// edge just below the plot, the horizontal one at the bottom, just left of the plot.
void Layout(GraphRecord* g) {
  int16_t w = 0, h = 0;
  JGetWindowContentSize(g->graphWindow, &w, &h);
  LayoutGraphPlot(g, w, h);
  const int16_t plotBottom = static_cast<int16_t>(g->plotTop + g->plotHeight);
  if (g->yPopup) JMoveWidget(g->yPopup, 2, static_cast<int16_t>(plotBottom + 2));
  if (g->xPopup) {
    const int16_t left = static_cast<int16_t>(g->plotLeft - g->xPopup->width - 2);
    JMoveWidget(g->xPopup, left < 2 ? 2 : left, static_cast<int16_t>(h - g->xPopup->height - 2));
  }
}

void Resized(JWindow* window) {
  GraphRecord* g = GraphOf(window);
  if (!g) return;
  Layout(g);
  PlaceGraphCursor(g);
  RedrawGraph(g);
}

void ScaleChosen(JWidget* popup, uint16_t index) {
  GraphRecord* g = GraphOf(popup->window);
  if (g) SetGraphScale(g, popup == g->xPopup, index == 0);
}

JWidget* NewScalePopup(JWindow* window, bool linear) {
  JWidget* popup = JNewPopup(window, nullptr, 0, 0);
  const void* items[] = {JStr(kStrScaleLinear), JStr(kStrScaleLog)};
  JSetPopupItems(popup, 2, items);
  JSetPopupSelection(popup, linear ? 0 : 1);
  JSetPopupOnChange(popup, ScaleChosen);
  JShowWidget(popup);
  return popup;
}

void Activated(JWindow* window) {
  if (GraphRecord* g = GraphOf(window)) BindActiveDocument(g->document);
}
void Deactivated(JWindow* window) {
  if (GraphOf(window)) BindActiveDocument(nullptr);
}

void FreeRecord(GraphRecord* g) {
  Document* d = g->document;
  for (GraphRecord*& slot : d->graphs)
    if (slot == g) slot = nullptr;
  StopFileSizeSampling(g);
  JCancelSchedule(g->plotting);
  JPixMapFree(g->title);
  JFree(g->values);
  JFree(g);
}

void Closing(JWindow* window) {
  GraphRecord* g = static_cast<GraphRecord*>(window->data);
  window->data = nullptr;
  if (g) FreeRecord(g);
  JSetCursor(kCursorArrow);
}

const JStringId kTitles[] = {kStrQualityGraphTitle, kStrErrorGraphTitle, kStrSizeGraphTitle};

// Under the lowest open graph of the document, else beside its controls (or its preview).
void Place(const Document* d, JWindow* window) {
  int16_t mainLeft = 0, mainTop = 0, mainWidth = 0, mainHeight = 0;
  JGetMainWindowPlace(&mainLeft, &mainTop, &mainWidth, &mainHeight);
  const JRect own = JGetWindowFrame(window);
  const int width = own.right - own.left, height = own.bottom - own.top;
  const JWindow* lowest = nullptr;
  for (const GraphRecord* g : d->graphs)
    if (g && g->graphWindow && g->graphWindow != window &&
        (!lowest || JGetWindowFrame(g->graphWindow).bottom > JGetWindowFrame(lowest).bottom))
      lowest = g->graphWindow;
  int left = 0, top = 0;
  if (lowest) {
    const JRect f = JGetWindowFrame(lowest);
    left = f.left;
    top = f.bottom + 5;
    if (top + height + 10 > mainHeight) {
      left = f.right + 5;
      top = f.top + 5;
    }
  } else if (const JWindow* beside = d->controls && d->controls->window ? d->controls->window : d->window) {
    const JRect f = JGetWindowFrame(beside);
    left = f.right + 5;
    top = f.top;
    if (left + width + 10 > mainWidth) {
      left = f.left + 5;
      top = f.top + 5;
    }
  }
  // Cascading from a window at the document area's edge would still pass it.
  JMoveInsideDocumentArea(window, static_cast<int16_t>(left), static_cast<int16_t>(top));
}

}  // namespace

GraphRecord* OpenGraph(Document* d, GraphKind kind) {
  if (GraphRecord* open = d->graphs[kind - 1]) {
    if (open->graphWindow) JShowAndActivateWindow(open->graphWindow);
    return nullptr;
  }
  char* title = JFormatNew(JStr(kTitles[kind - 1]), d->name);
  JWindow* window = JNewWindow(nullptr, title, kJWindowSizable);
  JFree(title);
  if (!window) return nullptr;
  GraphRecord* g = static_cast<GraphRecord*>(JAlloc(sizeof(GraphRecord)));
  *g = GraphRecord{};
  g->graphWindow = window;
  g->document = d;
  g->kind = kind;
  g->byteLabels = kind == kGraphFileSize;
  g->yLinear = kind == kGraphFileSize;
  g->xLinear = true;
  g->xMax = g->yMax = 10;
  g->cursorX = -1;
  g->qualityBudget = QualityBudget(d);
  g->qualityCeiling = static_cast<uint64_t>(d->width) * static_cast<uint64_t>(d->height) / 1024;
  g->title = MakeGraphTitle(kind);
  d->graphs[kind - 1] = g;
  window->data = g;
  JSetHandler(window, kJSlotDraw, Paint);
  JSetHandler(window, kJSlotMouseDown, MouseDown);
  JSetHandler(window, kJSlotMouseMove, PointerMoved);
  JSetHandler(window, kJSlotPointerLeft, PointerLeft);
  JSetHandler(window, kJSlotPointerEntered, PointerEntered);
  JSetHandler(window, kJSlotKeyDown, KeyDown);
  JSetHandler(window, kJSlotResized, Resized);
  JSetHandler(window, kJSlotActivated, Activated);
  JSetHandler(window, kJSlotDeactivated, Deactivated);
  JSetHandler(window, kJSlotClosing, Closing);
  MeasureGraphMargins(g);
  g->xPopup = NewScalePopup(window, g->xLinear);
  g->yPopup = NewScalePopup(window, g->yLinear);
  // Room for the margins and at least 75 pixels of plot each way.
  JSetWindowMinimumSize(window, static_cast<int16_t>(g->marginLeft + g->marginRight + 75),
                        static_cast<int16_t>(g->marginTop + g->marginBottom + 75));
  JSizeWindow(window, kInitialWidth, kInitialHeight);
  Layout(g);
  Place(d, window);
  JShowAndActivateWindow(window);
  return g;
}

void CloseGraph(GraphRecord* g) {
  if (!g) return;
  JWindow* window = g->graphWindow;
  if (window) {
    window->data = nullptr;
    JDisposeWindow(window);
  }
  FreeRecord(g);
}

void CloseDocumentGraphs(Document* d) {
  for (GraphRecord* g : d->graphs) CloseGraph(g);
}

void RedrawGraph(GraphRecord* g) {
  if (g->graphWindow) JInvalidateRect(g->graphWindow, JRectMake(0, 0, 32767, 32767));
}

void PlotGraphPointNow(GraphRecord* g, uint32_t k) {
  if (!g->valid || !BeginWindowDrawing(g)) return;
  InvertGraphCursor(g);
  DrawGraphPoint(g, k);
  InvertGraphCursor(g);
  EndWindowDrawing();
}

void ShowCursorAt(Document* d, uint32_t k) { ForEachGraph(d, CursorTo, k); }
void HideCursors(Document* d) { ForEachGraph(d, NoCursor, 0); }

void SetColourCountChosenProc(ColourCountChosenProc proc) { chosenProc = proc; }

uint32_t ChoosableColourCount(const Document* d, uint32_t k) {
  if (d->useGlobalTable && k > kGlobalTableColours) k = kGlobalTableColours;
  uint32_t c = 0, t = 0;
  AvailableColours(d, &c, &t);
  return k > c ? c : k;
}
