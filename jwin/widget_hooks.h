// What the window layer hands up to the widgets of its windows: drawing, input and the
// pointer, the focus moved by Tab, disposal with the window, and the focused text field
// the Edit menu and menu shortcuts act on. The widgets install these when the toolkit
// starts (JToolkitInit, jwin/toolkit_start.h); until then, and where none are installed, a window has no
// widgets and every call does nothing.
#pragma once
#include <cstdint>

struct JKeyEvent;
struct JWidget;
struct JWindow;

struct JWidgetHooks {
  void (*draw)(JWindow* window);
  // The input calls answer whether a widget took the event.
  bool (*mouseDown)(JWindow* window, int16_t x, int16_t y, uint8_t modifiers);
  bool (*mouseMove)(JWindow* window, int16_t x, int16_t y);
  bool (*mouseUp)(JWindow* window, int16_t x, int16_t y, uint8_t modifiers);
  bool (*key)(JWindow* window, JKeyEvent* key);
  bool (*focusNext)(JWindow* window, bool backwards);
  JWidget* (*widgetAt)(JWindow* window, int16_t x, int16_t y);
  void (*pointerAt)(JWindow* window, JWidget* under);
  void (*dispose)(JWindow* window);
  JWidget* (*focusedField)();
  void (*endFieldEdit)(JWidget* field);
  bool (*fieldHasSelection)(const JWidget* field);
  bool (*fieldCut)(JWidget* field);
  bool (*fieldCopy)(JWidget* field);
  bool (*fieldPaste)(JWidget* field);
  // The display's depth changed: what the widgets derived from it is made again.
  void (*displayChanged)();
};

// Installs the widgets' procedures (null: none). Every entry must be set.
void JSetWidgetHooks(const JWidgetHooks* hooks);
// The installed procedures; without any, procedures that do nothing.
const JWidgetHooks& JWidgetsOf();
