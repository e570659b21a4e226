// The graphics objects a metafile creates into its object table, read from their records.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/metafile/Metafile.h"
#include "platform/raster/DeviceContext.h"

namespace platform::wmf {

enum class ObjectKind { None, Pen, Brush, Font, Palette, Region };

// Pen width is in logical units and scaled when the pen is selected.
struct PenObject {
  PenStyle style = PenStyle::Solid;
  int width = 0;
  uint32_t colourRef = 0;
};

struct BrushObject {
  Brush brush;             // colour of solid and hatched brushes resolved at creation
  uint32_t colourRef = 0;  // kept so that palette-index colours can be resolved later
};

struct FontObject {
  FontSpec fontSpec;   // height and width in logical units
  int escapement = 0;
};

struct Object {
  ObjectKind kind = ObjectKind::None;
  bool reserved = false;  // the slot is taken (even by an object this player leaves out)
  PenObject pen;
  BrushObject brush;
  FontObject font;
  std::vector<Colour> palette;
  std::vector<Rect> region;  // logical coordinates
};

// A colour reference of a record: 0x00BBGGRR, or a palette index when the high byte is 1.
Colour ResolveColour(uint32_t colourRef, const std::vector<Colour>* palette);

// Each reads the record into `object` and answers false when it is too short or damaged.
bool ReadPen(const Record& r, Object* object);
bool ReadBrush(const Record& r, const std::vector<Colour>* palette, Object* object);
bool ReadDibPatternBrush(const Record& r, const std::vector<Colour>* palette, Object* object);
bool ReadPatternBrush(const Record& r, const std::vector<Colour>* palette, Object* object);
bool ReadFont(const Record& r, Object* object);
bool ReadPalette(const Record& r, Object* object);
bool ReadRegion(const Record& r, Object* object);

}  // namespace platform::wmf
