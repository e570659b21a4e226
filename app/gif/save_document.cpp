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

bool SaveDocumentAsGif(Document* document, const JFileSpec* spec) {
  // The toolkit has no save dialog yet: without a file named there is nothing to write.
  if (!document || !spec || saving) return false;
  char* path = JFileSpecFullPathNew(spec);
  saving = true;
  GifSaveResult result;
  const bool written = WriteGifFile(document, path, &result);
  saving = false;
  JFree(path);
  if (!written) {
    char* fileName = JFileSpecFileNameNew(spec);
    char* text = JFormatNew(kGifCannotBeSaved, fileName, strerror(result.error));
    DocumentAlert(text);
    JFree(text);
    JFree(fileName);
  }
  return written;
}
