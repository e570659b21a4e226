#include "jwin/J_draw.h"

#include <new>

#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/J_font.h"
#include "jwin/J_patterns.h"
#include "jwin/draw_state.h"
#include "jwin/pixel_map.h"
#include "platform/wm/Desktop.h"

namespace {

constexpr const char* kSource = "jwin/J_draw";

JDrawState gState = {};
JDrawWindowInfoProc gWindowInfo = nullptr;
JDrawMainWindowProc gMainWindow = nullptr;
bool gInitialised = false;

// Bitmaps made by JNewBitmap and JLoadBitmap, released at shutdown.
JPixMap** gBitmaps = nullptr;
int32_t gBitmapCount = 0;
int32_t gBitmapCapacity = 0;

const JDrawArea kScreenArea = {kJAreaScreen};

// The three platform contexts: windows, the shared memory context of bitmaps, the screen.
platform::DeviceContext& WindowContext() {
  static platform::DeviceContext dc(nullptr);
  return dc;
}
platform::DeviceContext& MemoryContext() {
  static platform::DeviceContext dc(nullptr);
  return dc;
}
platform::DeviceContext& ScreenContext() {
  static platform::DeviceContext dc(nullptr);
  return dc;
}
// Never given a surface: there is no printer to draw on.
platform::DeviceContext& PrinterContext() {
  static platform::DeviceContext dc(nullptr);
  return dc;
}

platform::DeviceContext* ContextOfKind(uint16_t kind) {
  switch (kind) {
    case kJAreaWindow:
    case kJAreaHiddenWindow: return &WindowContext();
    case kJAreaBitmap: return &MemoryContext();
    case kJAreaScreen: return &ScreenContext();
    case kJAreaPrinter: return &PrinterContext();
    default: return nullptr;
  }
}

void ListBitmap(JPixMap* map) {
  if (gBitmapCount == gBitmapCapacity) {
    gBitmapCapacity = gBitmapCapacity ? gBitmapCapacity * 2 : 8;
    gBitmaps = static_cast<JPixMap**>(JRealloc(gBitmaps, sizeof(JPixMap*) * static_cast<size_t>(gBitmapCapacity)));
  }
  gBitmaps[gBitmapCount++] = map;
}

bool UnlistBitmap(JPixMap* map) {
  for (int32_t i = gBitmapCount - 1; i >= 0; --i) {
    if (gBitmaps[i] == map) {
      gBitmaps[i] = gBitmaps[--gBitmapCount];
      return true;
    }
  }
  return false;
}

// Gives back the current area's context: raster state changed by drawing is restored and a
// window whose content changed is shown at the next compose.
void ReleaseContext() {
  platform::DeviceContext* dc = ContextOfKind(gState.kind);
  if (dc && gState.contextTaken) dc->restore();
  if (gState.drawnInWindow) {
    if (platform::wm::WindowManager* wm = JDrawWindowManager()) {
      if (platform::wm::Window* w = wm->window(gState.windowId)) {
        wm->contentChanged(gState.windowId, {0, 0, w->backing().width(), w->backing().height()});
      }
    }
  }
  if (dc) dc->selectTarget(nullptr);
  gState.contextTaken = false;
  gState.drawnInWindow = false;
  gState.windowId = 0;
  gState.targetWidth = 0;
  gState.targetHeight = 0;
}

void MapReleased(JPixMap* map) {
  if (gState.kind == kJAreaBitmap && gState.map == map) JResetDrawArea(nullptr);
}

// Points the context at the surface, again whenever the surface was replaced or resized.
void Select(platform::DeviceContext* dc, platform::Bitmap* surface) {
  if (dc->target() == surface && gState.targetWidth == surface->width() &&
      gState.targetHeight == surface->height()) {
    return;
  }
  dc->selectTarget(surface);
  gState.targetWidth = surface->width();
  gState.targetHeight = surface->height();
}

platform::DeviceContext* TakeContext() {
  platform::DeviceContext* dc = ContextOfKind(gState.kind);
  if (!dc) return nullptr;
  switch (gState.kind) {
    case kJAreaWindow:
    case kJAreaHiddenWindow: {
      uint32_t id = 0;
      int16_t h = 0, v = 0;
      platform::wm::WindowManager* wm = JDrawWindowManager();
      if (!wm || !JDrawWindowInfo(gState.window, &id, &h, &v)) return nullptr;
      platform::wm::Window* w = wm->window(id);
      if (!w) return nullptr;
      // The backing bitmap follows the window's size, so it is looked up every time.
      Select(dc, &w->backing());
      dc->setOrigin({h, v});
      gState.windowId = id;
      gState.drawnInWindow = true;
      break;
    }
    case kJAreaBitmap:
      if (!gState.map || !gState.map->bitmap) return nullptr;
      Select(dc, gState.map->bitmap);
      break;
    case kJAreaScreen: {
      platform::wm::WindowManager* wm = JDrawWindowManager();
      if (!wm) return nullptr;
      Select(dc, &wm->screen().framebuffer());
      break;
    }
  }
  if (!gState.contextTaken) {
    dc->save();
    gState.contextTaken = true;
    if (gState.gc) JDrawApplyGC(dc, gState.gc);
  }
  return dc;
}

}  // namespace

JDrawState& JDrawCurrent() { return gState; }

void JDrawEnsureInit() {
  if (gInitialised) return;
  gInitialised = true;
  JFontInitPlatform();
  JPixMapSetReleaseProc(MapReleased);
}

void JDrawInit() { JDrawEnsureInit(); }

void JDrawShutdown() {
  JResetDrawArea(nullptr);
  while (gBitmapCount > 0) {
    JPixMap* map = gBitmaps[gBitmapCount - 1];
    --gBitmapCount;
    JPixMapFree(map);
  }
  JFree(gBitmaps);
  gBitmaps = nullptr;
  gBitmapCapacity = 0;
  ReleaseContext();
  MemoryContext().selectTarget(nullptr);
  gState = {};
  JGCShutdown();
  JFontShutdownPlatform();
  gInitialised = false;
}

void JDrawSetWindowProcs(JDrawWindowInfoProc info, JDrawMainWindowProc mainWindow) {
  gWindowInfo = info;
  gMainWindow = mainWindow;
}

platform::wm::WindowManager* JDrawWindowManager() {
  platform::wm::Desktop* desktop = platform::wm::Desktop::Current();
  return desktop ? &desktop->wm() : nullptr;
}

bool JDrawWindowInfo(JWindow* window, uint32_t* id, int16_t* originH, int16_t* originV) {
  return window && gWindowInfo && gWindowInfo(window, id, originH, originV);
}

JWindow* JDrawMainWindow() { return gMainWindow ? gMainWindow() : nullptr; }

platform::DeviceContext* JDrawContextQuiet() {
  JDrawEnsureInit();
  return TakeContext();
}

platform::DeviceContext* JDrawContext(const char* source, int line) {
  JDrawEnsureInit();
  if (gState.kind != 0 && !ContextOfKind(gState.kind)) {
    JDebugReport(kSource, __LINE__, "Unrecognized drawing area");
    return nullptr;
  }
  platform::DeviceContext* dc = TakeContext();
  if (!dc) JAssertFail(source, line);
  return dc;
}

void JDrawCheckGC(const char* source, int line) {
  if (!gState.gc) JAssertFail(source, line);
}

const JDrawArea* JScreenDrawArea() { return &kScreenArea; }

namespace {

// The given area becomes current; the previous area's context is given back.
void ChooseArea(uint16_t kind, JWindow* window, JPixMap* map) {
  JDrawEnsureInit();
  ReleaseContext();
  gState.kind = kind;
  gState.window = window;
  gState.map = map;
}

}  // namespace

void JSetDrawWindow(JWindow* window) { ChooseArea(kJAreaWindow, window, nullptr); }
void JSetDrawWindowWithoutPen(JWindow* window) { ChooseArea(kJAreaHiddenWindow, window, nullptr); }
void JSetDrawPrinter() { ChooseArea(kJAreaPrinter, nullptr, nullptr); }
void JSetDrawScreen() { ChooseArea(kJAreaScreen, nullptr, nullptr); }

void JResetDrawArea(JWindow* window) {
  ReleaseContext();
  gState.kind = kJAreaWindow;
  gState.window = window ? window : JDrawMainWindow();
  gState.map = nullptr;
}

void JSetDrawBitmap(JPixMap* area) {
  JDrawEnsureInit();
  if (!area || area->drawingAreaKind != kJAreaBitmap || !area->bitmap) {
    JDebugReport("jwin/J_gc", __LINE__, "bit problem");
    return;
  }
  ChooseArea(kJAreaBitmap, nullptr, area);
}

uint16_t JCurrentDrawKind() { return gState.kind; }
JWindow* JCurrentDrawWindow() {
  return gState.kind == kJAreaWindow || gState.kind == kJAreaHiddenWindow ? gState.window : nullptr;
}
JPixMap* JCurrentDrawBitmap() { return gState.kind == kJAreaBitmap ? gState.map : nullptr; }

JPixMap* JNewBitmap(int16_t width, int16_t height) {
  JDrawEnsureInit();
  JPixMap* map = JMaskMapNew(width, height);
  if (map) ListBitmap(map);
  return map;
}

void JDisposeBitmap(JPixMap* area) {
  if (!area) return;
  if (gState.kind == kJAreaBitmap && gState.map == area) JResetDrawArea(nullptr);
  UnlistBitmap(area);
  JPixMapFree(area);
}

JPixMap* JLoadBitmap(uint16_t resourceId) {
  uint8_t ink[8];
  if (!JPatternArtwork(resourceId, ink)) return nullptr;
  JPixMap* map = JNewBitmap(8, 8);
  if (!map) return nullptr;
  // A 1-bit bitmap shows 0 as black: the ink.
  for (int y = 0; y < 8; ++y) map->bitmap->row(y)[0] = static_cast<uint8_t>(~ink[y]);
  return map;
}
