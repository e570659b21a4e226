// The widgets of a document's controls window, kept so that UpdateControls can rewrite
// them. Shared by the files of the panel only.
#pragma once
#include <cstddef>
#include <cstdint>

struct Document;
struct JWidget;
struct JWindow;

struct ControlsPanel {
  JWindow* window;
  JWidget* sourceBox;
  JWidget* sourceSize;
  JWidget* sourceColours;
  JWidget* destinationBox;
  JWidget* sizeLabel;
  JWidget* countRow;
  JWidget* coloursField;
  JWidget* coloursUnit;
  JWidget* passesField;
  JWidget* passesUnit;
  JWidget* firstRow;
  JWidget* firstPopup;
  JWidget* laterRow;
  JWidget* laterPopup;
  JWidget* backgroundRow;
  JWidget* backgroundSwatch;
  JWidget* backgroundLabel;
  JWidget* transparency;
  JWidget* interlaceFirst;
  JWidget* interlaceLater;
  JWidget* globalTable;
  int8_t firstItemsTransparent;  // which table sizes the first-pass popup lists (-1: none yet)
};

// The document of a widget of the panel (its window's data), or null while closing.
Document* PanelDocument(const JWidget* w);
// The popups, check boxes and first-pass table sizes as the document's settings say.
void ShowControlSettings(Document* document);
// Sizes the number fields to their texts, the rows and boxes to their contents, and the
// window to the boxes with a margin.
void LayoutControls(ControlsPanel* panel);
// The number fields' texts, committed by the user: checked, answered with an alert where
// they are refused or brought into range, and stored.
void ColoursCommitted(JWidget* field);
void PassesCommitted(JWidget* field);
// Panel texts are formatted into buffers of this size (the longest alert is under 300).
inline constexpr size_t kPanelTextSize = 512;
// Beeps and shows a single-button alert.
void PanelAlert(const char* text, const char* button);
