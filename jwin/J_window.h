// Toolkit windows: the main frame's document windows, floating windows, popups and
// dialog-style windows. The application never sees platform messages: it puts
// procedures into a window's fifteen handler slots and the toolkit calls them.
#pragma once
#include <cstdint>

#include "jwin/J_rect.h"

struct JWidget;
struct JWindow;

// Kind flags given to JNewWindow; the first matching row decides the kind.
enum : uint16_t {
  kJWindowSystemMenu = 1,    // with a floating window: system menu and close box
  kJWindowSizable = 2,       // document window: sizing border and maximize box
  kJWindowPopupAbove = 16,   // bordered popup without caption kept above; dialog-style
  kJWindowDialog = 32,       // dialog-style popup with caption
  kJWindowPopup = 64,        // bordered popup without caption
  kJWindowNoMinimize = 0x200,
  kJWindowFloating = 0x1000,  // kept above the others, with caption
};

// State flags.
enum : uint16_t {
  kJWindowDialogStyle = 32,
  kJWindowTabFocus = 64,  // Tab moves the focus between widgets (dialog-style windows always)
  kJWindowClosed = 0x100,  // disposed: no handler is called any more, modal loops end
};

// Handler slots.
enum {
  kJSlotDraw = 0,
  kJSlotMouseDown = 1,
  kJSlotMouseUp = 2,
  kJSlotPressEnded = 3,  // a pending press ended without a button release
  kJSlotMouseMove = 4,
  kJSlotKeyDown = 5,
  kJSlotKeyUp = 6,
  kJSlotCloseQuery = 7,
  kJSlotClosing = 8,
  kJSlotResized = 9,
  kJSlotMoved = 10,
  kJSlotActivated = 11,
  kJSlotDeactivated = 12,
  kJSlotPointerEntered = 13,
  kJSlotPointerLeft = 14,
  kJSlotCount = 15,
};

// Modifier state bits.
enum : uint8_t {
  kJModShift = 2,
  kJModCommand = 4,  // Ctrl alone, or Alt+Ctrl with the alternate shortcuts
  kJModCtrl = 8,
  kJModAlt = 16,
};

// Characters of keys that type nothing.
enum : uint8_t {
  kJCharHome = 1,
  kJCharEnd = 4,
  kJCharInsert = 5,
  kJCharBackspace = 8,
  kJCharTab = 9,
  kJCharPageUp = 11,
  kJCharPageDown = 12,
  kJCharReturn = 13,
  kJCharFunction = 16,  // F1 to F12 carry their number in `code`
  kJCharEscape = 27,
  kJCharLeft = 28,
  kJCharRight = 29,
  kJCharUp = 30,
  kJCharDown = 31,
  kJCharDelete = 127,
};

// A key event: the second byte is the character, the third the modifier state.
struct JKeyEvent {
  uint8_t code;       // the key: its low byte for character keys, the F-key number for F-keys
  uint8_t character;  // Latin-1; '?' for characters beyond it (see `unicode`)
  uint8_t modifiers;
  uint8_t repeat;
  uint32_t unicode;
};

typedef void (*JHandler)();  // a slot's procedure in its stored form
typedef void (*JWindowProc)(JWindow* window);
typedef bool (*JCloseQueryProc)(JWindow* window);
typedef void (*JMouseProc)(JWindow* window, int16_t x, int16_t y, uint8_t modifiers);
typedef void (*JPointerProc)(JWindow* window, int16_t x, int16_t y);
typedef void (*JKeyProc)(JWindow* window, JKeyEvent* key);
// Scroll actions: 0 by line, 1 by page, 2 to an end, 3 to a position (amount: -1/+1 or
// the position).
typedef void (*JWindowScrollProc)(JWindow* window, int16_t action, int32_t amount);
typedef void (*JWindowCommandProc)(JWindow* window, uint16_t itemId);

struct JWindow {
  uint32_t platformWindow;  // the platform window; its user-data word holds this record
  char* title;              // owned copy
  JWindow* parent;
  uint16_t kindFlags;
  JHandler slots[kJSlotCount];
  int16_t showCount;
  uint16_t state;
  int16_t originX;  // local coordinates are client coordinates minus the origin
  int16_t originY;
  int16_t lastLeft;  // content position and size last reported
  int16_t lastTop;
  int16_t lastWidth;
  int16_t lastHeight;
  int16_t widgetCount;
  JWidget** widgets;  // searched from the last for the widget under a point
  JWidget* focus;
  JWidget* pointerWidget;  // the widget under the pointer, for enter and leave
  JWidget* pressedWidget;  // the widget that took the press, until the release
  JWindowScrollProc hScroll[4];
  JWindowScrollProc vScroll[4];
  JWindowCommandProc commandProc;
  void* data;  // the application's word for this window
  int16_t holds;  // while positive the record outlives disposal (modal loops, dispatch)
  bool pressPending;
};

// A new hidden window. No parent means the main window: a document window inside it.
// The content starts at half the parent's width and height.
JWindow* JNewWindow(JWindow* parent, const char* title, uint16_t kindFlags);
void JSetHandler(JWindow* window, int slot, JWindowProc proc);
void JSetHandler(JWindow* window, int slot, JCloseQueryProc proc);
void JSetHandler(JWindow* window, int slot, JMouseProc proc);
void JSetHandler(JWindow* window, int slot, JPointerProc proc);
void JSetHandler(JWindow* window, int slot, JKeyProc proc);
// Counted show: only the first makes the window visible. The second form also activates.
void JShowWindow(JWindow* window);
void JShowAndActivateWindow(JWindow* window);
void JHideWindow(JWindow* window);
bool JWindowVisible(const JWindow* window);
// Asks slot 7; when it agrees, calls slot 8 and disposes the window.
void JRequestClose(JWindow* window);
// Sets the closed flag and destroys the platform window. The record stays readable
// until the end of the current event step (longer while held).
void JDisposeWindow(JWindow* window);
void JSetWindowTitle(JWindow* window, const char* title);
// Content size; the frame grows around it.
void JSizeWindow(JWindow* window, int16_t width, int16_t height);
// Frame position: in the main window's content for document windows, on the screen otherwise.
void JMoveWindow(JWindow* window, int16_t left, int16_t top);
void JGetWindowContentSize(const JWindow* window, int16_t* width, int16_t* height);
// The smallest content that sizing by the frame can reach.
void JSetWindowMinimumSize(JWindow* window, int16_t width, int16_t height);
// The frame's rectangle, in the coordinates JMoveWindow takes.
JRect JGetWindowFrame(const JWindow* window);
void JSetWindowOrigin(JWindow* window, int16_t x, int16_t y);
void JSelectWindow(JWindow* window);
// The pointer in the window's local coordinates.
void JGetWindowPointer(const JWindow* window, int16_t* x, int16_t* y);
// A point of the window's local coordinates on the screen.
void JWindowToScreen(const JWindow* window, int16_t* x, int16_t* y);
// A point of one window's local coordinates in another's (a pop-up tracking a press that
// its owner's window holds).
void JWindowToWindow(const JWindow* from, const JWindow* to, int16_t* x, int16_t* y);
// Puts the content's top-left corner at a screen point, moved as little as needed to keep
// the whole window on the screen (popups that open under the pointer).
void JPlaceWindowContent(JWindow* window, int16_t screenX, int16_t screenY);
// The main window's content (its document area) on the screen.
JRect JMainWindowContent();
// The toolkit window that is active (null when the main frame itself is).
JWindow* JActiveWindow();
JWindow* JWindowFromPlatform(uint32_t platformWindow);

// Main window placement on the screen.
void JGetMainWindowPlace(int16_t* left, int16_t* top, int16_t* width, int16_t* height);
void JSetMainWindowPlace(int16_t left, int16_t top, int16_t width, int16_t height);
bool JMainWindowMinimized();

// Global window-change listeners: code 1 when the main window was resized, 5 when moved,
// 2 when a toolkit window was disposed.
typedef void (*JWindowChangeProc)(void* data, int16_t code);
void JAddWindowChangeListener(JWindowChangeProc proc, void* data);
void JRemoveWindowChangeListener(JWindowChangeProc proc, void* data);

// Menu commands of the main window go here (the menu layer installs it).
typedef void (*JMenuCommandProc)(void* data, uint16_t itemId);
void JSetMenuCommandHandler(JMenuCommandProc proc, void* data);
// Keys are offered here first (menu shortcuts); answering true means taken.
typedef bool (*JKeyFilterProc)(void* data, JKeyEvent* key);
void JSetKeyFilter(JKeyFilterProc proc, void* data);
// Told of every press of a mouse button, in any window or its frame (null for the main
// frame), before the window hears of it: pop-ups close on a press outside themselves.
typedef void (*JPressHookProc)(JWindow* window);
void JSetPressHook(JPressHookProc proc);
