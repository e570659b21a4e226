#include "app/shell/Artwork.h"

#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/J_font.h"
#include "jwin/J_gc.h"
#include "jwin/J_text.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

struct Size {
  uint16_t id;
  int16_t width, height;
};
constexpr Size kSizes[] = {{kArtLogo, 240, 60},    {kArtBand, 240, 40},    {kArtBackPattern, 16, 16},
                           {kArtFrontPattern, 8, 8}, {kArtContact, 300, 72}, {kArtEmblem, 220, 120},
                           {kArtRule, 200, 4}};

// The six tints of the wells: the colours a picture is reduced to, warm to cool.
constexpr uint32_t kTints[] = {0xD03030, 0xE08020, 0xE0C020, 0x40A040, 0x3070C0, 0x7040A0};
constexpr uint32_t kInk = 0x283C78;

void SetColour(uint32_t rgb) {
  const JColour c = ArtworkColour(rgb);
  JSetForeColour(&c);
  JSetBackColour(&c);
}

void Fill(uint32_t rgb, int left, int top, int right, int bottom) {
  SetColour(rgb);
  JFillRect(static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
            static_cast<int16_t>(bottom));
}

void Disc(uint32_t rgb, int centreX, int centreY, int radius) {
  SetColour(rgb);
  JDrawOval(static_cast<int16_t>(centreX - radius), static_cast<int16_t>(centreY - radius),
            static_cast<int16_t>(centreX + radius), static_cast<int16_t>(centreY + radius));
}

uint32_t Mix(uint32_t a, uint32_t b, int part, int whole) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int ca = static_cast<int>(a >> shift & 0xFF), cb = static_cast<int>(b >> shift & 0xFF);
    out |= static_cast<uint32_t>(ca + (cb - ca) * part / whole) << shift;
  }
  return out;
}

// Each well: a dark rim, its tint, and a light spot up and to the left.
void DrawLogo() {
  for (int i = 0; i < 6; ++i) {
    const int x = 20 + i * 40, y = 30;
    Disc(Mix(kTints[i], 0, 1, 2), x, y, 18);
    Disc(kTints[i], x, y, 16);
    Disc(Mix(kTints[i], 0xFFFFFF, 1, 2), x - 5, y - 5, 5);
  }
}

// Sixteen cells with a pixel between them: many shades above, four steps below.
void DrawBand() {
  for (int i = 0; i < 16; ++i) {
    const uint32_t many = static_cast<uint32_t>(40 + i * 13), few = static_cast<uint32_t>(40 + (i / 4) * 52);
    Fill(many << 8 | 0xE0, i * 15, 0, i * 15 + 14, 19);
    Fill(few << 8 | 0xE0, i * 15, 20, i * 15 + 14, 40);
  }
}

// Stripes along one diagonal, `period` pixels apart, shading from `a` to `b` and back.
void DrawStripes(int side, bool rising, uint32_t a, uint32_t b) {
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const int phase = (rising ? x + y : x - y + side) % side;
      SetColour(Mix(a, b, phase < side / 2 ? phase : side - phase, side / 2));
      JSetPixel(static_cast<int16_t>(x), static_cast<int16_t>(y));
    }
}

// A pale halo of the six tints, widest and warmest outside: it lies behind the logo and band.
void DrawEmblem() {
  for (int i = 0; i < 6; ++i) {
    SetColour(Mix(kTints[i], 0xFFFFFF, 3, 4));
    JDrawOval(static_cast<int16_t>(i * 16), static_cast<int16_t>(i * 9), static_cast<int16_t>(220 - i * 16),
              static_cast<int16_t>(120 - i * 9));
  }
}

void DrawRule() {
  for (int x = 0; x < 200; ++x) Fill(Mix(kTints[x * 5 / 200], kTints[(x * 5 / 200) + 1], x % 40, 40), x, 0, x + 1, 4);
}

void CentredText(JStringId text, int width, int baseline) {
  JTextSizeRecord size;
  JTextSize(JStr(text), &size);
  JDrawText(static_cast<int16_t>((width - size.width) / 2), static_cast<int16_t>(baseline), JStr(text));
}

// A light card with rounded corners: the program's name, then where to write.
void DrawContact() {
  SetColour(kInk);
  JDrawRoundRect(0, 0, 300, 72, 16, 16);
  SetColour(0xF8F6F0);
  JDrawRoundRect(2, 2, 298, 70, 12, 12);
  SetColour(kInk);
  JSetStyle(kJStyleBold);
  CentredText(kStrMainTitle, 300, 24);
  JSetStyle(0);
  JSetSize(12);
  CentredText(kStrContactLine1, 300, 44);
  CentredText(kStrContactLine2, 300, 60);
}

void Draw(uint16_t id) {
  switch (id) {
    case kArtLogo: DrawLogo(); break;
    case kArtBand: DrawBand(); break;
    case kArtBackPattern: DrawStripes(16, true, 0xECE6DA, 0xD2DCEC); break;
    case kArtFrontPattern: DrawStripes(8, false, 0x2850A0, 0x48A0D0); break;
    case kArtContact: DrawContact(); break;
    case kArtEmblem: DrawEmblem(); break;
    case kArtRule: DrawRule(); break;
    default: break;
  }
}

}  // namespace

JColour ArtworkColour(uint32_t rgb) {
  return {static_cast<uint16_t>((rgb >> 16 & 0xFF) * 257), static_cast<uint16_t>((rgb >> 8 & 0xFF) * 257),
          static_cast<uint16_t>((rgb & 0xFF) * 257)};
}

bool ArtworkSize(uint16_t id, int16_t* width, int16_t* height) {
  for (const Size& s : kSizes)
    if (s.id == id) {
      *width = s.width;
      *height = s.height;
      return true;
    }
  return false;
}

JPixMap* LoadArtwork(uint16_t id) {
  int16_t width, height;
  if (!ArtworkSize(id, &width, &height)) return nullptr;
  JPixMap* map = JPixMapNewDirect(width, height, 32);
  if (!map) return nullptr;
  // Its own context: the artwork's fonts and colours stay out of everybody else's.
  JGC* gc = JNewGC();
  JSetDrawBitmap(map);
  JSetGC(gc);
  Fill(0, 0, 0, width, height);
  Draw(id);
  JSetGC(JDefaultGC());
  JDisposeGC(gc);
  JResetDrawArea(nullptr);
  return map;
}

JPixelBuffer* ArtworkPixelsNew(JPixMap* art) {
  if (!art) return nullptr;
  JPixelBuffer* pixels = JPixelBufferNew(art->width, art->height);
  if (pixels) JPixelBufferGet(pixels, 0, art, 0, art->height);
  return pixels;
}

bool ArtworkInk(const JPixelBuffer* pixels, int x, int y) {
  const uint8_t* p = JPixelBufferRow(pixels, static_cast<uint32_t>(pixels->height - 1 - y)) + 3 * x;
  return (p[0] | p[1] | p[2]) != 0;
}

namespace {

// A map of the bitmap's size, black where it has ink and white elsewhere.
JPixMap* ArtworkMaskNew(JPixMap* art) {
  JPixelBuffer* pixels = ArtworkPixelsNew(art);
  JPixMap* mask = pixels ? JPixMapNewDirect(art->width, art->height, 32) : nullptr;
  if (mask) {
    for (int y = 0; y < pixels->height; ++y) {
      uint8_t* row = JPixelBufferRow(pixels, static_cast<uint32_t>(pixels->height - 1 - y));
      for (int x = 0; x < pixels->width; ++x) {
        const uint8_t value = ArtworkInk(pixels, x, y) ? 0 : 0xFF;
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = value;
      }
    }
    JPixelBufferPut(pixels, 0, pixels->height, mask, 0);
  }
  JPixelBufferFree(pixels);
  return mask;
}

// The area keeps its pixels where the bitmap has none.
void DrawThroughMask(JPixMap* art, JPixMap* mask, int16_t left, int16_t top) {
  if (!art || !mask) return;
  // The mask clears the bitmap's ink area; the bitmap, black elsewhere, is then added.
  const JRect from = JRectMake(0, 0, art->width, art->height);
  const JRect to = JRectMake(left, top, static_cast<int16_t>(left + art->width), static_cast<int16_t>(top + art->height));
  JCopyBits(mask, from, to, kJCopyAnd);
  JCopyBits(art, from, to, kJCopyOr);
}

}  // namespace

void DrawArtworkInto(JPixMap* target, uint16_t id, int16_t left, int16_t top) {
  JPixMap* art = LoadArtwork(id);
  JPixMap* mask = ArtworkMaskNew(art);
  JSetDrawBitmap(target);
  JSetGC(JDefaultGC());
  DrawThroughMask(art, mask, left, top);
  JPixMapFree(art);
  JPixMapFree(mask);
}

void FillArtworkArea(JPixMap* target, uint32_t rgb) {
  const JColour c = ArtworkColour(rgb);
  JSetDrawBitmap(target);
  JSetGC(JDefaultGC());
  JSetForeColour(&c);
  JFillRect(0, 0, target->width, target->height);
}
