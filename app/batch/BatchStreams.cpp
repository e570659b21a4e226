#include "app/batch/BatchStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/gif/GifSink.h"
#include "app/gif/GifStream.h"
#include "app/gif/GifWriter.h"
#include "app/colour/ColourTable.h"
#include "app/document/Document.h"
#include "app/document/Progress.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"

namespace {

struct StreamSink {
  FILE* out;
  int error;
};

bool WriteToStream(void* data, const uint8_t* bytes, size_t count) {
  StreamSink* sink = static_cast<StreamSink*>(data);
  if (fwrite(bytes, 1, count, sink->out) == count) return true;
  sink->error = errno ? errno : EIO;
  return false;
}

}  // namespace

bool IsStreamName(const char* name) { return name && strcmp(name, "-") == 0; }

bool SpoolInput(FILE* in, char** path, char** problem) {
  const char* folder = getenv("TMPDIR");
  *path = JFormatNew("%s%/tintwell-batch-XXXXXX", folder && *folder ? folder : "/tmp");
  const int fd = mkstemp(*path);
  FILE* spool = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  bool ok = spool != nullptr;
  char buffer[1 << 16];
  while (ok) {
    const size_t n = fread(buffer, 1, sizeof buffer, in);
    if (n > 0 && fwrite(buffer, 1, n, spool) != n) ok = false;
    if (n < sizeof buffer) break;
  }
  const int error = !ok ? errno : ferror(in) ? EIO : 0;
  if (spool && fclose(spool) != 0 && ok) ok = false;
  if (ok && error == 0) return true;
  *problem = JFormatNew(JStr(kStrBatchCannotSpool), strerror(error ? error : EIO));
  if (fd >= 0) unlink(*path);
  JFree(*path);
  *path = nullptr;
  return false;
}

void RemoveSpool(char* path) {
  if (!path) return;
  unlink(path);
  JFree(path);
}

bool WriteGifStream(Document* document, FILE* out, uint64_t* bytes, int* error) {
  StreamSink sink{out, 0};
  const uint32_t n = document->colourCount;
  GifSinkBegin(WriteToStream, &sink);
  ProgressBegin(JStr(kStrProgressSaving), GifStreamPasses(document, n));
  GifWriteStream(document, document->colourTable->tally, n, true);
  ProgressEnd();
  *bytes = GifSinkCount();
  bool ok = !GifSinkFailed();
  GifSinkBegin(nullptr, nullptr);
  if (ok && fflush(out) != 0) {
    sink.error = errno ? errno : EIO;
    ok = false;
  }
  *error = ok ? 0 : sink.error ? sink.error : EIO;
  return ok;
}
