#include "app/picture/DocumentReading.h"

#include <cstdio>

#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTable.h"
#include "app/colour/Passes.h"
#include "app/colour/Pipeline.h"
#include "app/colour/Transparency.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_clipbo.h"
#include "jwin/J_draw.h"
#include "jwin/J_file.h"
#include "jwin/J_gc.h"
#include "jwin/picture.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

bool Refuse(char* reason, size_t size, const char* text) {
  if (reason && size > 0) std::snprintf(reason, size, "%s", text);
  return false;
}

bool RunPipeline(Document* document, char* reason, size_t size, PipelinePixels pixels = kPipelineKeepsPixels) {
  const char* problem = nullptr;
  if (RunColourPipeline(document, &problem, pixels)) return true;
  return Refuse(reason, size, problem ? problem : JStr(kStrColoursNotCounted));
}

}  // namespace

bool MakePictureMaps(Document* d, int16_t width, int16_t height, const char** problem) {
  d->width = width;
  d->height = height;
  *problem = JPictureSizeProblem(width, height);
  if (*problem) return false;
  d->pictureMap = JPixMapNewDirect(width, height, 32);
  d->workingBuffer = JPixelBufferNew(width, height);
  if (d->pictureMap && d->workingBuffer) return true;
  JPixMapFree(d->pictureMap);
  JPixelBufferFree(d->workingBuffer);
  d->pictureMap = nullptr;
  d->workingBuffer = nullptr;
  *problem = JStr(kStrPictureNoMemory);
  return false;
}

// The bar of "Reading File" follows the bytes the picture has read.
static void ReadingProgress(void* stepped, uint64_t done) {
  uint64_t* already = static_cast<uint64_t*>(stepped);
  if (done <= *already) return;
  const uint64_t more = done - *already;
  ProgressStep(more > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(more));
  *already = done;
}

bool ReadPictureFileIntoDocument(Document* document, JPicture* picture, char* reason, size_t size,
                                 PipelinePixels pixels) {
  JRect frame;
  JPictureFrame(picture, &frame);
  const int16_t width = static_cast<int16_t>(frame.right - frame.left);
  const int16_t height = static_cast<int16_t>(frame.bottom - frame.top);
  const uint64_t fileSize = JPictureSize(picture);
  ProgressBegin(JStr(kStrReadingFile), fileSize > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(fileSize));
  const char* problem = nullptr;
  bool ok = MakePictureMaps(document, width, height, &problem);
  if (!ok) {
    Refuse(reason, size, problem);
  } else {
    uint64_t stepped = 0;
    JPictureSetProgress(picture, ReadingProgress, &stepped);
    ok = JPictureDrawInto(picture, document->pictureMap, 0, 0, height, width, reason, size);
    JPictureSetProgress(picture, nullptr, nullptr);
  }
  ProgressEnd();
  if (!ok) return false;
  if (pixels == kPipelineFreesPixels) {
    // Without a picture map the pipeline reads the working buffer as it stands.
    JPixelBufferGet(document->workingBuffer, 0, document->pictureMap, 0, height);
    JPixMapFree(document->pictureMap);
    document->pictureMap = nullptr;
  }
  return RunPipeline(document, reason, size, pixels);
}

bool ReadClipPictureIntoDocument(Document* document, JClipPicture* picture, char* reason, size_t size) {
  JRect frame;
  JClipPictureFrame(picture, &frame);
  const int16_t width = static_cast<int16_t>(frame.right - frame.left);
  const int16_t height = static_cast<int16_t>(frame.bottom - frame.top);
  if (width < 1 || height < 1) return Refuse(reason, size, JStr(kStrPictureNoSize));
  const char* problem = nullptr;
  if (!MakePictureMaps(document, width, height, &problem)) return Refuse(reason, size, problem);
  JSetDrawBitmap(document->pictureMap);
  JSetGC(JDefaultGC());
  // Damaged records refuse the picture, as the same damage in a file does.
  const bool whole = JClipPictureDraw(picture);
  JResetDrawArea(nullptr);
  if (!whole) return Refuse(reason, size, JStr(kStrClipboardPictureDamaged));
  return RunPipeline(document, reason, size);
}

void MarkPictureTransparentColour(Document* d, uint32_t colour) {
  ColourTable* table = d->colourTable;
  for (uint32_t i = 0; i < table->count; ++i) {
    if (table->records[i].colour != colour) continue;
    // Marking works on a mapping: every colour standing for itself.
    MapForCount(d, table->tally, table->count);
    MarkTransparent(d, i);
    ClampColourCount(d);
    return;
  }
}

void FreeDocumentContents(Document* d) {
  FreeColourResults(d);
  JFileSpecFree(d->fileSpec);
  JPixMapFree(d->pictureMap);
  JPixelBufferFree(d->workingBuffer);
  JFree(d->name);
  d->fileSpec = nullptr;
  d->pictureMap = nullptr;
  d->workingBuffer = nullptr;
  d->name = nullptr;
}
