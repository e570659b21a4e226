#include "app/shell/AboutBox.h"

#include "app/shell/OwnWindow.h"
#include "app/shell/PictureFilters.h"
#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/J_gc.h"
#include "jwin/J_inval.h"
#include "jwin/J_sched.h"
#include "jwin/J_text.h"
#include "jwin/J_window.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

// The two regions of artwork: the logo (a row of tinted wells) above a band whose colours
// step from many to few, as the program's reductions do.
constexpr int16_t kLogoWidth = 240, kLogoHeight = 60, kBandHeight = 40;
constexpr int16_t kWidth = kLogoWidth + 40, kHeight = kLogoHeight + kBandHeight + 60;
constexpr int kSoftenRuns = 8;
constexpr int32_t kFirstRunDelay = 1000;

struct About {
  uint32_t window;  // platform windows: the toolkit may dispose of them at shut-down
  uint32_t version;
  JPixMap* picture;
  JPixelBuffer* buffer;
  JScheduled* animation;
  int counter;
};
About gAbout;

void Fill(uint32_t rgb, int left, int top, int right, int bottom) {
  const JColour c = {static_cast<uint16_t>((rgb >> 16 & 0xFF) * 257), static_cast<uint16_t>((rgb >> 8 & 0xFF) * 257),
                     static_cast<uint16_t>((rgb & 0xFF) * 257)};
  JSetForeColour(&c);
  JFillRect(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
            static_cast<int16_t>(bottom));
}

void Oval(uint32_t rgb, int left, int top, int side) {
  const JColour c = {static_cast<uint16_t>((rgb >> 16 & 0xFF) * 257), static_cast<uint16_t>((rgb >> 8 & 0xFF) * 257),
                     static_cast<uint16_t>((rgb & 0xFF) * 257)};
  JSetForeColour(&c);
  JSetBackColour(&c);
  JDrawOval(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(left + side),
            static_cast<int16_t>(top + side));
}

// A soft glow behind everything, then a thin rule at the bottom.
void DrawBackground() {
  Fill(0xE8E4DC, 0, 0, kWidth, kHeight);
  for (int r = 70; r > 0; r -= 10) Oval(0xE8E4DC - static_cast<uint32_t>(r / 10) * 0x020202, kWidth / 2 - r, kHeight / 2 - r, 2 * r);
  Fill(0x283C78, 20, kHeight - 10, kWidth - 20, kHeight - 7);
}

void DrawArtwork() {
  static const uint32_t kWells[] = {0xD03030, 0xE08020, 0xE0C020, 0x40A040, 0x3070C0, 0x7040A0};
  const int left = (kWidth - kLogoWidth) / 2;
  for (int i = 0; i < 6; ++i) Oval(kWells[i], left + 10 + i * 37, 28, 36);
  // Sixteen shades of a blue, then the same range in four steps.
  const int top = kLogoHeight + 40;
  for (int i = 0; i < 16; ++i) {
    const uint32_t many = static_cast<uint32_t>(40 + i * 13), few = static_cast<uint32_t>(40 + (i / 4) * 52);
    Fill(many << 8 | 0xE0, left + i * 15, top, left + (i + 1) * 15, top + kBandHeight / 2);
    Fill(few << 8 | 0xE0, left + i * 15, top + kBandHeight / 2, left + (i + 1) * 15, top + kBandHeight);
  }
}

void Soften() {
  JPixelBufferGet(gAbout.buffer, 0, gAbout.picture, 0, kHeight);
  SoftenPixels(gAbout.buffer);
  JPixelBufferPut(gAbout.buffer, 0, kHeight, gAbout.picture, 0);
}

void Repaint() {
  if (JWindow* w = AboutWindow()) JInvalidateRect(w, JRectMake(0, 0, kWidth, kHeight));
}

// The artwork appears a second after the box, then softens a little a run.
void Animate(void*) {
  if (!AboutWindow() || gAbout.counter < 0) return;
  JSetDrawBitmap(gAbout.picture);
  JSetGC(JDefaultGC());
  if (gAbout.counter == kSoftenRuns) DrawArtwork();
  if (gAbout.counter < kSoftenRuns) Soften();
  --gAbout.counter;
  Repaint();
  JSchedule(Animate, nullptr, 0, &gAbout.animation);
}

void PaintPicture(JWindow*) {
  const JRect r = JRectMake(0, 0, kWidth, kHeight);
  JCopyBits(gAbout.picture, r, r, kJCopyPlain);
}

void PaintVersion(JWindow*) {
  JSetGC(JDefaultGC());
  JTextSizeRecord size;
  JTextSize(JStr(kStrVersion), &size);
  Fill(0xE8E4DC, 0, 0, 400, 100);
  const JColour ink = {0, 0, 0};
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

}  // namespace

void OpenAbout() {
  if (JWindow* open = AboutWindow()) {
    JShowAndActivateWindow(open);
    return;
  }
  gAbout = {};
  gAbout.picture = JPixMapNewDirect(kWidth, kHeight, 32);
  gAbout.buffer = JPixelBufferNew(kWidth, kHeight);
  if (!gAbout.picture || !gAbout.buffer) {
    CloseAbout();
    return;
  }
  JSetDrawBitmap(gAbout.picture);
  JSetGC(JDefaultGC());
  DrawBackground();
  Soften();
  Soften();
  JWindow* window = MakeWindow(PaintPicture, kWidth, kHeight);
  if (!window) {
    CloseAbout();
    return;
  }
  gAbout.window = window->platformWindow;
  const JRect area = JMainWindowContent();
  const JRect frame = JGetWindowFrame(window);
  const int16_t left = static_cast<int16_t>(area.left + (area.right - area.left - (frame.right - frame.left)) / 2);
  const int16_t top = static_cast<int16_t>(area.top + (area.bottom - area.top - (frame.bottom - frame.top)) / 2);
  JMoveWindow(window, left, top);
  JShowAndActivateWindow(window);
  // The version, on a small window against the box's lower edge.
  JSetDrawWindow(window);
  JSetGC(JDefaultGC());
  JTextSizeRecord size;
  JTextSize(JStr(kStrVersion), &size);
  if (JWindow* version = MakeWindow(PaintVersion, static_cast<int16_t>(size.width + 16),
                                    static_cast<int16_t>(size.ascent + size.descent + 8))) {
    gAbout.version = version->platformWindow;
    const JRect box = JGetWindowFrame(window);
    const JRect own = JGetWindowFrame(version);
    JMoveWindow(version, static_cast<int16_t>(box.right - (own.right - own.left)), box.bottom);
    JShowWindow(version);
  }
  gAbout.counter = kSoftenRuns;
  JSchedule(Animate, nullptr, kFirstRunDelay, &gAbout.animation);
}

void AboutCommand(JMenuItem*, void*) { OpenAbout(); }

void CloseAbout() {
  // Windows of an earlier run of the toolkit are gone with it, as is its animation.
  if (JWindow* window = AboutWindow()) {
    JCancelSchedule(gAbout.animation);
    if (JWindow* version = OwnWindow(gAbout.version, kJSlotDraw, PaintVersion)) JDisposeWindow(version);
    JDisposeWindow(window);
  }
  JPixMapFree(gAbout.picture);
  JPixelBufferFree(gAbout.buffer);
  gAbout = {};
}

JWindow* AboutWindow() { return OwnWindow(gAbout.window, kJSlotDraw, PaintPicture); }
