#include "app/shell/SaveDocument.h"

#include <cstring>

#include "app/document/Document.h"
#include "app/document/DocumentList.h"
#include "app/gif/GifFile.h"
#include "app/shell/DocumentMessages.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_file.h"
#include "jwin/J_filedlg.h"

namespace {

// The save dialog offers the GIF type only. It opens in the folder the picture came
// from; a clipboard picture has none, so the previous dialog's folder is shown.
JFileSpec* AskForGifFile(const Document* document) {
  const JFileChoice gif = {kJFileTypeGif, JStr(kStrGifTypeLabel)};
  JFileSaveRequest request = {JStr(kStrSavePrompt), &gif, 1, 0, false};
  JFileSpec* initial = nullptr;
  if (document->fileSpec) {
    char* name = JFormatNew("%s%.gif", document->name);
    initial = JFileSpecNew(document->fileSpec->directory, name);
    JFree(name);
  }
  JFileSpec* chosen = JFileSaveDialogWithChoice(nullptr, &request, initial);
  JFileSpecFree(initial);
  return chosen;
}

bool WriteNamedFile(Document* document, const JFileSpec* fileSpec) {
  char* path = JFileSpecFullPathNew(fileSpec);
  GifSaveResult result;
  const bool written = WriteGifFile(document, path, &result);
  JFree(path);
  if (!written) {
    char* fileName = JFileSpecFileNameNew(fileSpec);
    char* text = JFormatNew(JStr(kStrGifCannotBeSaved), fileName, strerror(result.error));
    DocumentAlert(text);
    JFree(text);
    JFree(fileName);
  }
  return written;
}

}  // namespace

bool SaveDocumentAsGif(Document* document, const JFileSpec* fileSpec) {
  if (!document || document->closing || GifWriteRunning()) return false;
  if (fileSpec) return WriteNamedFile(document, fileSpec);
  JFileSpec* chosen = AskForGifFile(document);
  if (!chosen) return false;
  // The dialog ran events of its own: the document may have been closed meanwhile.
  const bool written = DocumentIsOpen(document) && WriteNamedFile(document, chosen);
  JFileSpecFree(chosen);
  return written;
}
