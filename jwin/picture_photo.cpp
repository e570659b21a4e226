#include "jwin/picture_photo.h"

#include <cstdio>
#include <memory>
#include <string>

#include "jindep/memory.h"
#include "jwin/J_file.h"
#include "jwin/picture.h"
#include "platform/jpeg/JpegReader.h"
#include "platform/png/PngReader.h"
#include "platform/raster/DeviceContext.h"

namespace {

// The files are held whole; a compressed picture within the pixel limit is far smaller.
constexpr uint64_t kMaxPhotoBytes = uint64_t{1} << 30;

bool Refuse(char* reason, size_t size, const std::string& text) {
  if (reason && size > 0) std::snprintf(reason, size, "Cannot read the picture: %s.", text.c_str());
  return false;
}

bool Decode(JPicture* p, platform::Bitmap* target, std::string* why) {
  if (p->type == kJFileTypeJpeg) return platform::jpeg::Decode(p->photo, p->photoSize, target, why);
  platform::png::Alpha alpha;
  alpha.background = p->alphaBackground;
  if (!platform::png::Decode(p->photo, p->photoSize, target, &alpha, why)) return false;
  p->hasTransparentColour = alpha.hasTransparent;
  p->transparentColour = alpha.transparentColour;
  return true;
}

}  // namespace

bool JPictureIsPhoto(int16_t type) { return type == kJFileTypePng || type == kJFileTypeJpeg; }

int16_t JPhotoTypeOf(const uint8_t* head, size_t size) {
  if (platform::png::IsPng(head, size)) return kJFileTypePng;
  if (platform::jpeg::IsJpeg(head, size)) return kJFileTypeJpeg;
  return -1;
}

bool JPhotoOpen(JPicture* p, int* width, int* height, char* reason, size_t size) {
  if (p->fileSize > kMaxPhotoBytes) return Refuse(reason, size, "the file is too large");
  p->photoSize = static_cast<size_t>(p->fileSize);
  p->photo = static_cast<uint8_t*>(JAlloc(p->photoSize ? p->photoSize : 1));
  uint64_t n = p->photoSize;
  if (!JFileSetPos(p->file, 0) || !JFileRead(p->file, &n, p->photo) || n != p->photoSize)
    return Refuse(reason, size, "the file cannot be read");
  p->alphaBackground = 0xFFFFFF;
  std::string why;
  const bool ok = p->type == kJFileTypeJpeg
                      ? platform::jpeg::ReadSize(p->photo, p->photoSize, width, height, &why)
                      : platform::png::ReadSize(p->photo, p->photoSize, width, height, &why);
  return ok || Refuse(reason, size, why);
}

bool JPhotoDraw(JPicture* p, platform::DeviceContext& dc, platform::Bitmap* direct, const platform::Rect& dest,
                char* reason, size_t size) {
  std::string why;
  if (direct && dest.left == 0 && dest.top == 0 && dest.width() == p->width && dest.height() == p->height &&
      direct->width() == p->width && direct->height() == p->height && direct->depth() == 32)
    return Decode(p, direct, &why) || Refuse(reason, size, why);
  std::unique_ptr<platform::Bitmap> decoded = platform::Bitmap::Create(p->width, p->height, 32);
  if (!decoded) return Refuse(reason, size, "there is not enough memory for the picture");
  if (!Decode(p, decoded.get(), &why)) return Refuse(reason, size, why);
  dc.stretchBitmap(dest.left, dest.top, dest.width(), dest.height(), *decoded, 0, 0, p->width, p->height,
                   platform::rop3::SrcCopy);
  return true;
}
