#include "app/gif/GifFile.h"

#include <cerrno>

#include "app/colour/ColourTable.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "app/gif/GifSink.h"
#include "app/gif/GifStream.h"
#include "app/gif/GifTempFile.h"
#include "app/gif/GifWriter.h"
#include "jindep/string_lists.h"

namespace {

bool writing = false;

bool WriteWholeFile(Document* document, const char* path, GifSaveResult* result) {
  result->bytes = 0;
  result->error = 0;
  GifTempFile file;
  if (!GifTempFileOpen(&file, path)) {
    result->error = file.error;
    return false;
  }
  const uint32_t n = document->colourCount;
  const uint32_t* tally = document->colourTable->tally;
  GifSinkBegin(GifTempFileWrite, &file);
  ProgressBegin(JStr(kStrProgressSaving), GifStreamPasses(document, n));
  GifWriteStream(document, tally, n, true);
  ProgressEnd();
  result->bytes = GifSinkCount();
  const bool written = !GifSinkFailed();
  // Later streams (the size estimate) must not reach this file.
  GifSinkBegin(nullptr, nullptr);
  if (!written) {
    result->error = file.error ? file.error : EIO;
    GifTempFileDiscard(&file);
    return false;
  }
  if (!GifTempFileCommit(&file)) {
    result->error = file.error ? file.error : EIO;
    return false;
  }
  return true;
}

}  // namespace

bool GifWriteRunning() { return writing; }

bool WriteGifFile(Document* document, const char* path, GifSaveResult* result) {
  writing = true;
  const bool written = WriteWholeFile(document, path, result);
  writing = false;
  return written;
}
