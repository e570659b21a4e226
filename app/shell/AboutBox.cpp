#include "app/shell/AboutBox.h"

#include "app/shell/AboutFrames.h"
#include "app/shell/Artwork.h"
#include "app/shell/MainRoutine.h"
#include "app/shell/OwnWindow.h"
#include "app/shell/PictureFilters.h"
#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/J_event.h"
#include "jwin/J_gc.h"
#include "jwin/J_inval.h"
#include "jwin/J_sched.h"
#include "jwin/J_text.h"
#include "jwin/J_window.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

constexpr int kSoftenRuns = 8;
constexpr int32_t kFirstRunDelay = 1000;
// Deep displays: one frame every 30 ms. With no delay the loop would draw a frame every
// millisecond, a blur of moving stripes that keeps a core busy.
constexpr int32_t kFrameDelay = 30;

struct About {
  uint32_t window;  // platform windows: the toolkit may dispose of them at shut-down
  uint32_t version;
  JPixMap* picture;
  JPixMap* backdrop;
  JPixelBuffer* pixels;
  JPixelBuffer* backdropPixels;
  AboutArt art;  // the logo and band regions and the patterns
  JScheduled* animation;
  bool deep;  // a display of more than 8 bits: the moving patterns
  bool splash;  // opened at start-up: closing goes on with the start-up
  int counter;
  AboutFrame frame;
};
About gAbout;
JPixMap* gCapture = nullptr;  // the screen under the box at start-up

void Soften() {
  JPixelBufferGet(gAbout.pixels, 0, gAbout.picture, 0, gAbout.picture->height);
  SoftenPixels(gAbout.pixels);
  JPixelBufferPut(gAbout.pixels, 0, gAbout.pixels->height, gAbout.picture, 0);
}

void Repaint() {
  if (JWindow* w = AboutWindow()) JInvalidateRect(w, JRectMake(0, 0, 32767, 32767));
}

// The backdrop under the emblem, softened, and the rule at the bottom.
void DrawOpening() {
  JPixMap* picture = gAbout.picture;
  if (gCapture && gCapture->width == picture->width && gCapture->height == picture->height) {
    const JRect all = JRectMake(0, 0, picture->width, picture->height);
    JSetDrawBitmap(gAbout.backdrop);
    JSetGC(JDefaultGC());
    JCopyBits(gCapture, all, all, kJCopyPlain);
  } else {
    FillArtworkArea(gAbout.backdrop, kAboutBackground);
  }
  JPixelBufferGet(gAbout.backdropPixels, 0, gAbout.backdrop, 0, picture->height);
  JPixelBufferPut(gAbout.backdropPixels, 0, picture->height, picture, 0);
  int16_t width, height;
  if (ArtworkSize(kArtEmblem, &width, &height))
    DrawArtworkInto(picture, kArtEmblem, static_cast<int16_t>((picture->width - width) / 2), static_cast<int16_t>((picture->height - height) / 2));
  Soften();
  Soften();
  if (ArtworkSize(kArtRule, &width, &height))
    DrawArtworkInto(picture, kArtRule, static_cast<int16_t>((picture->width - width) / 2), static_cast<int16_t>(picture->height - height));
  Soften();
}

// Deep displays: a frame of moving patterns a run. Others: the logo and band drawn once,
// then softened a little a run until the counter is spent.
void Animate(void*) {
  if (!AboutWindow()) return;
  if (gAbout.deep) {
    ComposeAboutFrame(gAbout.pixels, gAbout.art, &gAbout.frame);
    SoftenPixelsToward(gAbout.pixels, gAbout.backdropPixels);
    JPixelBufferPut(gAbout.pixels, 0, gAbout.pixels->height, gAbout.picture, 0);
    Repaint();
    JSchedule(Animate, nullptr, kFrameDelay, &gAbout.animation);
    return;
  }
  if (gAbout.counter < 0) return;
  if (gAbout.counter == kSoftenRuns) {
    const AboutRegions r = AboutLayout();
    DrawArtworkInto(gAbout.picture, kArtLogo, r.logoLeft, r.logoTop);
    DrawArtworkInto(gAbout.picture, kArtBand, r.bandLeft, r.bandTop);
  } else {
    Soften();
  }
  --gAbout.counter;
  Repaint();
  JSchedule(Animate, nullptr, 0, &gAbout.animation);
}

void PaintPicture(JWindow*) {
  const JRect r = JRectMake(0, 0, gAbout.picture->width, gAbout.picture->height);
  JCopyBits(gAbout.picture, r, r, kJCopyPlain);
}

void PaintVersion(JWindow*) {
  JSetGC(JDefaultGC());
  JTextSizeRecord size;
  JTextSize(JStr(kStrVersion), &size);
  const JColour face = ArtworkColour(kAboutBackground), ink = {0, 0, 0};
  JSetForeColour(&face);
  JFillRect(0, 0, 400, 100);
  JSetForeColour(&ink);
  JDrawText(8, static_cast<int16_t>(4 + size.ascent), JStr(kStrVersion));
}

void Dismiss(JWindow*, int16_t, int16_t, uint8_t) { CloseAbout(); }
void DismissKey(JWindow*, JKeyEvent*) { CloseAbout(); }

JWindow* MakeWindow(void (*paint)(JWindow*), int16_t width, int16_t height) {
  JWindow* w = JNewWindow(nullptr, "", kJWindowPopup);
  if (!w) return nullptr;
  JSetHandler(w, kJSlotDraw, paint);
  JSetHandler(w, kJSlotMouseDown, Dismiss);
  JSetHandler(w, kJSlotKeyDown, DismissKey);
  JSizeWindow(w, width, height);
  return w;
}

// The box's content on the screen, centred in the main window's content area.
JRect BoxOnScreen(JRect area) {
  const AboutRegions r = AboutLayout();
  const int16_t left = static_cast<int16_t>(area.left + (area.right - area.left - r.width) / 2);
  const int16_t top = static_cast<int16_t>(area.top + (area.bottom - area.top - r.height) / 2);
  return JRectMake(left, top, static_cast<int16_t>(left + r.width), static_cast<int16_t>(top + r.height));
}

void PlaceContent(JWindow* window, JRect box) {
  JMoveWindow(window, 0, 0);
  int16_t x = 0, y = 0;
  JWindowToScreen(window, &x, &y);  // the frame's margins
  JMoveWindow(window, static_cast<int16_t>(box.left - x), static_cast<int16_t>(box.top - y));
}

void OpenVersion(JWindow* box) {
  JSetDrawWindow(box);
  JSetGC(JDefaultGC());
  JTextSizeRecord size;
  JTextSize(JStr(kStrVersion), &size);
  JWindow* version = MakeWindow(PaintVersion, static_cast<int16_t>(size.width + 16),
                                static_cast<int16_t>(size.ascent + size.descent + 8));
  if (!version) return;
  gAbout.version = version->platformWindow;
  const JRect frame = JGetWindowFrame(box);
  const JRect own = JGetWindowFrame(version);
  JMoveWindow(version, static_cast<int16_t>(frame.right - (own.right - own.left)), frame.bottom);
  JShowWindow(version);
}

}  // namespace

void OpenAbout(bool splash) {
  if (JWindow* open = AboutWindow()) {
    JShowAndActivateWindow(open);
    return;
  }
  gAbout = {};
  const AboutRegions r = AboutLayout();
  gAbout.picture = JPixMapNewDirect(r.width, r.height, 32);
  gAbout.backdrop = JPixMapNewDirect(r.width, r.height, 32);
  gAbout.pixels = JPixelBufferNew(r.width, r.height);
  gAbout.backdropPixels = JPixelBufferNew(r.width, r.height);
  JWindow* window = nullptr;
  if (gAbout.picture && gAbout.backdrop && gAbout.pixels && gAbout.backdropPixels)
    window = MakeWindow(PaintPicture, r.width, r.height);
  if (!window) {
    CloseAbout();
    return;
  }
  gAbout.window = window->platformWindow;
  gAbout.splash = splash;
  gAbout.deep = JDisplayDepth() > 8;
  if (gAbout.deep) LoadAboutArt(&gAbout.art);
  DrawOpening();
  JResetDrawArea(nullptr);
  PlaceContent(window, BoxOnScreen(JMainWindowContent()));
  JShowAndActivateWindow(window);
  OpenVersion(window);
  gAbout.counter = kSoftenRuns;
  JSchedule(Animate, nullptr, kFirstRunDelay, &gAbout.animation);
}

void AboutCommand(JMenuItem*, void*) { OpenAbout(); }

void CloseAbout(bool followUp) {
  bool goOn = false;
  // Windows of an earlier run of the toolkit are gone with it, as is its animation.
  if (JWindow* window = AboutWindow()) {
    goOn = gAbout.splash && followUp;
    JCancelSchedule(gAbout.animation);
    if (JWindow* version = OwnWindow(gAbout.version, kJSlotDraw, PaintVersion)) JDisposeWindow(version);
    JDisposeWindow(window);
  }
  JPixMapFree(gAbout.picture);
  JPixMapFree(gAbout.backdrop);
  JPixelBufferFree(gAbout.pixels);
  JPixelBufferFree(gAbout.backdropPixels);
  FreeAboutArt(&gAbout.art);
  gAbout = {};
  if (goOn) StartUpFollowUp();
}

JWindow* AboutWindow() { return OwnWindow(gAbout.window, kJSlotDraw, PaintPicture); }

void CaptureAboutBackdrop(int16_t left, int16_t top, int16_t width, int16_t height) {
  JProcessPendingPaint();  // the screen as it will show, not as it was before the first paint
  // Where the main window's content will be: its frame's margins stay as they are.
  int16_t nowLeft, nowTop, nowWidth, nowHeight;
  JGetMainWindowPlace(&nowLeft, &nowTop, &nowWidth, &nowHeight);
  const JRect now = JMainWindowContent();
  const JRect later = JRectMake(static_cast<int16_t>(now.left + left - nowLeft), static_cast<int16_t>(now.top + top - nowTop),
                                static_cast<int16_t>(now.right + left + width - nowLeft - nowWidth),
                                static_cast<int16_t>(now.bottom + top + height - nowTop - nowHeight));
  const JRect box = BoxOnScreen(later);
  const int16_t boxWidth = static_cast<int16_t>(box.right - box.left), boxHeight = static_cast<int16_t>(box.bottom - box.top);
  JPixMapFree(gCapture);
  gCapture = JPixMapNewDirect(boxWidth, boxHeight, 32);
  if (!gCapture) return;
  // Screen copies count from the main window's content.
  JSetDrawBitmap(gCapture);
  JSetGC(JDefaultGC());
  JCopyBits(JScreenDrawArea(),
            JRectMake(static_cast<int16_t>(box.left - now.left), static_cast<int16_t>(box.top - now.top),
                      static_cast<int16_t>(box.right - now.left), static_cast<int16_t>(box.bottom - now.top)),
            JRectMake(0, 0, boxWidth, boxHeight), kJCopyPlain);
  JResetDrawArea(nullptr);
}
