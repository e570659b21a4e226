#include "jwin/picture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_draw.h"
#include "jwin/J_file.h"
#include "jwin/draw_state.h"
#include "jwin/picture_photo.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"
#include "platform/DisplayColours.h"
#include "platform/dib/DibReader.h"
#include "platform/files/Files.h"
#include "platform/metafile/Mapping.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/Player.h"
#include "platform/raster/DeviceContext.h"

namespace {

// Metafiles are held in memory whole; larger files are refused.
constexpr uint64_t kMaxMetafileBytes = uint64_t{1} << 30;
// Enough for the largest information header, masks and a full colour table.
constexpr size_t kBitmapHeadBytes = 14 + 124 + 12 + 256 * 4;
// Bytes of pixel rows read at a time when a bitmap is drawn.
constexpr uint64_t kBandBytes = uint64_t{1} << 20;

bool Refuse(char* reason, size_t size, const char* text) {
  if (reason && size > 0) std::snprintf(reason, size, "%s", text);
  return false;
}

bool ReadAt(JFile* file, uint64_t offset, void* buffer, uint64_t count) {
  uint64_t n = count;
  return JFileSetPos(file, offset) && JFileRead(file, &n, buffer) && n == count;
}

// Why a file did not open: a folder, device or pipe is named as such.
const char* OpenProblem(const JFileSpec* fileSpec) {
  char* path = JFileSpecFullPathNew(fileSpec);
  const bool special = platform::files::Exists(path) && !platform::files::IsRegularFile(path);
  JFree(path);
  return special ? JStr(kStrNotARegularFile) : "The file cannot be opened.";
}

// Compressed bits are walked before the picture's maps are made: bits that end before
// the picture does would otherwise cost a map of the claimed size first.
bool CheckCompressedBits(JPicture* p, std::string* why) {
  const platform::dib::DibInfo& info = *p->dib;
  if (info.compression != platform::dib::kRle8 && info.compression != platform::dib::kRle4) return true;
  uint8_t* bits = static_cast<uint8_t*>(JAlloc(info.bitsSize));
  bool ok = ReadAt(p->file, info.bitsOffset, bits, info.bitsSize);
  ok = ok ? platform::dib::CheckRunLengths(info, bits, info.bitsSize, why) : (*why = "the file cannot be read", false);
  JFree(bits);
  return ok;
}

// The frame is the box in the picture's own units; `width` and `height` are its pixels.
bool SetFrame(JPicture* p, int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t width,
              int64_t height, char* reason, size_t size) {
  if (const char* problem = JPictureSizeProblem(width, height)) return Refuse(reason, size, problem);
  p->width = static_cast<int32_t>(width);
  p->height = static_cast<int32_t>(height);
  p->frame[0] = static_cast<int32_t>(top);
  p->frame[1] = static_cast<int32_t>(left);
  p->frame[2] = static_cast<int32_t>(bottom);
  p->frame[3] = static_cast<int32_t>(right);
  return true;
}

bool OpenBitmap(JPicture* p, char* reason, size_t size) {
  const size_t headSize = static_cast<size_t>(std::min<uint64_t>(p->fileSize, kBitmapHeadBytes));
  uint8_t* head = static_cast<uint8_t*>(JAlloc(headSize ? headSize : 1));
  bool ok = ReadAt(p->file, 0, head, headSize);
  std::string why = "the file cannot be read";
  auto* info = static_cast<platform::dib::DibInfo*>(JAlloc(sizeof(platform::dib::DibInfo)));
  new (info) platform::dib::DibInfo();
  if (ok) ok = platform::dib::ParseFileHeaders(head, headSize, p->fileSize, info, &why);
  if (ok) {
    memcpy(p->fileHeader, head, 14);
    p->colourCount = static_cast<uint16_t>(info->colourCount);
    // The header as read with its colour table, as the file holds them.
    const uint64_t infoBytes = info->headerSize + uint64_t{info->colourCount} * (info->headerSize == 12 ? 3 : 4);
    p->bitmapInfoSize = static_cast<uint32_t>(std::min<uint64_t>(infoBytes, headSize - 14));
    p->bitmapInfo = static_cast<uint8_t*>(JAlloc(p->bitmapInfoSize));
    memcpy(p->bitmapInfo, head + 14, p->bitmapInfoSize);
    p->dib = info;
    JFree(head);
    if (!SetFrame(p, 0, 0, info->width, info->height, info->width, info->height, reason, size)) return false;
    return CheckCompressedBits(p, &why) || Refuse(reason, size, ("Cannot read the bitmap: " + why + ".").c_str());
  }
  JFree(info);
  JFree(head);
  return Refuse(reason, size, ("Cannot read the bitmap: " + why + ".").c_str());
}

bool OpenMetafile(JPicture* p, char* reason, size_t size) {
  if (p->fileSize > kMaxMetafileBytes) return Refuse(reason, size, "The metafile is too large.");
  const size_t n = static_cast<size_t>(p->fileSize);
  uint8_t* data = static_cast<uint8_t*>(JAlloc(n ? n : 1));
  std::string why;
  std::unique_ptr<platform::wmf::Metafile> m;
  if (ReadAt(p->file, 0, data, n)) m = platform::wmf::Metafile::FromFile(data, n, &why);
  else why = "the file cannot be read";
  JFree(data);
  if (!m) return Refuse(reason, size, ("Cannot read the metafile: " + why + ".").c_str());
  // A damaged record chain makes the file unreadable, placeable or not.
  platform::wmf::Bounds bounds;
  if (!platform::wmf::BoundRecords(*m, &bounds, &why))
    return Refuse(reason, size, ("Cannot read the metafile: " + why + ".").c_str());
  bool ok;
  if (m->placeable()) {
    // The box is in the file's units per inch (writers use 1440, 2540 and others); taken as
    // pixels it would make an office suite's clip art thirty times too large.
    int64_t width = int64_t{m->boxRight()} - m->boxLeft(), height = int64_t{m->boxBottom()} - m->boxTop();
    if (const uint16_t upi = m->unitsPerInch(); upi != 0 && upi != platform::wmf::kDeviceDpi) {
      auto toPixels = [upi](int64_t units) {
        const int64_t pixels = (units * platform::wmf::kDeviceDpi + upi / 2) / upi;
        return units > 0 && pixels == 0 ? int64_t{1} : pixels;
      };
      width = toPixels(width);
      height = toPixels(height);
    }
    ok = SetFrame(p, m->boxLeft(), m->boxTop(), m->boxRight(), m->boxBottom(), width, height, reason, size);
  } else if (bounds.empty()) {
    ok = Refuse(reason, size, "The metafile draws nothing that gives it a size.");
  } else {
    ok = SetFrame(p, bounds.left, bounds.top, bounds.right, bounds.bottom, bounds.right - bounds.left,
                  bounds.bottom - bounds.top, reason, size);
  }
  if (ok) p->metafile = m.release();
  return ok;
}

JPicture* OpenAs(const JFileSpec* fileSpec, uint16_t mode, int16_t type, char* reason, size_t size) {
  if (type != kJFileTypeMetafile && type != kJFileTypeBitmap && !JPictureIsPhoto(type)) {
    Refuse(reason, size, "The file is not a bitmap, metafile, PNG or JPEG picture.");
    return nullptr;
  }
  JFile* file = JFileOpen(fileSpec, mode);
  if (!file) {
    Refuse(reason, size, OpenProblem(fileSpec));
    return nullptr;
  }
  JPicture* p = static_cast<JPicture*>(JAlloc(sizeof(JPicture)));
  memset(p, 0, sizeof *p);
  p->file = file;
  p->type = static_cast<uint16_t>(type);
  p->fileSize = JFileSize(file);
  int width = 0, height = 0;
  const bool ok = type == kJFileTypeBitmap ? OpenBitmap(p, reason, size)
                  : JPictureIsPhoto(type)
                      ? JPhotoOpen(p, &width, &height, reason, size) &&
                            SetFrame(p, 0, 0, width, height, width, height, reason, size)
                      : OpenMetafile(p, reason, size);
  if (!ok) {
    JPictureClose(p);
    return nullptr;
  }
  return p;
}

// Reads uncompressed rows a band at a time straight into the map: no copy of the whole
// file is ever held, which keeps large pictures fast and small in memory.
bool DecodeInBands(JPicture* p, platform::Bitmap* target, std::string* why) {
  const platform::dib::DibInfo& info = *p->dib;
  const int bandRows = static_cast<int>(std::max<uint64_t>(1, kBandBytes / info.stride));
  const uint64_t bandBytes = info.stride * static_cast<uint64_t>(std::min(bandRows, info.height));
  uint8_t* band = static_cast<uint8_t*>(JAlloc(bandBytes));
  bool ok = JFileSetPos(p->file, info.bitsOffset);
  for (int row = 0; ok && row < info.height; row += bandRows) {
    const int rows = std::min(bandRows, info.height - row);
    uint64_t n = info.stride * static_cast<uint64_t>(rows);
    const uint64_t wanted = n;
    ok = JFileRead(p->file, &n, band) && n == wanted &&
         platform::dib::DecodeRows(info, band, n, row, rows, target, why);
    if (ok && p->progress) p->progress(p->progressData, info.bitsOffset + info.stride * static_cast<uint64_t>(row + rows));
  }
  JFree(band);
  return ok;
}

// Draws onto `dest` of `dc`; `direct` is the context's bitmap when it is a plain pixel map
// (no origin), where a picture that fills it exactly is decoded straight in.
bool DrawBitmap(JPicture* p, platform::DeviceContext& dc, platform::Bitmap* direct, const platform::Rect& dest,
                char* reason, size_t size) {
  const platform::dib::DibInfo& info = *p->dib;
  std::string why = "the file cannot be read";
  const bool compressed = info.compression == platform::dib::kRle8 || info.compression == platform::dib::kRle4;
  if (direct && !compressed && dest.left == 0 && dest.top == 0 && dest.width() == info.width &&
      dest.height() == info.height && direct->width() == info.width && direct->height() == info.height &&
      direct->depth() == 32) {
    // The usual case: the picture fills its own map.
    return DecodeInBands(p, direct, &why) || Refuse(reason, size, ("Cannot read the bitmap: " + why + ".").c_str());
  }
  uint8_t* bits = static_cast<uint8_t*>(JAlloc(info.bitsSize ? info.bitsSize : 1));
  bool ok = ReadAt(p->file, info.bitsOffset, bits, info.bitsSize);
  if (ok) {
    std::unique_ptr<platform::Bitmap> decoded = platform::Bitmap::Create(info.width, info.height, 32);
    ok = decoded && platform::dib::DecodeBits(info, bits, info.bitsSize, decoded.get(), &why);
    if (!decoded) why = "there is not enough memory";
    if (ok)
      dc.stretchBitmap(dest.left, dest.top, dest.width(), dest.height(), *decoded, 0, 0, info.width, info.height,
                       platform::rop3::SrcCopy);
  }
  JFree(bits);
  return ok || Refuse(reason, size, ("Cannot read the bitmap: " + why + ".").c_str());
}

bool DrawKind(JPicture* p, platform::DeviceContext& dc, platform::Bitmap* direct, const platform::Rect& dest,
              char* reason, size_t size) {
  if (p->type == kJFileTypeBitmap) return DrawBitmap(p, dc, direct, dest, reason, size);
  if (JPictureIsPhoto(p->type)) return JPhotoDraw(p, dc, direct, dest, reason, size);
  platform::wmf::PlayOptions options;
  // On an 8-bit display the target keeps the display's palette.
  options.skipPaletteRecords = JDisplayDepth() == 8;
  const platform::Rect frame{p->frame[1], p->frame[0], p->frame[3], p->frame[2]};
  std::string why;
  if (platform::wmf::Play(*p->metafile, dc, frame, dest, &why, options)) return true;
  return Refuse(reason, size, ("The metafile is damaged: " + why + ".").c_str());
}

// A picture drawn whole has read its whole file.
bool DrawPicture(JPicture* p, platform::DeviceContext& dc, platform::Bitmap* direct, const platform::Rect& dest,
                 char* reason, size_t size) {
  const bool ok = DrawKind(p, dc, direct, dest, reason, size);
  if (ok) JDrawInDisplayColours(dc, dest);
  if (ok && p->progress) p->progress(p->progressData, p->fileSize);
  return ok;
}

}  // namespace

// A display with a colour table shows a picture in the table's colours, and so does every
// map made for it: the drawn rectangle is read back through the table and stretched onto
// itself again.
void JDrawInDisplayColours(platform::DeviceContext& dc, const platform::Rect& drawn) {
  const std::vector<platform::Colour>& table = platform::DisplayColourTable(JDisplayDepth());
  if (table.empty() || !dc.target()) return;
  // Only what lies on the target can have been drawn.
  const platform::Point o = dc.origin();
  const platform::Rect dest =
      drawn.intersected(platform::Rect{0, 0, dc.target()->width(), dc.target()->height()}.translated(-o.x, -o.y));
  if (dest.empty()) return;
  std::unique_ptr<platform::Bitmap> readBack = platform::Bitmap::Create(dest.width(), dest.height(), 8);
  if (!readBack) return;
  readBack->palette() = table;
  platform::DeviceContext reader(readBack.get());
  reader.bitBlt(0, 0, dest.width(), dest.height(), dc, dest.left, dest.top, platform::rop3::SrcCopy);
  dc.stretchBitmap(dest.left, dest.top, dest.width(), dest.height(), *readBack, 0, 0, dest.width(),
                   dest.height(), platform::rop3::SrcCopy);
}

JPicture* JPictureOpenWithReason(const JFileSpec* fileSpec, uint16_t mode, char* reason, size_t reasonSize) {
  return OpenAs(fileSpec, mode, fileSpec->type.row, reason, reasonSize);
}

JPicture* JPictureOpen(const JFileSpec* fileSpec, uint16_t mode) {
  return JPictureOpenWithReason(fileSpec, mode, nullptr, 0);
}

void JPictureClose(JPicture* picture) {
  if (!picture) return;
  delete picture->metafile;
  JFree(picture->bitmapInfo);
  JFree(picture->photo);
  JFree(picture->dib);
  JFileClose(picture->file);
  JFree(picture);
}

void JPictureFrame(const JPicture* p, JRect* frame) {
  frame->top = 0;
  frame->left = 0;
  frame->bottom = static_cast<int16_t>(p->height);
  frame->right = static_cast<int16_t>(p->width);
}

uint64_t JPictureSize(const JPicture* picture) { return picture->fileSize; }

void JPictureSetProgress(JPicture* picture, JPictureProgressProc proc, void* data) {
  picture->progress = proc;
  picture->progressData = data;
}

bool JPictureDrawInto(JPicture* p, JPixMap* map, int16_t top, int16_t left, int16_t bottom, int16_t right,
                      char* reason, size_t reasonSize) {
  if (!map || !map->bitmap) return Refuse(reason, reasonSize, "There is no pixel map to draw into.");
  JPixMapRelease(map);
  platform::DeviceContext dc(map->bitmap);
  return DrawPicture(p, dc, map->bitmap, platform::Rect{left, top, right, bottom}, reason, reasonSize);
}

bool JPictureDraw(JPicture* p, JPoint topLeft, JPoint bottomRight) {
  platform::DeviceContext* dc = JDrawContextQuiet();
  if (!dc) return false;
  JPixMap* map = JCurrentDrawKind() == kJAreaBitmap ? JCurrentDrawBitmap() : nullptr;
  platform::Bitmap* direct = map && dc->origin() == platform::Point{} ? map->bitmap : nullptr;
  const platform::Rect dest{topLeft.h, topLeft.v, bottomRight.h, bottomRight.v};
  return DrawPicture(p, *dc, direct, dest, nullptr, 0);
}

JPicture* JPictureOpenPath(const char* path, char* reason, size_t reasonSize) {
  if (!path || !*path) {
    Refuse(reason, reasonSize, "No file was named.");
    return nullptr;
  }
  JFileSpec* fileSpec = nullptr;
  if (strchr(path, '/')) {
    fileSpec = JFileSpecFromPath(path);
  } else {
    char* cwd = JFileCurrentDirectoryNew();
    fileSpec = JFileSpecNew(cwd ? cwd : "./", path);
    JFree(cwd);
  }
  // The content decides, whatever the name says.
  int16_t type = -1;
  if (JFile* f = JFileOpen(fileSpec, kJFileRead)) {
    uint8_t magic[8] = {};
    uint64_t n = 8;
    JFileRead(f, &n, magic);
    JFileClose(f);
    const uint32_t key = magic[0] | magic[1] << 8 | magic[2] << 16 | static_cast<uint32_t>(magic[3]) << 24;
    if (n >= 2 && magic[0] == 'B' && magic[1] == 'M') type = kJFileTypeBitmap;
    else if (JPhotoTypeOf(magic, static_cast<size_t>(n)) >= 0) type = JPhotoTypeOf(magic, static_cast<size_t>(n));
    else if (n >= 4 && (key == platform::wmf::kPlaceableKey || ((magic[0] == 1 || magic[0] == 2) && magic[1] == 0 && magic[2] == 9 && magic[3] == 0)))
      type = kJFileTypeMetafile;
  } else {
    Refuse(reason, reasonSize, OpenProblem(fileSpec));
    JFileSpecFree(fileSpec);
    return nullptr;
  }
  JPicture* picture = OpenAs(fileSpec, kJFileRead, type, reason, reasonSize);
  JFileSpecFree(fileSpec);
  return picture;
}

JPixMap* JPictureReadFile(const char* path, char* reason, size_t reasonSize) {
  JPicture* picture = JPictureOpenPath(path, reason, reasonSize);
  if (!picture) return nullptr;
  JRect frame;
  JPictureFrame(picture, &frame);
  JPixMap* map = JPixMapNewDirect(frame.right, frame.bottom, 32);
  if (!map) {
    JPictureClose(picture);
    Refuse(reason, reasonSize, "There is not enough memory for the picture.");
    return nullptr;
  }
  const bool drawn = JPictureDrawInto(picture, map, 0, 0, frame.bottom, frame.right, reason, reasonSize);
  JPictureClose(picture);
  if (!drawn) {
    JPixMapFree(map);
    return nullptr;
  }
  return map;
}
