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

// The field's whole, non-negative number; otherwise false after the alert that refuses it
// (the next string is each alert's button), with the field showing `current` again.
bool Accepted(JWidget* field, JStringId notInteger, JStringId negative, uint32_t current, uint32_t* value) {
  const char* text = JGetFieldText(field);
  int32_t v = 0;
  char message[kPanelTextSize];
  if (!ReadInteger(text, &v)) {
    JFormatIntoSized(message, sizeof message, JStr(notInteger), text);
    PanelAlert(message, JStr(static_cast<JStringId>(notInteger + 1)));
  } else if (v < 0) {
    PanelAlert(JStr(negative), JStr(static_cast<JStringId>(negative + 1)));
  } else {
    *value = static_cast<uint32_t>(v);
    return true;
  }
  ShowAgain(field, current);
  return false;
}

// A value brought into range: the note, with its own button text (the next string).
void Alert(void*, JStringId text) { PanelAlert(JStr(text), JStr(static_cast<JStringId>(text + 1))); }

// A number typed, brought into range by `limit` (each change told in an alert), becomes the
// number of colours kept.
typedef uint32_t (*LimitProc)(const ReductionSettings* settings, uint32_t value, uint32_t available, uint8_t* notes);
void StoreWithin(Document* d, uint32_t value, LimitProc limit) {
  uint32_t c = 0, t = 0;
  AvailableColours(d, &c, &t);
  uint8_t notes = 0;
  d->colourCount = limit(d, value, c, &notes);
  TellReductionNotes(notes, Alert, nullptr);
  UpdateControls(d, kControlsColoursChanged | kKeepSizeGraph | kKeepMeasureGraphs);
}

}  // namespace

void PanelAlert(const char* text, const char* button) {
  JBeep();
  JAlertModeless(nullptr, kJIconNote, text, button, nullptr, nullptr, nullptr);
}

void ColoursCommitted(JWidget* field) {
  Document* d = PanelDocument(field);
  uint32_t v = 0;
  if (d && Accepted(field, kStrColoursNotInteger, kStrColoursNegative, d->colourCount, &v))
    StoreWithin(d, v, LimitColourCount);
}

void PassesCommitted(JWidget* field) {
  Document* d = PanelDocument(field);
  uint32_t p = 0;
  if (d && Accepted(field, kStrPassesNotInteger, kStrPassesNegative, DocumentPasses(d), &p))
    StoreWithin(d, p, ColoursForPassCount);
}
