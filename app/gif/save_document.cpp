#include "app/gif/save_document.h"

#include <cstring>

#include "app/gif/GifFile.h"
#include "app/shell/Document.h"
#include "app/shell/document_messages.h"
#include "app/shell/document_strings.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jwin/J_file.h"

namespace {
bool saving = false;
}

bool GifSaveRunning() { return saving; }

bool SaveDocumentAsGif(Document* document, const JFileSpec* fileSpec) {
  // The toolkit has no save dialog yet: without a file named there is nothing to write.
  if (!document || !fileSpec || saving) return false;
  char* path = JFileSpecFullPathNew(fileSpec);
  saving = true;
  GifSaveResult result;
  const bool written = WriteGifFile(document, path, &result);
  saving = false;
  JFree(path);
  if (!written) {
    char* fileName = JFileSpecFileNameNew(fileSpec);
    char* text = JFormatNew(kGifCannotBeSaved, fileName, strerror(result.error));
    DocumentAlert(text);
    JFree(text);
    JFree(fileName);
  }
  return written;
}
