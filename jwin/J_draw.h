// Drawing areas and the drawing primitives. Drawing follows a current-target model: choose
// the area (a window, an offscreen bitmap or the screen), make a graphics context current
// (J_gc.h), then call primitives that take only coordinates. Coordinates are the area's
// local coordinates; rectangles are half-open.
#pragma once
#include <cstdint>

#include "jwin/J_gc.h"
#include "jwin/J_rect.h"

struct JWindow;
struct JPixMap;

// Drawing-area kinds: the first 16-bit field of every area record.
enum : uint16_t {
  kJAreaWindow = 1,
  kJAreaBitmap = 2,  // a JPixMap
  kJAreaScreen = 3,
  kJAreaHiddenWindow = 5,  // a window whose pen drawing is skipped
  kJAreaPrinter = 6,       // the printer: this platform has none, and drawing goes nowhere
};

struct JDrawArea {
  uint16_t kind;
};

// A window as a source of JCopyBits; fill one in where it is needed.
struct JWindowDrawArea {
  uint16_t kind;  // kJAreaWindow or kJAreaHiddenWindow
  JWindow* window;
};

// The screen as a source of JCopyBits (coordinates relative to the main window's content).
const JDrawArea* JScreenDrawArea();

// Sets up fonts, patterns and the drawing state; JDrawShutdown releases every bitmap made
// with JNewBitmap or JLoadBitmap and every context.
void JDrawInit();
void JDrawShutdown();

// How the drawing layer reaches windows: the window layer answers a window's platform
// window id and the origin of its content area (local = client - origin), and which
// window is the main window.
typedef bool (*JDrawWindowInfoProc)(JWindow* window, uint32_t* platformId, int16_t* originH,
                                    int16_t* originV);
typedef JWindow* (*JDrawMainWindowProc)();
void JDrawSetWindowProcs(JDrawWindowInfoProc info, JDrawMainWindowProc mainWindow);

// The window becomes the current area; its context is taken on the first drawing.
void JSetDrawWindow(JWindow* window);
// The same with the pen left out (kind 5): lines and outlines are skipped; fills, text and
// copies are drawn.
void JSetDrawWindowWithoutPen(JWindow* window);
// The printer becomes the current area (kind 6). This platform has no printer: the area is
// known to every primitive, and what is drawn on it goes nowhere.
void JSetDrawPrinter();
// Back to `window`, or to the main window when null; any context taken is released
// (the event loop calls this between steps).
void JResetDrawArea(JWindow* window);
// Selects a bitmap area into the shared memory context; failure is reported.
void JSetDrawBitmap(JPixMap* area);
// The screen becomes the current area (screen coordinates).
void JSetDrawScreen();
uint16_t JCurrentDrawKind();
JWindow* JCurrentDrawWindow();
JPixMap* JCurrentDrawBitmap();

// A new 1-bit bitmap area, white, listed for release at shutdown.
JPixMap* JNewBitmap(int16_t width, int16_t height);
// If it is the current area, drawing is reset to the main window first.
void JDisposeBitmap(JPixMap* area);
// A bitmap area holding a bitmap resource (the pattern bitmaps); null for unknown ids.
JPixMap* JLoadBitmap(uint16_t resourceId);

// Transfer modes of JCopyBits.
enum : int16_t {
  kJCopyNone = 0,
  kJCopySource = 1,  // for 1-bit sources: pattern OR source
  kJCopyAnd = 2,
  kJCopyPlain = 3,
  kJCopyOr = 4,
  kJCopyNotSourceOr = 5,
};
// Copies from `source` into the current area, stretching when the sizes differ. A 1-bit
// map that carries a mask (JPixMapSetMask) is copied only where the mask is black (0),
// the destination kept where it is white, when the two rectangles have the same size.
void JCopyBits(const void* source, JRect sourceRect, JRect destRect, int16_t mode);

// Primitives, with the current pen and brush.
void JMoveTo(int16_t h, int16_t v);
void JLineTo(int16_t h, int16_t v);
void JDrawLine(int16_t h0, int16_t v0, int16_t h1, int16_t v1);
void JDrawPolyline(const JPoint* points, int16_t count);
void JDrawPolygon(const JPoint* points, int16_t count);
void JDrawOval(int16_t left, int16_t top, int16_t right, int16_t bottom);
// Arcs run counter-clockwise from the ray towards (startH, startV) to the ray towards (endH, endV).
void JDrawArc(int16_t left, int16_t top, int16_t right, int16_t bottom, int16_t startH, int16_t startV,
              int16_t endH, int16_t endV);
void JDrawPie(int16_t left, int16_t top, int16_t right, int16_t bottom, int16_t startH, int16_t startV,
              int16_t endH, int16_t endV);
void JDrawRoundRect(int16_t left, int16_t top, int16_t right, int16_t bottom, int16_t cornerWidth,
                    int16_t cornerHeight);
// Outline with the pen, inside with the brush.
void JDrawRect(int16_t left, int16_t top, int16_t right, int16_t bottom);
// Fills [left, right) x [top, bottom) with the brush.
void JFillRect(int16_t left, int16_t top, int16_t right, int16_t bottom);
// Sets one pixel to the foreground colour.
void JSetPixel(int16_t h, int16_t v);
// False when the pixel is outside the area or its clip.
bool JGetPixel(int16_t h, int16_t v, JColour* out);
