// Bitmap records of a metafile: transfers with and without a bitmap, device-independent
// bitmaps and the opacity pairs of partly clear pictures.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/dib/LittleEndian.h"
#include "platform/metafile/Bitmap16.h"
#include "platform/metafile/Playback.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::wmf {

namespace {
// Pixels a decoded record bitmap may have; larger ones are skipped, not drawn.
constexpr uint64_t kMaxRecordBitmapPixels = uint64_t{1} << 26;
}  // namespace

bool Playback::bitmapRecord(const Record& r) {
  switch (r.function) {
    case fn::BitBlt:
      bitBlt(r, false);
      break;
    case fn::DibBitBlt:
      bitBlt(r, true);
      break;
    case fn::StretchBlt:
      stretchBlt(r, false);
      break;
    case fn::DibStretchBlt:
      stretchBlt(r, true);
      break;
    case fn::StretchDib:
      stretchDib(r);
      break;
    case fn::SetDibToDev:
      setDibToDev(r);
      break;
    default:
      return false;
  }
  return true;
}

// Decodes a packed bitmap carried by a record; null when it is damaged or too large.
std::unique_ptr<Bitmap> Playback::recordBitmap(const Record& r, size_t at, bool paletteIndices,
                                               dib::DibInfo* info) {
  if (!r.has(at + 2)) return nullptr;
  return packedBitmap(r.bytes(at), r.bytesFrom(at), paletteIndices, info);
}

std::unique_ptr<Bitmap> Playback::packedBitmap(const uint8_t* data, size_t size, bool paletteIndices,
                                               dib::DibInfo* info) {
  std::string reason;
  dib::DecodeLimits limits;
  limits.maxPixels = std::min(kMaxRecordBitmapPixels, options_.maxBitmapPixels);
  if (!dib::ParsePacked(data, size, info, &reason, limits, paletteIndices, st_.palette.data(), st_.palette.size()))
    return nullptr;
  std::unique_ptr<Bitmap> b = Bitmap::Create(info->width, info->height, 32);
  if (!b || !dib::DecodeBits(*info, data + info->bitsOffset, info->bitsSize, b.get(), &reason)) return nullptr;
  return b;
}

// The old device-dependent bitmap form, of any depth; monochrome bits take the context's
// colours, as any 1-bit source does.
std::unique_ptr<Bitmap> Playback::bitmap16(const Record& r, size_t at) {
  return DecodeBitmap16(r, at, at + 5, dc_.textColour(), dc_.backgroundColour(), st_.palette,
                        options_.maxBitmapPixels);
}

// A transfer to a logical destination box from a source rectangle of a bitmap.
void Playback::blit(int dx, int dy, int dw, int dh, const Bitmap* src, int sx, int sy, int sw, int sh,
                    uint32_t rop) {
  const int x0 = map().x(dx), y0 = map().y(dy);
  const int x1 = map().x(dx + dw), y1 = map().y(dy + dh);
  if (!src) {
    dc_.patBlt(Rect::Normalized(x0, y0, x1, y1), rop);
    return;
  }
  dc_.stretchBitmap(x0, y0, x1 - x0, y1 - y0, *src, sx, sy, sw, sh, rop, st_.smooth());
}

void Playback::bitBlt(const Record& r, bool dibForm) {
  const uint32_t rop = r.has(2) ? r.u32(0) : 0;
  if (!fn::BlitHasBitmap(r.function, r.sizeWords)) {
    if (r.has(9)) blit(r.p(8), r.p(7), r.p(6), r.p(5), nullptr, 0, 0, 0, 0, rop);
    return;
  }
  if (!r.has(8)) return;
  dib::DibInfo info;
  std::unique_ptr<Bitmap> b = dibForm ? recordBitmap(r, 8, false, &info) : bitmap16(r, 8);
  if (b) blit(r.p(7), r.p(6), r.p(5), r.p(4), b.get(), r.p(3), r.p(2), r.p(5), r.p(4), rop);
}

void Playback::stretchBlt(const Record& r, bool dibForm) {
  const uint32_t rop = r.has(2) ? r.u32(0) : 0;
  if (!fn::BlitHasBitmap(r.function, r.sizeWords)) {
    if (r.has(11)) blit(r.p(10), r.p(9), r.p(8), r.p(7), nullptr, 0, 0, 0, 0, rop);
    return;
  }
  if (!r.has(10)) return;
  dib::DibInfo info;
  std::unique_ptr<Bitmap> b = dibForm ? recordBitmap(r, 10, false, &info) : bitmap16(r, 10);
  if (b) blit(r.p(9), r.p(8), r.p(7), r.p(6), b.get(), r.p(5), r.p(4), r.p(3), r.p(2), rop);
}

// Source rows of a bottom-up bitmap are counted from its bottom line.
int Playback::SourceTop(const dib::DibInfo& info, int y, int h) {
  return info.topDown ? y : info.height - y - h;
}

void Playback::stretchDib(const Record& r) {
  if (!r.has(11)) return;
  dib::DibInfo info;
  std::unique_ptr<Bitmap> b = recordBitmap(r, 11, r.u(2) == 1, &info);
  if (!b) {
    drawHeldOpacity();
    return;
  }
  const int sh = r.p(3), sw = r.p(4), sy = r.p(5), sx = r.p(6);
  HeldBlit blit{r.p(10), r.p(9), r.p(8), r.p(7), sx, SourceTop(info, sy, sh), sw, sh, std::move(b)};
  const uint32_t rop = r.u32(0);
  if (rop == rop3::SrcAnd && heldOpacity_ && heldOpacity_->sameBox(blit)) {
    blendWithOpacity(*heldOpacity_, blit);
    heldOpacity_.reset();
    return;
  }
  drawHeldOpacity();
  if (rop == rop3::SrcPaint) {
    heldOpacity_ = std::move(blit);
    return;
  }
  this->blit(blit.dx, blit.dy, blit.dw, blit.dh, blit.bitmap.get(), blit.sx, blit.sy, blit.sw, blit.sh, rop);
}

void Playback::drawHeldOpacity() {
  if (!heldOpacity_) return;
  const HeldBlit& h = *heldOpacity_;
  blit(h.dx, h.dy, h.dw, h.dh, h.bitmap.get(), h.sx, h.sy, h.sw, h.sh, rop3::SrcPaint);
  heldOpacity_.reset();
}

void Playback::blendWithOpacity(const HeldBlit& opacity, const HeldBlit& colours) {
  const int x0 = map().x(colours.dx), y0 = map().y(colours.dy);
  const int w = map().x(colours.dx + colours.dw) - x0, h = map().y(colours.dy + colours.dh) - y0;
  std::unique_ptr<Bitmap> alpha, paint;
  if (w > 0 && h > 0 && static_cast<uint64_t>(w) * h <= options_.maxBitmapPixels) {
    alpha = Bitmap::Create(w, h, 32);
    paint = Bitmap::Create(w, h, 32);
  }
  if (!alpha || !paint) {  // mirrored or too large: as the records say
    blit(opacity.dx, opacity.dy, opacity.dw, opacity.dh, opacity.bitmap.get(), opacity.sx, opacity.sy,
         opacity.sw, opacity.sh, rop3::SrcPaint);
    blit(colours.dx, colours.dy, colours.dw, colours.dh, colours.bitmap.get(), colours.sx, colours.sy,
         colours.sw, colours.sh, rop3::SrcAnd);
    return;
  }
  // Both stretched the same way onto the box; pixels with no source stay clear.
  for (int y = 0; y < h; ++y) {
    std::fill_n(alpha->row32(y), w, Colour{0});
    std::fill_n(paint->row32(y), w, Colour{0xFFFFFF});
  }
  DeviceContext(alpha.get()).stretchBitmap(0, 0, w, h, *opacity.bitmap, opacity.sx, opacity.sy, opacity.sw,
                                           opacity.sh, rop3::SrcCopy, st_.smooth());
  DeviceContext(paint.get()).stretchBitmap(0, 0, w, h, *colours.bitmap, colours.sx, colours.sy, colours.sw,
                                           colours.sh, rop3::SrcCopy, st_.smooth());
  for (int y = 0; y < h; ++y) {
    const Colour* a = alpha->row32(y);
    Colour* out = paint->row32(y);
    for (int x = 0; x < w; ++x) {
      Colour under;
      if (!dc_.getPixel(x0 + x, y0 + y, &under)) continue;  // clipped: not drawn below either
      Colour blended = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t k = (a[x] >> shift) & 0xFF, c = (out[x] >> shift) & 0xFF, d = (under >> shift) & 0xFF;
        blended |= ((c * k + d * (255 - k) + 127) / 255) << shift;
      }
      out[x] = blended;
    }
  }
  dc_.stretchBitmap(x0, y0, w, h, *paint, 0, 0, w, h, rop3::SrcCopy);
}

// The record may carry only some rows of its bitmap: `scan count` rows from `start scan`
// (counted in the bitmap's own row order), while the header gives the whole height. The
// rows it has are decoded as a band and placed where they belong; the others are left
// as they are.
void Playback::setDibToDev(const Record& r) {
  if (!r.has(9 + 6)) return;
  const int startScan = r.u(2), scanCount = r.u(1);
  std::vector<uint8_t> packed(r.bytes(9), r.bytes(9) + r.bytesFrom(9));
  const uint32_t headerSize = GetU32(packed.data());
  const bool core = headerSize == 12;
  const int64_t height = core ? GetU16(&packed[6]) : packed.size() >= 12 ? GetI32(&packed[8]) : 0;
  const int64_t whole = height < 0 ? -height : height;
  int bandTop = 0;  // the band's first row in the whole bitmap, top-down
  if (scanCount > 0 && scanCount < whole && startScan + scanCount <= whole) {
    const int64_t band = height < 0 ? -scanCount : scanCount;
    if (core) PutU16(&packed[6], static_cast<uint16_t>(band));
    else PutU32(&packed[8], static_cast<uint32_t>(band));
    bandTop = static_cast<int>(height < 0 ? startScan : whole - startScan - scanCount);
  }
  dib::DibInfo info;
  std::unique_ptr<Bitmap> b = packedBitmap(packed.data(), packed.size(), r.u(0) == 1, &info);
  if (!b) return;
  const int h = r.p(5), w = r.p(6), ySrc = r.p(3), xSrc = r.p(4);
  // The source box in the whole bitmap (bottom-up bitmaps count it from their bottom row).
  const int sourceTop = info.topDown ? ySrc : static_cast<int>(std::max<int64_t>(whole, info.height)) - ySrc - h;
  // Device pixels one for one, whatever the mapping scales.
  const int x = map().x(r.p(8)), y = map().y(r.p(7));
  dc_.stretchBitmap(x, y, w, h, *b, xSrc, sourceTop - bandTop, w, h, rop3::SrcCopy);
}

}  // namespace platform::wmf
