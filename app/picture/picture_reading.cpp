#include "app/picture/picture_reading.h"

#include "app/shell/progress.h"
#include "jwin/J_draw.h"
#include "jwin/J_file.h"
#include "jwin/J_gc.h"
#include "jwin/picture.h"
#include "jwin/pixel_map.h"

JPicture* OpenPictureFile(const JFileSpec* fileSpec) {
  if (!fileSpec || (fileSpec->type.row != kJFileTypeMetafile && fileSpec->type.row != kJFileTypeBitmap)) return nullptr;
  return JPictureOpen(fileSpec, kJFileRead);
}

void PictureFileSize(const JPicture* picture, int16_t* width, int16_t* height) {
  JRect frame;
  JPictureFrame(picture, &frame);
  *width = static_cast<int16_t>(frame.right - frame.left);
  *height = static_cast<int16_t>(frame.bottom - frame.top);
}

bool DrawPictureFile(JPicture* picture, JPixMap* map, const char* label) {
  const uint64_t size = JPictureSize(picture);
  ProgressBegin(label, size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size));
  int16_t width, height;
  PictureFileSize(picture, &width, &height);
  JSetDrawBitmap(map);
  JSetGC(JDefaultGC());
  const bool whole = JPictureDraw(picture, JPoint{0, 0}, JPoint{height, width});
  JResetDrawArea(nullptr);
  ProgressEnd();
  return whole;
}
