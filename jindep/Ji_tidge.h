// Widgets: rectangular elements inside a toolkit window (texts, buttons, text fields,
// scroll bars, toggles, bars and the application's own controls). Every widget points to
// its class, a table of procedures in a fixed slot order; generic operations check the
// widget's state, then call the class's procedure for that slot. A new class starts with
// every slot at its default, and making a class means filling the slots it needs.
// Widgets sit directly in a window or inside a container widget, which then handles
// their moves and resizes. Coordinates are the window's local coordinates.
#pragma once
#include <cstdint>

#include "jwin/J_rect.h"
#include "jwin/J_window.h"

struct JGC;
struct JWidget;

// State bits.
enum : uint16_t {
  kJWidgetVisible = 1,
  kJWidgetActive = 2,
  kJWidgetDisposing = 4,
};

struct JWidgetClass;

// Toolkit notifications through slot 11.
enum : uint32_t {
  kJNotifyFocusLost = 1,  // the widget had the focus and another one (or none) took it
};

struct JWidget {
  JWindow* window;
  JWidget* container;  // null when the widget sits directly in the window
  const JWidgetClass* widgetClass;
  JGC* gc;
  int16_t x;
  int16_t y;
  int16_t width;
  int16_t height;
  uint16_t state;
  uintptr_t word1;  // free for the class
  uintptr_t word2;
  JRect invalid;
  void* classData;  // the class's own record (its text, its values)
  int16_t minWidth;  // sizing never makes the widget narrower (0: no minimum)
};

// The 28 slots, in order. Slots 11, 12 and 24 to 27 belong to widgets backed by platform
// controls; this toolkit draws every widget itself, so they stay at their defaults.
struct JWidgetClass {
  void (*construct)(JWidget* w);                                      // 0
  void (*destruct)(JWidget* w);                                       // 1
  void (*setGC)(JWidget* w, JGC* gc);                                 // 2
  bool (*naturalSize)(JWidget* w, int16_t* width, int16_t* height);   // 3
  bool (*hitTest)(JWidget* w, int16_t x, int16_t y);                  // 4
  bool (*key)(JWidget* w, JKeyEvent* key);                            // 5: true when taken
  void (*mouseMove)(JWidget* w, int16_t x, int16_t y);                // 6
  void (*mouseUp)(JWidget* w, int16_t x, int16_t y, uint8_t modifiers);   // 7
  void (*mouseDown)(JWidget* w, int16_t x, int16_t y, uint8_t modifiers); // 8
  void (*pointerEntered)(JWidget* w);                                 // 9
  void (*pointerLeft)(JWidget* w);                                    // 10
  void (*notify)(JWidget* w, uint32_t code, uintptr_t value);         // 11
  void (*notifyAfter)(JWidget* w, uint32_t code, uintptr_t value);    // 12
  void (*setSize)(JWidget* w, int16_t width, int16_t height);         // 13
  void (*move)(JWidget* w, int16_t x, int16_t y);                     // 14
  void (*draw)(JWidget* w);                                           // 15
  void (*hide)(JWidget* w, bool redraw);                              // 16
  void (*show)(JWidget* w, bool redraw);                              // 17
  void (*activate)(JWidget* w);                                       // 18
  void (*deactivate)(JWidget* w);                                     // 19
  void (*addChild)(JWidget* container, JWidget* child);               // 20
  void (*removeChild)(JWidget* container, JWidget* child);            // 21
  void (*resizeChild)(JWidget* container, JWidget* child, int16_t width, int16_t height);  // 22
  void (*moveChild)(JWidget* container, JWidget* child, int16_t x, int16_t y);             // 23
  void (*controlCreate)(JWidget* w);                                  // 24
  void (*controlDestroy)(JWidget* w);                                 // 25
  void (*controlUpdate)(JWidget* w);                                  // 26
  void (*controlMessage)(JWidget* w, uint32_t message, uintptr_t value);  // 27: not set by default
};

// A class with every slot at its default; owned by the caller (classes live for the run).
JWidgetClass* JNewWidgetClass();
void JDisposeWidgetClass(JWidgetClass* c);

// Allocates a widget (16 x 16, active and hidden, the default graphics context), adds it
// to the window's list when it has no container, calls slot 0, and hands it to the
// container's slot 20 when it has one.
JWidget* JNewWidget(const JWidgetClass* c, JWindow* window, JWidget* container, int16_t x, int16_t y);
// Nothing when unchanged; 0 x 0 asks the class for its natural size.
void JSizeWidget(JWidget* w, int16_t width, int16_t height);
void JMoveWidget(JWidget* w, int16_t x, int16_t y);
// A minimum width for every later sizing; a narrower widget is widened at once.
void JSetWidgetMinWidth(JWidget* w, int16_t width);
void JShowWidget(JWidget* w);
// Shows without redrawing (the class is told not to redraw either).
void JShowWidgetQuiet(JWidget* w);
void JHideWidget(JWidget* w);
void JActivateWidget(JWidget* w, bool active);
void JSetWidgetGC(JWidget* w, JGC* gc);
// Marks the widget's area of its window for the next paint.
void JInvalidateWidget(JWidget* w);
// Runs slot 1 (or the container's slot 21) and hands the record to temporary memory:
// it stays readable until the end of the current event step. Twice does nothing.
void JDisposeWidget(JWidget* w);
JRect JWidgetBounds(const JWidget* w);
bool JWidgetVisible(const JWidget* w);
bool JWidgetActive(const JWidget* w);

// The topmost visible widget of a window under a local point (searched from the last
// added), or null.
JWidget* JWidgetAt(JWindow* window, int16_t x, int16_t y);
void JSetFocus(JWindow* window, JWidget* w);
JWidget* JFocus(const JWindow* window);
// Whether a widget's class handles keys (it can hold the focus).
bool JWidgetTakesKeys(const JWidget* w);
// Moves the focus to the next (or previous) visible, active widget that takes keys, in
// list order and wrapping, children of boxes in their box's order; answers whether there
// was one.
bool JFocusNext(JWindow* window, bool backwards);

// A press on a widget: its slot 8, then the focus when it takes keys. Inactive widgets
// take the press and do nothing with it.
void JPressWidget(JWidget* w, int16_t x, int16_t y, uint8_t modifiers);

// Installs the procedures below, and the text fields' Edit operations, as what the window
// layer hands up to widgets (jwin/widget_hooks.h); JToolkitInit calls it.
void JWidgetsInstall();

// Called by the window layer: the press, move, release and key go to widgets first.
// Each answers whether a widget took the event.
bool JWidgetsMouseDown(JWindow* window, int16_t x, int16_t y, uint8_t modifiers);
bool JWidgetsMouseMove(JWindow* window, int16_t x, int16_t y);
bool JWidgetsMouseUp(JWindow* window, int16_t x, int16_t y, uint8_t modifiers);
bool JWidgetsKey(JWindow* window, JKeyEvent* key);
// The widget under the pointer changed (null when the pointer left the window's widgets).
void JWidgetsPointerAt(JWindow* window, JWidget* under);
// Draws every visible widget of a window, in list order (after the window's slot 0).
void JDrawWidgets(JWindow* window);
// Disposes every widget of a window that is going away.
void JDisposeWindowWidgets(JWindow* window);
