#include "platform/clipboard/PictureFromMetafile.h"

#include <algorithm>
#include <memory>

#include "platform/clipboard/MetafileWriter.h"
#include "platform/metafile/Mapping.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/RecordTypes.h"

namespace platform::clipboard {

namespace {

constexpr int64_t kMaxSide = 32767;

std::optional<MetafilePicture> Refuse(std::string* reason, const char* text) {
  if (reason) *reason = text;
  return std::nullopt;
}

// Where the records end (the end record left out) and the largest of them.
struct Extent {
  size_t end = 0;
  uint32_t maxRecord = 3;
};

bool Measure(const wmf::Record& r, void* data) {
  Extent* e = static_cast<Extent*>(data);
  if (r.function == wmf::fn::Eof) return false;
  e->end = r.offset + size_t{r.sizeWords} * 2;
  e->maxRecord = std::max(e->maxRecord, r.sizeWords);
  return true;
}

uint16_t Word(int64_t v) { return static_cast<uint16_t>(static_cast<int16_t>(v)); }

// A placeable file's side in pixels: units per inch at the player's pixels per inch,
// rounded, at least one pixel. A file that states no units counts one unit a pixel.
int64_t Pixels(int64_t units, uint16_t unitsPerInch) {
  if (unitsPerInch == 0) return units;
  return std::max<int64_t>(1, (units * wmf::kDeviceDpi + unitsPerInch / 2) / unitsPerInch);
}

}  // namespace

std::optional<MetafilePicture> PictureFromMetafile(const uint8_t* data, size_t size, std::string* reason) {
  std::unique_ptr<wmf::Metafile> m = wmf::Metafile::FromFile(data, size, reason);
  if (!m) return std::nullopt;
  // A damaged record chain is refused here, as when such a file is opened.
  wmf::Bounds bounds;
  if (!wmf::BoundRecords(*m, &bounds, reason)) return std::nullopt;

  int64_t left, top, width, height, pixelsWide, pixelsHigh;
  if (m->placeable()) {
    left = m->boxLeft();
    top = m->boxTop();
    width = int64_t{m->boxRight()} - left;
    height = int64_t{m->boxBottom()} - top;
    if (width <= 0 || height <= 0) return Refuse(reason, "the metafile's box has no size");
    pixelsWide = Pixels(width, m->unitsPerInch());
    pixelsHigh = Pixels(height, m->unitsPerInch());
  } else {
    if (bounds.empty()) return Refuse(reason, "the metafile draws nothing that gives it a size");
    left = bounds.left;
    top = bounds.top;
    pixelsWide = width = int64_t{bounds.right} - bounds.left;
    pixelsHigh = height = int64_t{bounds.bottom} - bounds.top;
  }
  if (std::max({width, height, pixelsWide, pixelsHigh}) > kMaxSide)
    return Refuse(reason, "the metafile is larger than 32767 pixels across or down");

  // The box mapped onto the extents; the file's own mapping records refine this as they
  // do when the file is opened and drawn into its frame.
  MetafileWriter writer;
  writer.record(wmf::fn::SetMapMode, {wmf::kAnisotropic});
  writer.record(wmf::fn::SetWindowOrg, {Word(top), Word(left)});
  writer.record(wmf::fn::SetWindowExt, {Word(height), Word(width)});
  writer.record(wmf::fn::SetViewportOrg, {0, 0});
  writer.record(wmf::fn::SetViewportExt, {Word(pixelsHigh), Word(pixelsWide)});
  const std::vector<uint8_t>& bits = m->bits();
  Extent extent{wmf::kHeaderSize};
  m->enumerate(Measure, &extent);
  if (!writer.records(bits.data() + wmf::kHeaderSize, extent.end - wmf::kHeaderSize, extent.maxRecord))
    return Refuse(reason, "the metafile is too large");
  MetafilePicture picture;
  picture.mappingMode = kMappingText;
  picture.xExtent = static_cast<int32_t>(pixelsWide);
  picture.yExtent = static_cast<int32_t>(pixelsHigh);
  picture.bits = writer.finish(m->objectCount());
  return picture;
}

}  // namespace platform::clipboard
