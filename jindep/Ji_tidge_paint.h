// Drawing shared by the standard widget classes: plain fills, frames and text in the
// widget's graphics context. Colours are 0xRRGGBB.
#pragma once
#include <cstdint>

#include "jindep/Ji_tidge.h"

namespace tidge {

constexpr uint32_t kFace = 0xD4D0C8;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDark = 0x404040;
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kInk = 0x000000;
constexpr uint32_t kGreyInk = 0x808080;
constexpr uint32_t kField = 0xFFFFFF;
constexpr uint32_t kSelection = 0x0A246A;

// Selects the widget's context; every drawing below sets the colour it needs.
void Begin(JWidget* w);
// Leaves the context's foreground black again, as other users expect.
void End();
void Fill(int left, int top, int right, int bottom, uint32_t colour);
// A one-pixel line between two points, both included.
void Line(int x0, int y0, int x1, int y1, uint32_t colour);
void Frame(int left, int top, int right, int bottom, uint32_t colour);
// The frame of the toolkit's chooser buttons: black, with a one-pixel shadow along the
// right and bottom edges starting 3 pixels from the corners (the rectangle leaves it room).
void ShadowFrame(int left, int top, int right, int bottom, bool shadow);
// Raised (or sunken) edges inside the rectangle.
void Bevel(int left, int top, int right, int bottom, bool raised);
// Text with its line box's top at `top`; answers the width drawn.
int Text(int x, int top, const char* text, uint32_t colour);
void TextCentred(int left, int top, int right, int bottom, const char* text, uint32_t colour);
void TextSize(JWidget* w, const char* text, int16_t* width, int16_t* height);
// An owned copy of a text (an empty one for null), freeing the old copy.
char* Replace(char* old, const char* text);

}  // namespace tidge
