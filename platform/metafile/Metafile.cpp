#include "platform/metafile/Metafile.h"

#include <algorithm>

#include "platform/dib/LittleEndian.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::wmf {

namespace {

bool Fail(std::string* reason, const char* text) {
  if (reason) *reason = text;
  return false;
}

}  // namespace

std::unique_ptr<Metafile> Metafile::FromBits(const uint8_t* data, size_t size, std::string* reason) {
  if (size < kHeaderSize) {
    Fail(reason, "the metafile is too short to hold its header");
    return nullptr;
  }
  const uint16_t type = GetU16(data);
  const uint16_t headerWords = GetU16(data + 2);
  const uint64_t totalBytes = uint64_t{GetU32(data + 6)} * 2;
  if ((type != 1 && type != 2) || headerWords != 9) {
    Fail(reason, "the file is not a metafile (wrong header)");
    return nullptr;
  }
  if (totalBytes < kHeaderSize || totalBytes > size) {
    Fail(reason, "the metafile's stated size does not fit the file");
    return nullptr;
  }
  std::unique_ptr<Metafile> m(new Metafile());
  m->objectCount_ = GetU16(data + 10);
  m->bits_.assign(data, data + totalBytes);
  return m;
}

std::unique_ptr<Metafile> Metafile::FromFile(const uint8_t* data, size_t size, std::string* reason) {
  if (size >= kPlaceableHeaderSize && GetU32(data) == kPlaceableKey) {
    std::unique_ptr<Metafile> m = FromBits(data + kPlaceableHeaderSize, size - kPlaceableHeaderSize, reason);
    if (!m) return nullptr;
    m->placeable_ = true;
    for (int i = 0; i < 4; ++i) m->box_[i] = GetI16(data + 6 + 2 * i);
    m->unitsPerInch_ = GetU16(data + 14);
    return m;
  }
  return FromBits(data, size, reason);
}

bool Metafile::enumerate(RecordVisitor visit, void* data, std::string* reason) const {
  const uint8_t* base = bits_.data();
  const size_t size = bits_.size();
  size_t at = GetU16(base + 2) * size_t{2};  // header words, checked to be 9 at load
  while (at < size) {
    if (size - at < 6) return Fail(reason, "a metafile record is cut short");
    Record r;
    r.offset = at;
    r.sizeWords = GetU32(base + at);
    r.function = GetU16(base + at + 4);
    if (r.sizeWords < 3) return Fail(reason, "a metafile record is shorter than its own header");
    if (r.sizeWords > (size - at) / 2) return Fail(reason, "a metafile record runs past the end of the data");
    r.params = base + at + 6;
    r.paramWords = r.sizeWords - 3;
    if (!visit(r, data)) return true;
    if (r.function == fn::Eof) return true;
    at += size_t{r.sizeWords} * 2;
  }
  return true;
}

namespace {

void WidenPoint(Bounds* b, int x, int y) {
  b->left = std::min(b->left, x);
  b->right = std::max(b->right, x);
  b->top = std::min(b->top, y);
  b->bottom = std::max(b->bottom, y);
}

void WidenRect(Bounds* b, int left, int top, int right, int bottom) {
  b->left = std::min(b->left, left);
  b->top = std::min(b->top, top);
  b->right = std::max(b->right, right);
  b->bottom = std::max(b->bottom, bottom);
}

void WidenPoints(Bounds* b, const Record& r, size_t first, size_t count) {
  if (first + 2 * count > r.paramWords) count = (r.paramWords - std::min(first, r.paramWords)) / 2;
  for (size_t i = 0; i < count; ++i) WidenPoint(b, r.p(first + 2 * i), r.p(first + 2 * i + 1));
}

bool BoundRecord(const Record& r, void* data) {
  Bounds* b = static_cast<Bounds*>(data);
  switch (r.function) {
    case fn::LineTo:
    case fn::MoveTo:
      if (r.has(2)) WidenPoint(b, r.p(1), r.p(0));
      break;
    case fn::Ellipse:
    case fn::Rectangle:
      if (r.has(4)) WidenRect(b, r.p(3), r.p(2), r.p(1), r.p(0));
      break;
    case fn::SetPixel:
      if (r.has(4)) WidenPoint(b, r.p(3), r.p(2));
      break;
    case fn::RoundRect:
      if (r.has(6)) WidenRect(b, r.p(5), r.p(4), r.p(3), r.p(2));
      break;
    case fn::PatBlt:
      if (r.has(6)) WidenRect(b, r.p(5), r.p(4), r.p(5) + r.p(3), r.p(4) + r.p(2));
      break;
    case fn::Arc:
    case fn::Pie:
    case fn::Chord:
      if (r.has(8)) WidenRect(b, r.p(7), r.p(6), r.p(5), r.p(4));
      break;
    case fn::BitBlt:
    case fn::DibBitBlt:
      // With a bitmap the reserved word is absent and the destination sits one word earlier.
      if (!fn::BlitHasBitmap(r.function, r.sizeWords)) {
        if (r.has(9)) WidenRect(b, r.p(8), r.p(7), r.p(8) + r.p(6), r.p(7) + r.p(5));
      } else if (r.has(8)) {
        WidenRect(b, r.p(7), r.p(6), r.p(7) + r.p(5), r.p(6) + r.p(4));
      }
      break;
    case fn::StretchBlt:
    case fn::DibStretchBlt:
      if (!fn::BlitHasBitmap(r.function, r.sizeWords)) {
        if (r.has(11)) WidenRect(b, r.p(10), r.p(9), r.p(10) + r.p(8), r.p(9) + r.p(7));
      } else if (r.has(10)) {
        WidenRect(b, r.p(9), r.p(8), r.p(9) + r.p(7), r.p(8) + r.p(6));
      }
      break;
    case fn::StretchDib:
      if (r.has(11)) WidenRect(b, r.p(10), r.p(9), r.p(10) + r.p(8), r.p(9) + r.p(7));
      break;
    case fn::SetDibToDev:
      if (r.has(9)) WidenRect(b, r.p(8), r.p(7), r.p(8) + r.p(6), r.p(7) + r.p(5));
      break;
    case fn::Polygon:
    case fn::Polyline:
      if (r.has(1)) WidenPoints(b, r, 1, r.u(0));
      break;
    case fn::PolyPolygon: {
      if (!r.has(1)) break;
      const size_t polygons = r.u(0);
      if (!r.has(1 + polygons)) break;
      size_t points = 0;
      for (size_t i = 0; i < polygons; ++i) points += r.u(1 + i);
      WidenPoints(b, r, 1 + polygons, points);
      break;
    }
    default:
      break;
  }
  return true;
}

}  // namespace

bool BoundRecords(const Metafile& metafile, Bounds* bounds, std::string* reason) {
  return metafile.enumerate(BoundRecord, bounds, reason);
}

}  // namespace platform::wmf
