// The magnifier widget: it shows, enlarged, the main window's surface around the pointer
// wherever the pointer is, with a marching crosshair over the pointer's own pixel. Two timed
// calls drive it for as long as it exists: the refresh every 50 ms (a still pointer costs one
// copy a second) and the crosshair's march every 100 ms.
#pragma once
#include <cstdint>

#include "jwin/J_rect.h"

struct JPixMap;
struct JScheduled;
struct JWidget;
struct JWidgetClass;
struct JWindow;

struct MagnifierState {
  int16_t zoom;
  JRect source;       // the area shown, as offsets from the pointer
  JRect destination;  // where it is drawn enlarged, relative to the widget
  int16_t pictureWidth;
  int16_t pictureHeight;
  JScheduled* refreshCall;
  JScheduled* animationCall;
  int32_t lastX;  // kMagnifierForceRefresh, which no pointer position equals, forces a refresh
  int16_t lastY;
  uint32_t lastTick;  // of the last refresh that copied
  int16_t phase;      // pixels the dashes have marched
  bool polarity;
  int16_t centreX;  // the crosshair's centre and square, in the window's coordinates
  int16_t centreY;
  JRect target;
  int16_t dashLength;
  int16_t dashCount;
  JPixMap* picture;  // the source area as last copied, as large as the area
};

constexpr int32_t kMagnifierForceRefresh = 65535;

// The magnifier's widget class, made on the first call and kept for the run.
const JWidgetClass* MagnifierClass();
JWidget* NewMagnifier(JWindow* window, int16_t x, int16_t y);
MagnifierState* MagnifierStateOf(JWidget* magnifier);

// Below 1 the magnifier shrinks instead: -2 shows twice the interior, -4 four times.
void SetMagnifierZoom(JWidget* magnifier, int16_t zoom);
int16_t MagnifierZoom(JWidget* magnifier);

// The source offsets and the destination (relative to the widget) for a widget of
// width x height pixels: the interior is the widget less a pixel each side, and the
// enlarged picture is centred in it, the smaller half of odd spare pixels left and above.
struct MagnifierGeometry {
  JRect source;
  JRect destination;
};
MagnifierGeometry MagnifierGeometryFor(int16_t width, int16_t height, int16_t zoom);
