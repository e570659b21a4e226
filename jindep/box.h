// Boxes: container widgets that place their children in a row or a column (see
// box_layout.h for the rule) and lay them out again whenever their size, settings or
// children change. Children are made with the box as their container. While a box
// is visible only its visible children take room; after showing or hiding a child,
// call JBoxLayoutAgain.
#pragma once
#include <cstdint>

#include "jindep/Ji_at_ar.h"
#include "jindep/Ji_tidge.h"
#include "jindep/box_layout.h"
#include "jwin/J_gc.h"

struct JBox {
  JArray children;  // JWidget* each, first placed first
  JBoxSettings settings;
  int16_t naturalWidth;
  int16_t naturalHeight;
  uint8_t filled;
  JColour fillColour;
  JWidget* pressed;  // the child that took the press, until the release
};

// A box with the default settings, sized to its natural size.
JWidget* JNewBox(JWindow* window, JWidget* container, int16_t x, int16_t y);
JBox* JBoxOf(JWidget* box);
bool JIsBox(const JWidget* w);

// Takes a child out of the box's line without disposing of it.
void JBoxRemoveChild(JWidget* box, JWidget* child);
uint32_t JBoxChildCount(JWidget* box);
JWidget* JBoxChildAt(JWidget* box, uint32_t index);

void JBoxSetSpacing(JWidget* box, int16_t spacing);
void JBoxSetFramed(JWidget* box, bool framed);
void JBoxSetOrientation(JWidget* box, bool horizontal, uint16_t alignment);
void JBoxSetHorizontal(JWidget* box, bool horizontal);
void JBoxSetAlignment(JWidget* box, uint16_t alignment);
void JBoxSetPacked(JWidget* box, bool packed);
void JBoxSetOuterGaps(JWidget* box, bool outerGaps);
// Takes effect at the next size change or layout.
void JBoxSetMargins(JWidget* box, int16_t left, int16_t top, int16_t right, int16_t bottom);
void JBoxSetFillColour(JWidget* box, const JColour* colour);
void JBoxSetFilled(JWidget* box, bool filled);
// Recomputes the natural size and places the children again at the current size.
void JBoxLayoutAgain(JWidget* box);
