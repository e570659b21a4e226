#include "app/picture/document_reading.h"

#include <cstdio>

#include "app/colour/Pipeline.h"
#include "app/picture/picture_reading.h"
#include "app/shell/Document.h"
#include "app/shell/document_strings.h"
#include "app/shell/documents.h"
#include "app/shell/progress.h"
#include "jwin/J_clipbo.h"
#include "jwin/J_draw.h"
#include "jwin/J_gc.h"
#include "jwin/picture.h"

namespace {

bool Refuse(char* reason, size_t size, const char* text) {
  if (reason && size > 0) std::snprintf(reason, size, "%s", text);
  return false;
}

bool RunPipeline(Document* document, char* reason, size_t size) {
  const char* problem = nullptr;
  if (RunColourPipeline(document, &problem)) return true;
  return Refuse(reason, size, problem ? problem : "The picture's colours cannot be counted.");
}

}  // namespace

bool ReadPictureFileIntoDocument(Document* document, JPicture* picture, char* reason, size_t size) {
  int16_t width = 0, height = 0;
  PictureFileSize(picture, &width, &height);
  const uint64_t fileSize = JPictureSize(picture);
  ProgressBegin(kReadingFileLabel, fileSize > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(fileSize));
  const char* problem = nullptr;
  bool ok = MakePictureMaps(document, width, height, &problem);
  if (!ok) {
    Refuse(reason, size, problem);
  } else {
    ok = JPictureDrawInto(picture, document->pictureMap, 0, 0, height, width, reason, size);
  }
  ProgressEnd();
  return ok && RunPipeline(document, reason, size);
}

bool ReadClipPictureIntoDocument(Document* document, JClipPicture* picture, char* reason, size_t size) {
  JRect frame;
  JClipPictureFrame(picture, &frame);
  const int16_t width = static_cast<int16_t>(frame.right - frame.left);
  const int16_t height = static_cast<int16_t>(frame.bottom - frame.top);
  if (width < 1 || height < 1) return Refuse(reason, size, "The picture has no size.");
  const char* problem = nullptr;
  if (!MakePictureMaps(document, width, height, &problem)) return Refuse(reason, size, problem);
  JSetDrawBitmap(document->pictureMap);
  JSetGC(JDefaultGC());
  // Damaged records refuse the picture, as the same damage in a file does.
  const bool whole = JClipPictureDraw(picture);
  JResetDrawArea(nullptr);
  if (!whole) return Refuse(reason, size, "The picture on the clipboard is damaged.");
  return RunPipeline(document, reason, size);
}
