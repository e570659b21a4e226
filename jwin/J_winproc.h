// Inside the toolkit: the window procedure and the bookkeeping the event loop needs.
#pragma once
#include "jwin/J_window.h"
#include "platform/wm/Message.h"

// Delivers one platform message to its window's handler slots (or to the main window).
void JDispatchMessage(const platform::wm::Message& message);
// Creates the main frame; false when the desktop refuses.
bool JCreateMainWindow(const char* title, int kind);
uint32_t JMainPlatformWindow();
// Frees the records of windows disposed since the last call that nobody holds.
void JReleaseDisposedWindows();
// Disposes and frees every window (shut-down).
void JDisposeAllWindows();
// Forgets the window under the pointer and the installed menu and key procedures (shut-down).
void JResetWindowProcState();
// Pointer tracking: delivers leave and enter for the window under the pointer.
void JTrackPointer();
// Holds keep a disposed record readable; the last release lets it be freed.
void JHoldWindow(JWindow* window);
void JReleaseWindow(JWindow* window);
// The key event a message describes; false when the message types no key for slot 5.
bool JKeyEventFromMessage(const platform::wm::Message& m, JKeyEvent* key);
// Calls the global window-change listeners with a change code.
void JNotifyWindowChange(int16_t code);
// Offers a key to the key filter, the focused widget and slot 5, in that order.
void JDeliverKey(JWindow* window, JKeyEvent* key);
