// Alerts: the toolkit's own message windows with an icon at the left, a message and one
// or two push buttons laid out from the sizes of their texts. The first button is the
// default: Return presses it, and Escape presses the second one when there is one.
#pragma once
#include <cstdint>

#include "jwin/J_rect.h"
#include "jwin/J_window.h"

// Icon resources: 128 the application's note, 129 a warning.
// 130 is the display-depth warning's, drawn as a warning.
enum : int16_t { kJIconNote = 128, kJIconWarning = 129, kJIconDepthWarning = 130 };

// Where the parts of an alert go, in the alert window's content (width x height).
struct JAlertLayout {
  int16_t width;
  int16_t height;
  JRect icon;
  JRect message;
  JRect first;
  JRect second;  // empty without a second button
};
// Sizes are the parts' natural sizes; a second width of 0 means a single button.
void JAlertComputeLayout(int16_t iconWidth, int16_t iconHeight, int16_t messageWidth, int16_t messageHeight,
                         int16_t firstWidth, int16_t firstHeight, int16_t secondWidth, int16_t secondHeight,
                         JAlertLayout* out);

// Receives the data word and true for the first button, false for the second.
typedef void (*JAlertProc)(void* data, bool first);

// Runs a modal loop on the alert until a button is pressed; true for the first button.
// No parent means the main window; a null second text means a single button.
bool JAlert(JWindow* parent, int16_t iconId, const char* message, const char* first, const char* second);
// A modal single-button alert with a window title (warnings that name themselves).
void JAlertTitled(const char* title, int16_t iconId, const char* message, const char* button);
// Shows and paints the alert and returns it at once; the procedure (if any) receives the choice.
JWindow* JAlertModeless(JWindow* parent, int16_t iconId, const char* message, const char* first,
                        const char* second, JAlertProc proc, void* data);
// A modeless single-button alert with the note icon and no procedure.
JWindow* JNote(const char* message, const char* button);
// JAlertModeless with a window title (the toolkit's dialogs title their messages).
JWindow* JAlertModelessTitled(JWindow* parent, const char* title, int16_t iconId, const char* message,
                              const char* first, const char* second, JAlertProc proc, void* data);
// Runs a modal loop on a shown alert or toolkit dialog until it is disposed; menu
// shortcuts wait meanwhile, as they do under JAlert.
void JRunModal(JWindow* window);

// The buttons of an alert window (null when it is not one or has no second button).
struct JWidget;
JWidget* JAlertButton(JWindow* alert, bool first);
