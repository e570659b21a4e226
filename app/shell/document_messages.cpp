#include "app/shell/document_messages.h"

#include "app/shell/document_strings.h"
#include "jindep/Ji_tidge_std.h"
#include "jwin/J_window.h"

namespace {

constexpr int16_t kMargin = 12;

void CloseMessage(JWidget* button) { JRequestClose(button->window); }

// A small dialog-style window with the text and an "Ok" button below it, in front.
void ShowMessage(const char* text) {
  JWindow* w = JNewWindow(nullptr, "", kJWindowDialog | kJWindowSystemMenu);
  if (!w) return;
  JWidget* label = JNewLabel(w, nullptr, kMargin, kMargin, text);
  JShowWidget(label);
  JWidget* ok = JNewButton(w, nullptr, kMargin, static_cast<int16_t>(2 * kMargin + label->height), kOkButton);
  JSetButtonDefault(ok, true);
  JSetButtonAction(ok, CloseMessage);
  const int16_t width = static_cast<int16_t>(2 * kMargin + (label->width > ok->width ? label->width : ok->width));
  JMoveWidget(ok, static_cast<int16_t>((width - ok->width) / 2), ok->y);
  JShowWidget(ok);
  JSizeWindow(w, width, static_cast<int16_t>(ok->y + ok->height + kMargin));
  JShowAndActivateWindow(w);
}

}  // namespace

void DocumentAlert(const char* text) { ShowMessage(text); }
void DocumentNote(const char* text) { ShowMessage(text); }
