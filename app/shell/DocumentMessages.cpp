#include "app/shell/DocumentMessages.h"

#include "jindep/string_lists.h"
#include "jwin/J_alert.h"
#include "jwin/J_beep.h"

// Modeless: nothing waits for the answer, and the work that failed is already undone.
void DocumentAlert(const char* text) {
  JBeep();
  JAlertModeless(nullptr, kJIconWarning, text, JStr(kStrDocumentOk), nullptr, nullptr, nullptr);
}

void DocumentNote(const char* text, const char* button) {
  JBeep();
  JNote(text, button);
}
