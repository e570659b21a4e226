// What the layers above the window layer need of the desktop itself: the cursor's shape,
// the pointer's place, and centring a window over the main window's document area.
#pragma once
#include <cstdint>

struct JWindow;

// The desktop's four cursors, then the program's own: an open hand, a magnifying glass and a
// colour dropper.
enum JCursorShape : uint8_t {
  kJCursorArrow,
  kJCursorCrosshair,
  kJCursorIBeam,
  kJCursorBusy,
  kJCursorHand,
  kJCursorMagnifier,
  kJCursorDropper,
};

// Nothing happens (and the pointer reads 0, 0) while no desktop runs.
void JShowCursorShape(JCursorShape shape);
// The pointer in document-area coordinates.
void JPointerInDocumentArea(int16_t* x, int16_t* y);
void JMovePointerInDocumentArea(int16_t x, int16_t y);
// Moves the window so that its frame is centred over the document area (the screen when
// the main window has none).
void JCentreInDocumentArea(JWindow* window);
// Moves a document window's frame to (left, top), pulled back inside the document area where
// it would pass the area's right or bottom edge, so its title and controls can be reached.
void JMoveInsideDocumentArea(JWindow* window, int16_t left, int16_t top);
