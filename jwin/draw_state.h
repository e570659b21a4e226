// State shared by the drawing layer's source files: the current area, its platform
// context and the current graphics context.
#pragma once
#include <cstdint>
#include <memory>

#include "jwin/J_draw.h"
#include "platform/raster/DeviceContext.h"

namespace platform::wm {
class WindowManager;
}

struct JDrawState {
  uint16_t kind;        // 0 before the first area is chosen
  JWindow* window;      // kind 1
  JPixMap* map;         // kind 2
  uint32_t windowId;    // platform window of the taken window context
  bool contextTaken;    // the area's context holds the state saved at taking
  bool drawnInWindow;   // the window's content changed since the context was taken
  JGC* gc;
  int targetWidth;      // size of the surface the context was pointed at
  int targetHeight;
};

JDrawState& JDrawCurrent();
void JDrawEnsureInit();

// The platform context of the current area, taken on first use; null (reported with the
// caller's source and line) when there is none.
platform::DeviceContext* JDrawContext(const char* source, int line);
// The context without any report, or null.
platform::DeviceContext* JDrawContextQuiet();
// Reports a missing graphics context for a primitive.
void JDrawCheckGC(const char* source, int line);
// Selects the graphics context into a platform context.
void JDrawApplyGC(platform::DeviceContext* dc, const JGC* gc);

platform::wm::WindowManager* JDrawWindowManager();
bool JDrawWindowInfo(JWindow* window, uint32_t* id, int16_t* originH, int16_t* originV);
JWindow* JDrawMainWindow();

// On a display with a colour table, brings the rectangle of a drawn picture to the table's
// colours, as a picture drawn on such a display is shown and read (jwin/picture.cpp).
void JDrawInDisplayColours(platform::DeviceContext& dc, const platform::Rect& dest);

// Shut-down of the graphics contexts and fonts the drawing layer made for itself.
void JGCShutdown();
void JFontShutdownPlatform();

// The raster font of a font reference (made on first use); null when it cannot be made.
std::shared_ptr<platform::Font> JFontPlatformFont(JFontRef* font);
