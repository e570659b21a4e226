// The number fields of the controls: a committed text is read as a whole number; text
// that is not one, and negative numbers, are refused; numbers out of range are brought
// into it. Each refusal or change is told in an alert; the field then shows what holds.
#include <cstring>

#include "app/colour/Passes.h"
#include "app/document/Document.h"
#include "app/graphs/ControlsPanel.h"
#include "app/graphs/ControlsPanelState.h"
#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/string_lists.h"
#include "jwin/J_alert.h"
#include "jwin/J_beep.h"

namespace {

// A whole number, possibly negative, from the start, and nothing but blanks after it.
bool ReadInteger(const char* text, int32_t* value) {
  const char* p = text;
  if (!JScanAdvance(&p, "%d%", value)) return false;
  while (*p == ' ' || *p == '\t') ++p;
  return *p == '\0';
}

// The text is put back to the value that holds and selected, for typing again.
void ShowAgain(JWidget* field, uint32_t value) {
  char text[kPanelTextSize];
  JFormatIntoSized(text, sizeof text, "%d%", static_cast<int>(value));
  JSetFieldText(field, text);
  JSetFieldSelection(field, 0, std::strlen(JGetFieldText(field)));
  JSetFocus(field->window, field);
}

// The field's number, or false after the alert for text that is not one.
bool Accepted(JWidget* field, JStringId notInteger, uint32_t current, int32_t* value) {
  const char* text = JGetFieldText(field);
  if (ReadInteger(text, value)) return true;
  char message[kPanelTextSize];
  JFormatIntoSized(message, sizeof message, JStr(notInteger), text);
  PanelAlert(message, JStr(static_cast<JStringId>(notInteger + 1)));
  ShowAgain(field, current);
  return false;
}

// A value brought into range: the note, with its own button text (the next string).
void Alert(void*, JStringId text) { PanelAlert(JStr(text), JStr(static_cast<JStringId>(text + 1))); }

void Store(Document* d, uint32_t colours) {
  d->colourCount = colours;
  UpdateControls(d, kControlsColoursChanged | kKeepSizeGraph | kKeepMeasureGraphs);
}

}  // namespace

void PanelAlert(const char* text, const char* button) {
  JBeep();
  JAlertModeless(nullptr, kJIconNote, text, button, nullptr, nullptr, nullptr);
}

void ColoursCommitted(JWidget* field) {
  Document* d = PanelDocument(field);
  int32_t v = 0;
  if (!d || !Accepted(field, kStrColoursNotInteger, d->colourCount, &v)) return;
  if (v < 0) {
    PanelAlert(JStr(kStrColoursNegative), JStr(kStrColoursNegativeOk));
    ShowAgain(field, d->colourCount);
    return;
  }
  uint32_t c = 0, t = 0;
  AvailableColours(d, &c, &t);
  uint8_t notes = 0;
  const uint32_t k = LimitColourCount(d, static_cast<uint32_t>(v), c, &notes);
  TellReductionNotes(notes, Alert, nullptr);
  Store(d, k);
}

void PassesCommitted(JWidget* field) {
  Document* d = PanelDocument(field);
  int32_t v = 0;
  if (!d || !Accepted(field, kStrPassesNotInteger, DocumentPasses(d), &v)) return;
  if (v < 0) {
    PanelAlert(JStr(kStrPassesNegative), JStr(kStrPassesNegativeOk));
    ShowAgain(field, DocumentPasses(d));
    return;
  }
  uint32_t c = 0, t = 0;
  AvailableColours(d, &c, &t);
  uint8_t notes = 0;
  const uint32_t k = ColoursForPassCount(d, static_cast<uint32_t>(v), c, &notes);
  TellReductionNotes(notes, Alert, nullptr);
  Store(d, k);
}
