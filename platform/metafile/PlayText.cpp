// Text records of a metafile: fonts from the object table, level and turned text.
#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "platform/metafile/AnsiText.h"
#include "platform/metafile/Playback.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::wmf {

namespace {
constexpr int kMaxFontPixels = 2048;
}  // namespace

bool Playback::textRecord(const Record& r) {
  switch (r.function) {
    case fn::SetTextJustification:
      if (r.has(2)) st_.breakCount = r.p(0), st_.breakExtra = r.p(1);
      break;
    case fn::TextOut:
      textOut(r);
      break;
    case fn::ExtTextOut:
      extTextOut(r);
      break;
    default:
      return false;
  }
  return true;
}

void Playback::applyFont() {
  FontSpec fontSpec = st_.font.fontSpec;
  if (!st_.hasFont) fontSpec = FontSpec();
  const double sy = std::fabs(map().scaleY()), sx = std::fabs(map().scaleX());
  fontSpec.height = static_cast<int>(std::lround(std::clamp(fontSpec.height * sy, -1.0 * kMaxFontPixels,
                                                        1.0 * kMaxFontPixels)));
  fontSpec.width = static_cast<int>(std::lround(std::clamp(std::fabs(fontSpec.width * sx), 0.0, 1.0 * kMaxFontPixels)));
  if (st_.font.fontSpec.height != 0 && fontSpec.height == 0) fontSpec.height = st_.font.fontSpec.height < 0 ? -1 : 1;
  const FontSpec& cached = fontSpec_;
  if (!font_ || cached.face != fontSpec.face || cached.height != fontSpec.height || cached.width != fontSpec.width ||
      cached.weight != fontSpec.weight || cached.italic != fontSpec.italic ||
      cached.underline != fontSpec.underline || cached.strikeOut != fontSpec.strikeOut) {
    font_ = Font::Create(fontSpec);
    fontSpec_ = fontSpec;
  }
  dc_.setFont(font_);
  const int h = st_.textAlign & 6;
  const int v = st_.textAlign & 24;
  dc_.setTextAlign(h == 2 ? TextHAlign::Right : h == 6 ? TextHAlign::Centre : TextHAlign::Left,
                   v == 8 ? TextVAlign::Bottom : v == 24 ? TextVAlign::Baseline : TextVAlign::Top);
}

// Where each character starts from the text's left, in device pixels, with the whole
// width last; empty where the font's own advances place the characters. A spacing array
// places every character where the writer measured it: its sums are mapped, not each
// step, so that rounding never gathers along a line. Justification adds its extra space
// to the breaks (spaces), spread as evenly as whole pixels allow.
std::vector<int> Playback::characterLefts(const uint8_t* bytes, size_t length, const Record* dx, size_t dxAt) {
  std::vector<int> lefts;
  const double scale = std::fabs(map().scaleX());
  auto device = [scale](int64_t logical) {
    return static_cast<int>(std::lround(std::clamp(logical * scale, -1e6, 1e6)));
  };
  if (dx) {
    int64_t sum = 0;
    lefts.push_back(0);
    for (size_t i = 0; i < length; ++i) lefts.push_back(device(sum += dx->p(dxAt + i)));
    return lefts;
  }
  if (st_.breakCount <= 0 || st_.breakExtra == 0) return lefts;
  const int extra = device(st_.breakExtra);
  int breaks = 0;
  lefts.push_back(0);
  for (size_t i = 0; i < length; ++i) {
    const std::string prefix = AnsiToUtf8(bytes, i + 1);
    if (bytes[i] == ' ' && breaks < st_.breakCount) ++breaks;
    lefts.push_back(dc_.textExtent(prefix.data(), static_cast<int>(prefix.size())).width +
                    extra * breaks / st_.breakCount);
  }
  return lefts;
}

// Draws text at a logical point, or at the current position when the alignment asks.
void Playback::text(int lx, int ly, const uint8_t* bytes, size_t length, const Record* r, size_t dxAt) {
  applyFont();
  const bool updateCp = st_.textAlign & 1;
  Point at = updateCp ? dc_.currentPosition() : map().point(lx, ly);
  const std::vector<int> lefts = characterLefts(bytes, length, r && r->has(dxAt + length) ? r : nullptr, dxAt);
  int width = 0;
  if (st_.hasFont && st_.font.escapement % 3600 != 0) {
    width = angledText(at, bytes, length, lefts);
  } else if (lefts.empty()) {
    const std::string utf8 = AnsiToUtf8(bytes, length);
    dc_.textOut(at.x, at.y, utf8.data(), static_cast<int>(utf8.size()));
    width = dc_.textExtent(utf8.data(), static_cast<int>(utf8.size())).width;
    if (dc_.textHAlign() == TextHAlign::Right) width = -width;
  } else {
    // Each character at its own place, laid out from the left.
    width = lefts.back();
    int x = at.x;
    if (dc_.textHAlign() == TextHAlign::Right) x -= width;
    if (dc_.textHAlign() == TextHAlign::Centre) x -= width / 2;
    const TextVAlign v = dc_.textVAlign();
    dc_.setTextAlign(TextHAlign::Left, v);
    for (size_t i = 0; i < length; ++i) {
      const std::string ch = AnsiToUtf8(bytes + i, 1);
      dc_.textOut(x + lefts[i], at.y, ch.data(), static_cast<int>(ch.size()));
    }
    if (st_.textAlign & 2) width = -width;
  }
  if (updateCp) dc_.moveTo(at.x + width, at.y);
}

// Text at the font's escapement (tenths of a degree, counter-clockwise on the device):
// laid out level in a bitmap of its own, then turned about its reference point, which
// the alignment places as for level text. Answers the level width.
int Playback::angledText(Point at, const uint8_t* bytes, size_t length, const std::vector<int>& lefts) {
  const std::string utf8 = AnsiToUtf8(bytes, length);
  const TextExtent extent = dc_.textExtent(utf8.data(), static_cast<int>(utf8.size()));
  const int width = lefts.empty() ? extent.width : lefts.back();
  const int height = extent.ascent + extent.descent;
  constexpr int kMaxSide = 8192;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return width;
  std::unique_ptr<Bitmap> level = Bitmap::Create(width, height, 32);
  if (!level) return width;
  for (int y = 0; y < height; ++y) std::fill_n(level->row32(y), width, Colour{0xFFFFFF});
  DeviceContext ldc(level.get());
  ldc.setFont(dc_.font());
  ldc.setTextColour(0);
  ldc.setBackgroundMode(BackgroundMode::Transparent);
  ldc.setTextAlign(TextHAlign::Left, TextVAlign::Top);
  ldc.setCharacterExtra(dc_.characterExtra());
  if (!lefts.empty()) {
    for (size_t i = 0; i < length; ++i) {
      const std::string ch = AnsiToUtf8(bytes + i, 1);
      ldc.textOut(lefts[i], 0, ch.data(), static_cast<int>(ch.size()));
    }
  } else {
    ldc.textOut(0, 0, utf8.data(), static_cast<int>(utf8.size()));
  }
  // The reference point in the level bitmap.
  const TextHAlign h = dc_.textHAlign();
  const TextVAlign v = dc_.textVAlign();
  const double ax = h == TextHAlign::Right ? width : h == TextHAlign::Centre ? width / 2 : 0;
  const double ay = v == TextVAlign::Baseline ? extent.ascent : v == TextVAlign::Bottom ? height : 0;
  const double angle = st_.font.escapement * 3.14159265358979323846 / 1800.0;
  const double c = std::cos(angle), s = std::sin(angle);
  // Level (u, v) from the reference point lands at (u c + v s, v c - u s) on the device.
  int x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
  for (const auto& [u, w] : {std::pair{-ax, -ay}, std::pair{width - ax, -ay}, std::pair{-ax, height - ay},
                             std::pair{width - ax, height - ay}}) {
    const double x = at.x + u * c + w * s, y = at.y + w * c - u * s;
    x0 = std::min(x0, static_cast<int>(std::floor(x)));
    y0 = std::min(y0, static_cast<int>(std::floor(y)));
    x1 = std::max(x1, static_cast<int>(std::ceil(x)));
    y1 = std::max(y1, static_cast<int>(std::ceil(y)));
  }
  // Only the part on the target is visited.
  const Bitmap* target = dc_.target();
  if (!target) return width;
  const Point o = dc_.origin();
  x0 = std::max(x0, -o.x), y0 = std::max(y0, -o.y);
  x1 = std::min(x1, target->width() - o.x), y1 = std::min(y1, target->height() - o.y);
  const bool opaque = dc_.backgroundMode() == BackgroundMode::Opaque;
  const Colour ink = dc_.textColour(), paper = dc_.backgroundColour();
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double px = x + 0.5 - at.x, py = y + 0.5 - at.y;
      const int lu = static_cast<int>(std::floor(px * c - py * s + ax));
      const int lv = static_cast<int>(std::floor(px * s + py * c + ay));
      if (lu < 0 || lv < 0 || lu >= width || lv >= height) continue;
      const uint32_t k = 255 - (level->row32(lv)[lu] & 0xFF);  // ink coverage
      if (k == 0 && !opaque) continue;
      Colour under;
      if (!dc_.getPixel(x, y, &under)) continue;
      if (opaque) under = paper;
      Colour out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t i = (ink >> shift) & 0xFF, d = (under >> shift) & 0xFF;
        out |= ((i * k + d * (255 - k) + 127) / 255) << shift;
      }
      dc_.setPixel(x, y, out);
    }
  }
  return width;
}

void Playback::textOut(const Record& r) {
  if (!r.has(1)) return;
  const size_t count = std::max<int>(r.p(0), 0);
  const size_t words = (count + 1) / 2;
  if (!r.has(1 + words + 2)) return;
  text(r.p(2 + words), r.p(1 + words), r.bytes(1), count, nullptr, 0);
}

void Playback::extTextOut(const Record& r) {
  if (!r.has(4)) return;
  const int ly = r.p(0), lx = r.p(1);
  const size_t count = std::max<int>(r.p(2), 0);
  const uint16_t options = r.u(3);
  size_t at = 4;
  Rect clip;
  const bool hasRect = (options & 0x0006) != 0;
  if (hasRect) {
    if (!r.has(8)) return;
    clip = map().rect(r.p(4), r.p(5), r.p(6), r.p(7));
    at = 8;
  }
  const size_t words = (count + 1) / 2;
  if (!r.has(at + words)) return;
  if (options & 0x0002) dc_.fillRect(clip, Brush::Solid(dc_.backgroundColour()));
  if (options & 0x0004) {
    dc_.save();
    dc_.intersectClipRect(clip);
  }
  text(lx, ly, r.bytes(at), count, &r, at + words);
  if (options & 0x0004) dc_.restore();
}

}  // namespace platform::wmf
