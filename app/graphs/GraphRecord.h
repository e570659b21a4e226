// A graph of one measure against the number of colours k: its window, plot rectangle,
// ranges, the mapping from values to pixels, its values, the cursor and the state of
// progressive plotting. A document has three (quality, maximum error, file size); a
// record exists while its window is open.
#pragma once
#include <cstdint>

#include "jwin/J_rect.h"

struct Document;
struct JWindow;
struct JWidget;
struct JScheduled;
struct JPixMap;
struct SizeSampling;

enum GraphKind : uint8_t { kGraphQuality = 1, kGraphMaximumError = 2, kGraphFileSize = 3 };

// A value not yet measured, or not defined.
inline constexpr uint64_t kNoGraphValue = UINT64_MAX;

struct GraphRecord {
  JWindow* graphWindow;  // null when drawn elsewhere (a picture for the batch mode)
  Document* document;
  GraphKind kind;
  bool yLinear;
  bool xLinear;
  bool byteLabels;  // the file-size graph labels its values as byte sizes
  bool valid;       // both ranges are non-empty

  // Margins around the plot and the plot rectangle, in the drawing area's pixels.
  int16_t marginTop, marginLeft, marginBottom, marginRight;
  int16_t plotLeft, plotTop, plotWidth, plotHeight;
  int16_t widestLabel;  // width of the widest value label
  int16_t labelAscent, labelDescent;
  int16_t areaWidth, areaHeight;  // the whole drawing area

  uint32_t xMin, xMax;
  uint64_t yMin, yMax;
  double xOffset, xScale;
  double yOffset, yScale;
  uint64_t qualityBudget;   // 768 x width x height: the quality of the picture itself
  uint64_t qualityCeiling;  // width x height / 1024: the distance to it shown at the top of the log scale

  uint32_t dataFirst, dataLast;
  uint64_t* values;  // one per k from dataFirst to dataLast

  JWidget* xPopup;
  JWidget* yPopup;
  JRect labelRects[2];  // the cursor's labels as last drawn, to erase them

  int16_t cursorX, cursorY;  // cursorX -1: no cursor
  uint32_t cursorK;

  JScheduled* plotting;
  uint64_t plotStep, plotSteps;
  uint32_t plotShift;

  JPixMap* title;          // the vertical title, turned (owned)
  SizeSampling* sampling;  // the file-size graph's measuring (owned)
};
