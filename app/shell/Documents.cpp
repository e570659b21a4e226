#include "app/shell/Documents.h"

#include <cstring>

#include "app/colour/ColourTable.h"
#include "app/colour/Pipeline.h"
#include "app/document/Document.h"
#include "app/document/DocumentList.h"
#include "app/gif/SizeEstimate.h"
#include "app/graphs/ControlsPanel.h"
#include "app/graphs/GraphWindow.h"
#include "app/picture/DocumentReading.h"
#include "app/shell/AboutBox.h"
#include "app/shell/DocumentMessages.h"
#include "app/shell/GraphCommands.h"
#include "app/shell/PreviewWindow.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_alert.h"
#include "jwin/J_beep.h"
#include "jwin/J_clipbo.h"
#include "jwin/J_draw.h"
#include "jwin/J_event.h"
#include "jwin/J_file.h"
#include "jwin/J_filedlg.h"
#include "jwin/J_hleven.h"
#include "jwin/J_sched.h"
#include "jwin/J_window.h"
#include "jwin/picture.h"
#include "jwin/picture_photo.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

constexpr size_t kReasonSize = 256;

uint16_t clipboardCounter = 1;

// Disposes a window of the document, which then no longer leads back to it.
void DropWindow(JWindow* window) {
  if (!window) return;
  window->data = nullptr;
  JDisposeWindow(window);
}

// Everything the document owns, each freed once; then the record.
void FreeDocument(Document* d) {
  FreeDocumentContents(d);
  JFree(d);
}

void ShowProblem(const char* format, const char* name, const char* reason) {
  char* text = JFormatNew(format, name, reason);
  DocumentAlert(text);
  JFree(text);
}

void DrawSourceWindow(JWindow* window) {
  const Document* d = static_cast<const Document*>(window->data);
  if (!d || !d->pictureMap) return;
  int16_t w = 0, h = 0;
  JGetWindowContentSize(window, &w, &h);
  JCopyBits(d->pictureMap, JRectMake(0, 0, d->width, d->height), JRectMake(0, 0, w, h), kJCopyPlain);
}

// A source window left by the pipeline is closed once it has finished.
void CloseSourceWindow(Document* d) {
  DropWindow(d->window);
  d->window = nullptr;
}

// A request names a file by path; a bare name is in the current directory.
JFileSpec* RequestFileSpec(const char* path) {
  if (!path || !*path) return nullptr;
  if (strchr(path, '/')) return JFileSpecFromPath(path);
  char* directory = JFileCurrentDirectoryNew();
  JFileSpec* fileSpec = JFileSpecNew(directory ? directory : "./", path);
  JFree(directory);
  return fileSpec;
}

}  // namespace

void SourceWindowSize(int32_t pictureWidth, int32_t pictureHeight, int32_t limitWidth, int32_t limitHeight,
                      int16_t* width, int16_t* height) {
  int32_t w = pictureWidth < 1 ? 1 : pictureWidth;
  int32_t h = pictureHeight < 1 ? 1 : pictureHeight;
  // Halving stops at one pixel: a limit below 1 would never be met.
  while ((w > limitWidth || h > limitHeight) && (w > 1 || h > 1)) {
    w = w > 1 ? w >> 1 : 1;
    h = h > 1 ? h >> 1 : 1;
  }
  *width = static_cast<int16_t>(w > 32767 ? 32767 : w);
  *height = static_cast<int16_t>(h > 32767 ? 32767 : h);
}

void ShowSourceWindow(JWindow* progressWindow, void* data) {
  Document* d = static_cast<Document*>(data);
  JWindow* w = JNewWindow(nullptr, "", kJWindowPopup);
  if (!w) return;
  d->window = w;
  w->data = d;
  JSetHandler(w, kJSlotDraw, DrawSourceWindow);
  int16_t mainLeft = 0, mainTop = 0, mainWidth = 0, mainHeight = 0;
  JGetMainWindowPlace(&mainLeft, &mainTop, &mainWidth, &mainHeight);
  int16_t progressWidth = 0, progressHeight = 0;
  JGetWindowContentSize(progressWindow, &progressWidth, &progressHeight);
  int16_t width = 1, height = 1;
  SourceWindowSize(d->width, d->height, mainWidth - 40, mainHeight - 40 - progressHeight, &width, &height);
  JSizeWindow(w, width, height);
  // Stacked: the progress window, 10 pixels, the picture; the pair centred in the main window.
  const int y = mainTop + (mainHeight - progressHeight - height - 10) / 2;
  if (progressWindow) JMoveWindow(progressWindow, progressWindow->lastLeft, static_cast<int16_t>(y));
  JMoveWindow(w, static_cast<int16_t>(mainLeft + (mainWidth - width) / 2),
              static_cast<int16_t>(y + progressHeight + 10));
  JShowWindow(w);
  JProcessPendingPaint();
}

Document* NewDocument(JFileSpec* fileSpec, JPicture* picture, JClipPicture* clipPicture) {
  Document* d = static_cast<Document*>(JAlloc(sizeof(Document)));
  // Every field starts empty: no maps, no windows, no transparent colours, no graphs.
  memset(d, 0, sizeof *d);
  d->fileSpec = fileSpec;
  if (fileSpec) {
    d->name = JStrDup(fileSpec->name);
  } else {
    d->name = JFormatNew(JStr(kStrClipboardName), static_cast<int>(clipboardCounter));
    ++clipboardCounter;
  }
  char reason[kReasonSize] = "";
  bool ok = false;
  if (picture) {
    ok = ReadPictureFileIntoDocument(d, picture, reason, sizeof reason);
  } else if (clipPicture) {
    ok = ReadClipPictureIntoDocument(d, clipPicture, reason, sizeof reason);
  }
  CloseSourceWindow(d);
  if (!ok) {
    if (fileSpec) {
      char* fileName = JFileSpecFileNameNew(fileSpec);
      ShowProblem(JStr(kStrPictureCannotBeOpened), fileName, reason);
      JFree(fileName);
    } else {
      DocumentNote(JStr(kStrClipboardNoMemory), JStr(kStrClipboardNoMemoryOk));
    }
    FreeDocument(d);
    return nullptr;
  }
  ResetReductionSettings(d, d->colourTable->count);
  if (picture && picture->hasTransparentColour) MarkPictureTransparentColour(d, picture->transparentColour);
  ResetSizeEstimate(d);
  DocumentListAdd(d);
  OpenPreview(d);
  // Its first update maps the colours for the count chosen. The preview stays in front.
  OpenControls(d);
  JSelectWindow(d->window);
  NotifyDocumentListener();
  return d;
}

void CloseDocument(Document* d) {
  if (!d || d->closing) return;
  d->closing = 1;
  StopSizeEstimate(d);
  CloseDocumentGraphs(d);
  CloseControls(d);
  DropWindow(d->window);
  d->window = nullptr;
  DocumentListRemove(d);
  // Listeners hear of it while the record is still readable (and marked closing).
  NotifyDocumentListener();
  FreeDocument(d);
}

void CloseAllDocuments() {
  while (Document* d = LastOpenDocument()) CloseDocument(d);
}

void OpenDocumentFile(JFileSpec* fileSpec) {
  if (!fileSpec) return;
  char reason[kReasonSize] = "";
  JPicture* picture = JPictureOpenWithReason(fileSpec, kJFileRead, reason, sizeof reason);
  if (!picture) {
    char* fileName = JFileSpecFileNameNew(fileSpec);
    ShowProblem(JStr(kStrPictureCannotBeOpened), fileName, reason);
    JFree(fileName);
    JFileSpecFree(fileSpec);
    return;
  }
  NewDocument(fileSpec, picture, nullptr);
  JPictureClose(picture);
}

void OpenDocumentCommand() {
  static constexpr int16_t kPictureTypes[] = {kJFileTypeBitmap, kJFileTypeMetafile, kJFileTypePng, kJFileTypeJpeg};
  OpenDocumentFile(JFileOpenDialog(nullptr, kPictureTypes, 4, nullptr));
}

void NewPictureFromClipboard() {
  JClipPicture* picture = JClipboardGetPicture();
  if (!JClipboardHasPicture()) {
    DocumentNote(JStr(kStrClipboardEmpty), JStr(kStrClipboardEmptyOk));
  } else if (picture) {
    NewDocument(nullptr, nullptr, picture);
  } else {
    DocumentNote(JStr(kStrClipboardNoMemory), JStr(kStrClipboardNoMemoryOk));
  }
  JClipPictureFree(picture);
}

void PrintDocumentsRequest(void*, const char* path) {
  JFileSpec* fileSpec = RequestFileSpec(path);
  if (!fileSpec) return;
  char* text = JFormatNew(JStr(kStrNoPrinting), fileSpec->name, fileSpec->name);
  JBeep();
  JAlert(nullptr, kJIconNote, text, JStr(kStrNoPrintingOk), nullptr);
  JFree(text);
  JFileSpecFree(fileSpec);
}

void OpenDocumentsRequest(void*, const char* path) {
  CloseAbout(false);  // a splash gives way to the picture, without the rest of the start-up
  JFileSpec* fileSpec = RequestFileSpec(path);
  if (!fileSpec) return;
  const int16_t type = fileSpec->type.row;
  if (type != kJFileTypePict && type != kJFileTypeMetafile && type != kJFileTypeBitmap && !JPictureIsPhoto(type)) {
    char* text = JFormatNew(JStr(kStrUnsupportedType), fileSpec->name, fileSpec->name);
    DocumentNote(text, JStr(kStrUnsupportedTypeOk));
    JFree(text);
    JFileSpecFree(fileSpec);
    return;
  }
  OpenDocumentFile(fileSpec);
}

void DocumentsInit() {
  SetPipelineShowProc(ShowSourceWindow);
  static const DocumentShellProcs kShell = {RedrawPreview, CloseDocument};
  SetDocumentShellProcs(&kShell);
  InstallGraphChoice();
  ControlsInit();
  JSetHighLevelHandler(kJRequestOpenDocuments, OpenDocumentsRequest, nullptr);
  JSetHighLevelHandler(kJRequestPrintDocuments, PrintDocumentsRequest, nullptr);
}
