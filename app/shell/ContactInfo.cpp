#include "app/shell/ContactInfo.h"

#include <algorithm>

#include "app/shell/AboutFrames.h"
#include "app/shell/Artwork.h"
#include "app/shell/OwnWindow.h"
#include "app/shell/PictureFilters.h"
#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/J_gc.h"
#include "jwin/J_inval.h"
#include "jwin/J_sched.h"
#include "jwin/desktop_view.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

constexpr int kClickSoftens = 20;

struct ContactInfo {
  uint32_t window;  // the platform window: the toolkit may dispose of it at shut-down
  JPixMap* picture;
  JPixelBuffer* pixels;
  JScheduled* softening;
  int toSoften;
  bool clicked;
};
ContactInfo gContact;

void Soften(int times) {
  JPixelBufferGet(gContact.pixels, 0, gContact.picture, 0, gContact.picture->height);
  for (int i = 0; i < times; ++i) SoftenPixels(gContact.pixels);
  JPixelBufferPut(gContact.pixels, 0, gContact.pixels->height, gContact.picture, 0);
}

// Faded stripes on deep displays, the plain background on others.
void DrawBackground() {
  JPixMap* tileMap = JDisplayDepth() > 8 ? LoadArtwork(kArtBackPattern) : nullptr;
  if (JPixelBuffer* tile = ArtworkPixelsNew(tileMap)) {
    FillWithTile(gContact.pixels, tile, 0);
    FadePixels(gContact.pixels);
    JPixelBufferPut(gContact.pixels, 0, gContact.pixels->height, gContact.picture, 0);
    JPixelBufferFree(tile);
  } else {
    FillArtworkArea(gContact.picture, kAboutBackground);
  }
  JPixMapFree(tileMap);
}

// Centred across the window at `top`.
void DrawCentred(uint16_t id, int16_t top) {
  int16_t width, height;
  if (ArtworkSize(id, &width, &height))
    DrawArtworkInto(gContact.picture, id, static_cast<int16_t>((gContact.picture->width - width) / 2), top);
}

void Step(void*) {
  if (!ContactInfoWindow() || gContact.toSoften <= 0) return;
  Soften(1);
  --gContact.toSoften;
  JInvalidateRect(ContactInfoWindow(), JRectMake(0, 0, 32767, 32767));
  JSchedule(Step, nullptr, 0, &gContact.softening);
}

void Clicked(JWindow*, int16_t, int16_t, uint8_t) {
  if (gContact.clicked) return;
  gContact.clicked = true;
  gContact.toSoften = kClickSoftens;
  JSchedule(Step, nullptr, 0, &gContact.softening);
}

void Paint(JWindow*) {
  const JRect r = JRectMake(0, 0, gContact.picture->width, gContact.picture->height);
  JCopyBits(gContact.picture, r, r, kJCopyPlain);
}

void Free() {
  JPixMapFree(gContact.picture);
  JPixelBufferFree(gContact.pixels);
  gContact = {};
}

void Closing(JWindow*) {
  JCancelSchedule(gContact.softening);
  Free();
}

}  // namespace

void OpenContactInfo() {
  if (JWindow* open = ContactInfoWindow()) {
    JShowAndActivateWindow(open);
    return;
  }
  Free();  // what an earlier run of the toolkit left
  int16_t logoWidth = 0, logoHeight = 0, cardWidth = 0, cardHeight = 0;
  ArtworkSize(kArtLogo, &logoWidth, &logoHeight);
  ArtworkSize(kArtContact, &cardWidth, &cardHeight);
  const int16_t width = static_cast<int16_t>(std::max(logoWidth, cardWidth) + 40);
  const int16_t height = static_cast<int16_t>(logoHeight + cardHeight + 60);
  gContact.picture = JPixMapNewDirect(width, height, 32);
  gContact.pixels = JPixelBufferNew(width, height);
  JWindow* window = gContact.picture && gContact.pixels ? JNewWindow(nullptr, JStr(kStrContactInfoTitle), 0) : nullptr;
  if (!window) {
    Free();
    return;
  }
  DrawBackground();
  DrawCentred(kArtLogo, 20);
  Soften(2);
  DrawCentred(kArtContact, static_cast<int16_t>(logoHeight + 40));
  Soften(3);
  JResetDrawArea(nullptr);
  gContact.window = window->platformWindow;
  JSetHandler(window, kJSlotDraw, Paint);
  JSetHandler(window, kJSlotMouseDown, Clicked);
  JSetHandler(window, kJSlotClosing, Closing);
  JSizeWindow(window, width, height);
  JCentreInDocumentArea(window);
  JShowAndActivateWindow(window);
}

void ContactInfoCommand(JMenuItem*, void*) { OpenContactInfo(); }

JWindow* ContactInfoWindow() { return OwnWindow(gContact.window, kJSlotClosing, Closing); }
