// UpdateControls: the panel's texts from the document, its layout, and the work a change
// of settings calls for.
#include <initializer_list>

#include "app/colour/Passes.h"
#include "app/document/Document.h"
#include "app/gif/SizeEstimate.h"
#include "app/graphs/ControlsPanel.h"
#include "app/graphs/ControlsPanelState.h"
#include "app/graphs/FileSizeGraph.h"
#include "app/graphs/MeasureGraphs.h"
#include "app/picture/DocumentPicture.h"
#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/box.h"
#include "jindep/string_lists.h"
#include "jwin/J_window.h"

namespace {

constexpr int16_t kWindowMargin = 6;

// A number field is as wide as its text needs, and never narrower than two digits.
void FitField(JWidget* field) {
  const int16_t width = JFieldWidthFor(field, JGetFieldText(field)), twoDigits = JFieldWidthFor(field, "00");
  JSizeWidget(field, width > twoDigits ? width : twoDigits, field->height);
}

void ShowCounts(ControlsPanel* p, const Document* d) {
  uint32_t available = 0, transparent = 0;
  AvailableColours(d, &available, &transparent);
  char suffix[kPanelTextSize], text[kPanelTextSize];
  JFormatIntoSized(suffix, sizeof suffix, JStr(transparent ? kStrTransparentSuffix : kStrNoSuffix), static_cast<int>(transparent));
  JFormatIntoSized(text, sizeof text, JStr(available == 1 ? kStrOneColourFound : kStrColoursFound), static_cast<int>(available), suffix);
  JSetLabelText(p->sourceColours, text);
  JFormatIntoSized(text, sizeof text, "%d%", static_cast<int>(d->colourCount));
  JSetFieldText(p->coloursField, text);
  JSetLabelText(p->coloursUnit, JStr(d->colourCount == 1 ? kStrColourUnit : kStrColoursUnit));
  const uint32_t passes = DocumentPasses(d);
  JFormatIntoSized(text, sizeof text, "%d%", static_cast<int>(passes));
  JSetFieldText(p->passesField, text);
  JSetLabelText(p->passesUnit, JStr(passes == 1 ? kStrPassUnit : kStrPassesUnit));
  for (JWidget* label : {p->sourceColours, p->coloursUnit, p->passesUnit}) JSizeWidget(label, 0, 0);
}

// The number of colours never exceeds what can be shown, whatever changed since it was
// chosen: a stale count would map past the colours that exist.
void KeepCountInRange(Document* d) {
  ClampColourCount(d);
  SetGlobalTable(d, d->useGlobalTable != 0);  // and within a global table's 256
}

}  // namespace

void LayoutControls(ControlsPanel* p) {
  FitField(p->coloursField);
  FitField(p->passesField);
  for (JWidget* row : {p->countRow, p->firstRow, p->laterRow, p->backgroundRow}) JSizeWidget(row, 0, 0);
  JSizeWidget(p->sourceBox, 0, 0);
  JSizeWidget(p->destinationBox, 0, 0);
  const int16_t width = p->sourceBox->width > p->destinationBox->width ? p->sourceBox->width : p->destinationBox->width;
  JSizeWidget(p->sourceBox, width, p->sourceBox->height);
  JSizeWidget(p->destinationBox, width, p->destinationBox->height);
  JMoveWidget(p->sourceBox, kWindowMargin, kWindowMargin);
  JMoveWidget(p->destinationBox, kWindowMargin, static_cast<int16_t>(2 * kWindowMargin + p->sourceBox->height));
  JSizeWindow(p->window, static_cast<int16_t>(width + 2 * kWindowMargin),
              static_cast<int16_t>(p->sourceBox->height + p->destinationBox->height + 3 * kWindowMargin));
}

void UpdateControls(Document* d, uint16_t flags) {
  if (!d || d->closing) return;
  KeepCountInRange(d);
  if (ControlsPanel* p = d->controls) {
    ShowControlSettings(d);
    ShowCounts(p, d);
  }
  if ((flags & 3) == kControlsColoursChanged) UpdateDocumentPicture(d);
  if (!(flags & kKeepMeasureGraphs)) {
    RefreshQuality(d);
    RefreshMaximumError(d);
  }
  if (!(flags & kKeepSizeGraph)) ResetFileSizeSamples(d);
  RestartSizeEstimate(d, !(flags & kKeepSizeGraph));
  // The size shown is the restarted estimate's, never the last settings' total.
  char size[kSizeEstimateTextSize];
  SizeEstimateText(d, size);
  ControlsSetSizeText(d, size);
  if (d->controls) LayoutControls(d->controls);
}
