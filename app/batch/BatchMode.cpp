#include "app/batch/BatchMode.h"

#include <cstring>

#include "app/batch/BatchGraph.h"
#include "app/batch/BatchOptions.h"
#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTable.h"
#include "app/colour/Measures.h"
#include "app/colour/Passes.h"
#include "app/colour/Pipeline.h"
#include "app/colour/Transparency.h"
#include "app/document/Document.h"
#include "app/gif/GifFile.h"
#include "app/gif/GifWriter.h"
#include "app/picture/DocumentReading.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/picture.h"
#include "jwin/picture_limit.h"

namespace {

// Reads the picture into the document as the window opens a file, pipeline included,
// and gives it a new document's settings. The file is written from the index image, so
// the pixels are let go as soon as the engine has read them. False with a message.
bool LoadPicture(Document* doc, const char* path, char** problem) {
  memset(doc, 0, sizeof *doc);
  char reason[256] = "";
  JPicture* picture = JPictureOpenPath(path, reason, sizeof reason);
  const bool read = picture && ReadPictureFileIntoDocument(doc, picture, reason, sizeof reason, kPipelineFreesPixels);
  JPictureClose(picture);
  if (!read) {
    *problem = JFormatNew(JStr(kStrBatchCannotRead), path, reason);
    return false;
  }
  ResetReductionSettings(doc, doc->colourTable->count);
  return true;
}

uint32_t FindColour(const ColourTable* table, uint32_t key) {
  for (uint32_t i = 0; i < table->count; ++i)
    if (table->records[i].colour == key) return i;
  return table->count;
}

void FormatColour(char* buffer, uint32_t colour) {
  JFormatInto(buffer, JStr(kStrColourHex), colour >> 16 & 0xFF, colour >> 8 & 0xFF, colour & 0xFF);
}

void PrintNote(void* err, JStringId text) { fprintf(static_cast<FILE*>(err), "%s\n", JStr(text)); }

// The options applied to a new document's settings in the order and with the limits of
// the controls panel. Notes (a value brought into range, as the panel's alerts do) go to `err`.
bool ApplySettings(Document* doc, const BatchOptions* o, FILE* err, char** problem) {
  ColourTable* table = doc->colourTable;
  if (o->passBitsGiven) {
    doc->firstPassBits = o->firstPassBits;
    doc->laterPassBits = o->laterPassBits;
  }
  if (o->backgroundGiven) {
    doc->backgroundColour.red = static_cast<uint16_t>((o->background >> 16 & 0xFF) * 257);
    doc->backgroundColour.green = static_cast<uint16_t>((o->background >> 8 & 0xFF) * 257);
    doc->backgroundColour.blue = static_cast<uint16_t>((o->background & 0xFF) * 257);
  }
  // Marking works on a mapping: start from every colour standing for itself.
  MapForCount(doc, table->tally, table->count);
  for (uint32_t i = 0; i < o->transparentCount; ++i) {
    uint32_t index = FindColour(table, o->transparent[i]);
    if (index == table->count) {
      char text[8];
      FormatColour(text, o->transparent[i]);
      *problem = JFormatNew(JStr(kStrBatchColourAbsent), text);
      return false;
    }
    MarkTransparent(doc, index);
  }
  if (o->interlaceGiven) {
    doc->interlaceFirst = o->interlaceFirst;
    doc->interlaceLater = o->interlaceLater;
  }
  if (o->global) SetGlobalTable(doc, true);
  if (o->coloursGiven) {
    uint32_t available = 0, transparentCount = 0;
    AvailableColours(doc, &available, &transparentCount);
    uint8_t notes = 0;
    doc->colourCount = LimitColourCount(doc, o->colours, available, &notes);
    TellReductionNotes(notes, PrintNote, err);
  }
  MapForCount(doc, table->tally, doc->colourCount);
  return true;
}

void PrintPercent(FILE* out, JStringId key, uint64_t value, double whole, uint32_t raw, bool withRaw) {
  char percent[32];
  JFormatInto(percent, JStr(kStrPercent), whole > 0 ? 100.0 * static_cast<double>(value) / whole : 0.0);
  char* line = withRaw ? JFormatNew(JStr(key), raw, percent) : JFormatNew(JStr(key), percent);
  fprintf(out, "%s\n", line);
  JFree(line);
}

void Report(Document* doc, uint64_t bytes, FILE* out) {
  const uint32_t n = doc->colourTable->count;
  const uint32_t k = doc->colourCount;
  char* line = JFormatNew(JStr(kStrBatchReportFound), n);
  fprintf(out, "%s\n", line);
  JFree(line);
  line = JFormatNew(JStr(kStrBatchReportKept), k);
  fprintf(out, "%s\n", line);
  JFree(line);
  line = JFormatNew(JStr(kStrBatchReportPasses), GifStreamPasses(doc, k));
  fprintf(out, "%s\n", line);
  JFree(line);
  if (k > 0) {
    uint64_t* quality = static_cast<uint64_t*>(JAlloc(sizeof(uint64_t) * n));
    uint32_t* error = static_cast<uint32_t*>(JAlloc(sizeof(uint32_t) * n));
    ComputeQuality(doc, quality);
    ComputeMaximumError(doc, error);
    PrintPercent(out, kStrBatchReportQuality, quality[k - 1], static_cast<double>(QualityBudget(doc)), 0, false);
    PrintPercent(out, kStrBatchReportMaximumError, error[k - 1], 768.0, error[k - 1], true);
    JFree(quality);
    JFree(error);
  }
  char count[24];
  snprintf(count, sizeof count, "%llu", static_cast<unsigned long long>(bytes));
  line = JFormatNew(JStr(kStrBatchReportBytes), count);
  fprintf(out, "%s\n", line);
  JFree(line);
}

void PrintUsage(FILE* out) {
  for (int id = kStrBatchUsage1; id <= kStrBatchUsage11; ++id) fprintf(out, "%s\n", JStr(static_cast<JStringId>(id)));
  fprintf(out, "%s\n", JStr(kStrBatchUsageMaxPixels));
  fprintf(out, "%s\n", JStr(kStrBatchUsageGraph));
}

int Fail(FILE* err, char* problem) {
  char* line = JFormatNew(JStr(kStrBatchMessage), problem);
  fprintf(err, "%s\n", line);
  JFree(line);
  JFree(problem);
  return 1;
}

}  // namespace

int BatchRun(int argc, char** argv, FILE* out, FILE* err) {
  BatchOptions options;
  char* problem = nullptr;
  if (!BatchParseArguments(argc, argv, &options, &problem)) {
    BatchOptionsFree(&options);
    return Fail(err, problem);
  }
  if (options.help) {
    PrintUsage(out);
    BatchOptionsFree(&options);
    return 0;
  }
  Document picture;
  int status = 0;
  JPictureSetMaxPixels(options.maxPixels);
  if (!LoadPicture(&picture, options.input, &problem) || !ApplySettings(&picture, &options, err, &problem)) {
    status = Fail(err, problem);
  } else {
    GifSaveResult saved;
    if (!WriteGifFile(&picture, options.output, &saved)) {
      status = Fail(err, JFormatNew(JStr(kStrBatchCannotWrite), options.output, strerror(saved.error)));
    } else if (options.report) {
      Report(&picture, saved.bytes, out);
    }
    if (status == 0 && options.graph.kind != 0 && !BatchWriteGraph(&picture, &options.graph, &problem)) {
      status = Fail(err, problem);
    }
  }
  FreeDocumentContents(&picture);
  BatchOptionsFree(&options);
  GifWriterRelease();
  return status;
}
