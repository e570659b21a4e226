// Graphics contexts: what drawing is done with (font, pen, colours, fill pattern and
// drawing mode). One context is current at a time; the setters below change it and,
// when a drawing area is current, its platform context too.
#pragma once
#include <cstdint>

struct JFontRef;

// A toolkit colour: three 16-bit channels.
struct JColour {
  uint16_t red;
  uint16_t green;
  uint16_t blue;
};

// Drawing modes (the binary raster operations of the platform).
enum : uint16_t {
  kJModeBlack = 1,
  kJModeInvert = 6,   // inverts what is under the pen, whatever its colour
  kJModeXor = 7,
  kJModeAnd = 9,
  kJModeOr = 15,
  kJModeCopy = 13,
  kJModeWhite = 16,
};

struct JGC {
  JFontRef* font;
  int16_t penH;
  int16_t penV;
  int16_t penSize;
  uint8_t patternMode;
  int16_t penWidth;
  void* platformPen;    // the raster's pen, rebuilt by the setters
  void* platformBrush;  // the raster's brush, rebuilt by the setters
  uint32_t fillPattern;
  uint32_t foreColour;  // platform colour words 0x00RRGGBB
  uint32_t backColour;
  uint16_t drawMode;
};

// An 8-bit channel from a 16-bit one: 65535 gives 255 and c * 257 gives back c.
inline uint8_t JColourChannel8(uint16_t c) { return static_cast<uint8_t>((c - (c >> 8)) >> 8); }
// The platform colour word of a toolkit colour.
uint32_t JColourToPlatform(const JColour* colour);

// A new context: the application font, pen width 1, solid pattern, black on white, copy mode.
JGC* JNewGC();
void JDisposeGC(JGC* gc);
// The toolkit's default context, given to widgets at creation; never disposed by callers.
JGC* JDefaultGC();

// Makes `gc` current and selects it into the current area's context: its font, text on
// the baseline with a transparent background, pen, colours and brush. A null context is
// reported and beeps.
void JSetGC(JGC* gc);
JGC* JCurrentGC();

void JSetForeColour(const JColour* colour);
void JSetBackColour(const JColour* colour);
void JSetPenWidth(int16_t width);
// 1 is solid; other numbers name pattern bitmaps (see JPatternResource).
void JSetFillPattern(uint32_t pattern);
// When set, rectangles are filled through the rectangle primitive, in the drawing mode.
void JSetPatternMode(bool on);
void JSetDrawMode(uint16_t mode);

// The font setters take the new font (reference counted) and release the previous one;
// face, size and style changes keep the other properties of the current font.
void JSetFont(JFontRef* font);
void JSetFace(const char* face);
void JSetSize(uint16_t size);
void JSetStyle(uint16_t style);

// The bitmap resource of a pattern number (1, solid, has none: 0).
uint16_t JPatternResource(uint32_t pattern);
