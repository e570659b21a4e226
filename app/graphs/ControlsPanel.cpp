// The controls window: its widgets and what each of them does when the user changes it.
#include "app/graphs/ControlsPanel.h"

#include <cstring>

#include "app/colour/Passes.h"
#include "app/document/Document.h"
#include "app/document/DocumentList.h"
#include "app/gif/ByteSize.h"
#include "app/gif/SizeEstimate.h"
#include "app/graphs/ControlsPanelState.h"
#include "app/graphs/FileSizeGraph.h"
#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tidge_popup.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/Ji_tidge_swatch.h"
#include "jindep/box.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_window.h"
#include "jwin/desktop_view.h"

namespace {

constexpr int16_t kFieldGap = 12;

ControlsPanel* PanelOf(Document* d) { return d ? d->controls : nullptr; }

// A row of widgets inside a column box, packed and centred across.
JWidget* NewRow(JWindow* window, JWidget* column) {
  JWidget* row = JNewBox(window, column, 0, 0);
  JBoxSetFramed(row, false);
  JBoxSetPacked(row, true);
  JBoxSetSpacing(row, 4);
  return row;
}

JWidget* NewColumn(JWindow* window, const char* title) {
  JWidget* box = JNewBox(window, nullptr, 0, 0);
  JBoxSetOrientation(box, false, 1);
  JBoxSetPacked(box, true);
  JBoxSetSpacing(box, 4);
  JBoxSetMargins(box, 4, 4, 4, 4);
  JNewLabel(window, box, 0, 0, title);
  return box;
}

JWidget* NewToggle(JWindow* window, JWidget* column, JStringId title, JToggleAction action) {
  JWidget* t = JNewToggle(window, column, 0, 0, JStr(title));
  JSetToggleAction(t, action);
  return t;
}

void PassBitsItems(JWidget* popup, bool transparent) {
  const char* items[8];
  for (int i = 0; i < 8; ++i) items[i] = JStr(static_cast<JStringId>((transparent ? kStrTable1 : kStrTable2) + i));
  JSetPopupItems(popup, 8, reinterpret_cast<const void* const*>(items));
}

void FirstPassChosen(JWidget* w, uint16_t index) {
  if (Document* d = PanelDocument(w)) {
    d->firstPassBits = static_cast<uint16_t>(index + 1);
    UpdateControls(d, kKeepMeasureGraphs);
  }
}

void LaterPassChosen(JWidget* w, uint16_t index) {
  if (Document* d = PanelDocument(w)) {
    d->laterPassBits = static_cast<uint16_t>(index + 1);
    UpdateControls(d, kKeepMeasureGraphs);
  }
}

void TransparencyToggled(JWidget* w) {
  Document* d = PanelDocument(w);
  if (!d) return;
  const bool on = JToggleState(w) != 0;
  if (on && d->transparentList.count == 0) {
    JSetToggleState(w, 0, false);
    PanelAlert(JStr(kStrClickForTransparency), JStr(kStrClickForTransparencyOk));
    return;
  }
  SetTransparency(d, on);
}

void InterlaceToggled(JWidget* w) {
  Document* d = PanelDocument(w);
  if (!d) return;
  const uint8_t on = JToggleState(w);
  if (w == d->controls->interlaceFirst)
    d->interlaceFirst = on;
  else
    d->interlaceLater = on;
  RestartSizeEstimate(d, true);
}

void GlobalTableToggled(JWidget* w) {
  Document* d = PanelDocument(w);
  if (!d) return;
  const uint32_t before = d->colourCount;
  SetGlobalTable(d, JToggleState(w));
  if (d->colourCount != before) {
    UpdateControls(d, kControlsColoursChanged | kKeepMeasureGraphs);
  } else {
    RestartSizeEstimate(d, true);
  }
}

void ShowBackground(ControlsPanel* p, const DocumentColour& c) {
  char hex[16];
  JFormatInto(hex, JStr(kStrColourHex), c.red >> 8, c.green >> 8, c.blue >> 8);
  char text[kPanelTextSize];
  JFormatIntoSized(text, sizeof text, JStr(kStrBackground), hex);
  JSetLabelText(p->backgroundLabel, text);
  JSizeWidget(p->backgroundLabel, 0, 0);
}

// The colour only fills the transparent entry of the tables, so the file's size stays.
void BackgroundChosen(JWidget* w, const JColour* colour, uint32_t) {
  Document* d = PanelDocument(w);
  if (!d) return;
  d->backgroundColour = {colour->red, colour->green, colour->blue};
  ShowBackground(d->controls, d->backgroundColour);
  LayoutControls(d->controls);
  RedrawDocument(d);
}

void FieldTyped(JWidget* w) {
  if (Document* d = PanelDocument(w)) LayoutControls(d->controls);
}

JWidget* NewNumberField(JWindow* window, JWidget* row, JTextFieldAction committed) {
  JWidget* f = JNewTextField(window, row, 0, 0, "");
  JSetFieldAction(f, FieldTyped);
  JSetFieldEndAction(f, committed);
  return f;
}

void BuildSource(ControlsPanel* p, Document* d) {
  p->sourceBox = NewColumn(p->window, JStr(kStrSourceBox));
  char size[kByteSizeTextSize];
  FormatByteSize(uint64_t{static_cast<uint16_t>(d->width)} * 4 * static_cast<uint16_t>(d->height), size);
  char text[kPanelTextSize];
  JFormatIntoSized(text, sizeof text, JStr(kStrSourceSize), static_cast<int>(d->width), static_cast<int>(d->height), size);
  p->sourceSize = JNewLabel(p->window, p->sourceBox, 0, 0, text);
  p->sourceColours = JNewLabel(p->window, p->sourceBox, 0, 0, "");
}

void BuildDestination(ControlsPanel* p) {
  JWindow* w = p->window;
  p->destinationBox = NewColumn(w, JStr(kStrDestinationBox));
  JWidget* box = p->destinationBox;
  p->sizeLabel = JNewLabel(w, box, 0, 0, "");
  p->countRow = NewRow(w, box);
  p->coloursField = NewNumberField(w, p->countRow, ColoursCommitted);
  p->coloursUnit = JNewLabel(w, p->countRow, 0, 0, JStr(kStrColoursUnit));
  JNewSpacer(w, p->countRow, 0, 0, kFieldGap, 1);
  p->passesField = NewNumberField(w, p->countRow, PassesCommitted);
  p->passesUnit = JNewLabel(w, p->countRow, 0, 0, JStr(kStrPassesUnit));
  p->firstRow = NewRow(w, box);
  JNewLabel(w, p->firstRow, 0, 0, JStr(kStrFirstPass));
  p->firstPopup = JNewPopup(w, p->firstRow, 0, 0);
  JSetPopupOnChange(p->firstPopup, FirstPassChosen);
  p->laterRow = NewRow(w, box);
  JNewLabel(w, p->laterRow, 0, 0, JStr(kStrLaterPasses));
  p->laterPopup = JNewPopup(w, p->laterRow, 0, 0);
  PassBitsItems(p->laterPopup, true);
  JSetPopupOnChange(p->laterPopup, LaterPassChosen);
  p->backgroundRow = NewRow(w, box);
  p->backgroundSwatch = JNewSwatch(w, p->backgroundRow, 0, 0);
  JSetSwatchOnChange(p->backgroundSwatch, BackgroundChosen);
  p->backgroundLabel = JNewLabel(w, p->backgroundRow, 0, 0, "");
  p->transparency = NewToggle(w, box, kStrTransparency, TransparencyToggled);
  p->interlaceFirst = NewToggle(w, box, kStrInterlaceFirst, InterlaceToggled);
  p->interlaceLater = NewToggle(w, box, kStrInterlaceLater, InterlaceToggled);
  p->globalTable = NewToggle(w, box, kStrUseGlobalTable, GlobalTableToggled);
}

// Shows every widget of a box, boxes inside it included.
void ShowAll(JWidget* box) {
  for (uint32_t i = 0; i < JBoxChildCount(box); ++i) {
    JWidget* c = JBoxChildAt(box, i);
    if (JIsBox(c)) ShowAll(c);
    JShowWidget(c);
  }
  JShowWidget(box);
}

void Closing(JWindow* window) {
  if (Document* d = static_cast<Document*>(window->data)) RequestCloseDocument(d);
}

void Activated(JWindow* window) {
  if (Document* d = static_cast<Document*>(window->data)) BindActiveDocument(d);
}

void Deactivated(JWindow* window) {
  if (window->data) BindActiveDocument(nullptr);
}

void SizeMeasured(Document* d) {
  char text[kSizeEstimateTextSize];
  SizeEstimateText(d, text);
  ControlsSetSizeText(d, text);
}

}  // namespace

Document* PanelDocument(const JWidget* w) {
  Document* d = w && w->window ? static_cast<Document*>(w->window->data) : nullptr;
  return d && !d->closing && d->controls ? d : nullptr;
}

void OpenControls(Document* d) {
  char title[kPanelTextSize];
  JFormatIntoSized(title, sizeof title, JStr(kStrControlsTitle), d->name);
  JWindow* window = JNewWindow(nullptr, title, 0);
  if (!window) return;
  ControlsPanel* p = static_cast<ControlsPanel*>(JAlloc(sizeof(ControlsPanel)));
  std::memset(p, 0, sizeof *p);
  p->window = window;
  p->firstItemsTransparent = -1;
  d->controls = p;
  window->state |= kJWindowTabFocus;
  JSetHandler(window, kJSlotClosing, Closing);
  JSetHandler(window, kJSlotActivated, Activated);
  JSetHandler(window, kJSlotDeactivated, Deactivated);
  BuildSource(p, d);
  BuildDestination(p);
  ShowAll(p->sourceBox);
  ShowAll(p->destinationBox);
  const JColour background = {d->backgroundColour.red, d->backgroundColour.green, d->backgroundColour.blue};
  JSetSwatchColour(p->backgroundSwatch, &background);
  ShowBackground(p, d->backgroundColour);
  window->data = d;
  UpdateControls(d, kControlsColoursChanged);
  // Beside the preview, top edges aligned; a preview too wide to leave room brings the panel
  // back over it.
  const JRect preview = JGetWindowFrame(d->window);
  JMoveInsideDocumentArea(window, static_cast<int16_t>(preview.right + 5), preview.top);
  JShowWindow(window);
}

void CloseControls(Document* d) {
  ControlsPanel* p = PanelOf(d);
  if (!p) return;
  d->controls = nullptr;
  p->window->data = nullptr;
  JDisposeWindow(p->window);
  JFree(p);
}

void SetTransparency(Document* d, bool on) {
  d->transparencyOn = on ? 1 : 0;
  ClampColourCount(d);
  UpdateControls(d, kControlsColoursChanged);
}

void ControlsSetSizeText(Document* d, const char* sizeText) {
  ControlsPanel* p = PanelOf(d);
  if (!p) return;
  char text[kPanelTextSize];
  if (sizeText && *sizeText)
    JFormatIntoSized(text, sizeof text, JStr(kStrDestinationSize), static_cast<int>(d->width), static_cast<int>(d->height), sizeText);
  else
    JFormatIntoSized(text, sizeof text, JStr(kStrDestinationSizeOnly), static_cast<int>(d->width), static_cast<int>(d->height));
  if (std::strcmp(text, JLabelText(p->sizeLabel)) == 0) return;
  JSetLabelText(p->sizeLabel, text);
  LayoutControls(p);
}

void ControlsInit() { SetSizeEstimateListener(SizeMeasured); }

void ShowControlSettings(Document* d) {
  ControlsPanel* p = PanelOf(d);
  if (!p) return;
  if (p->firstItemsTransparent != (d->transparencyOn ? 1 : 0)) {
    p->firstItemsTransparent = d->transparencyOn ? 1 : 0;
    PassBitsItems(p->firstPopup, d->transparencyOn);
  }
  JSetPopupSelection(p->firstPopup, static_cast<uint16_t>(d->firstPassBits - 1));
  JSetPopupSelection(p->laterPopup, static_cast<uint16_t>(d->laterPassBits - 1));
  JSetToggleState(p->transparency, d->transparencyOn, false);
  JSetToggleState(p->interlaceFirst, d->interlaceFirst, false);
  JSetToggleState(p->interlaceLater, d->interlaceLater, false);
  JSetToggleState(p->globalTable, d->useGlobalTable, false);
}
