#include "app/batch/BatchMode.h"

#include <cstring>

#include "app/batch/BatchGraph.h"
#include "app/batch/BatchOptions.h"
#include "app/batch/BatchProgress.h"
#include "app/batch/BatchRefine.h"
#include "app/batch/BatchReport.h"
#include "app/batch/BatchStreams.h"
#include "app/batch/BatchTargets.h"
#include "app/colour/ColourMaps.h"
#include "app/colour/ColourTable.h"
#include "app/colour/Passes.h"
#include "app/colour/Pipeline.h"
#include "app/colour/Transparency.h"
#include "app/colour/ColourTable.h"
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

// The GIF is 256 colours, the usual GIF, unless the command line says otherwise.
constexpr uint32_t kDefaultColours = 256;

// One run's state, freed by EndRun whatever happened.
struct Run {
  BatchOptions options;
  BatchStreams streams;
  Document doc;
  bool loaded;
  char* spool;   // the picture read from standard input, kept in a temporary file
  char* notes;   // lines held back until the run has succeeded
  char* problem; // the one line of a failure
};

void Note(Run* r, char* line) {
  char* joined = JFormatNew("%s%%s%\n", r->notes ? r->notes : "", line);
  JFree(r->notes);
  JFree(line);
  r->notes = joined;
}

// Reads the picture into the document as the window opens a file, pipeline included. A
// PNG's partly transparent pixels are composed over the background the options give, and
// its fully transparent pixels' colour comes back in `clearColour`.
bool LoadPicture(Run* r, bool* hasClear, uint32_t* clearColour) {
  const char* path = r->options.input;
  if (IsStreamName(path)) {
    if (!SpoolInput(r->streams.in, &r->spool, &r->problem)) return false;
    path = r->spool;
  }
  char reason[256] = "";
  JPicture* picture = JPictureOpenPath(path, reason, sizeof reason);
  if (picture && r->options.backgroundGiven) picture->alphaBackground = r->options.background;
  memset(&r->doc, 0, sizeof r->doc);
  r->loaded = picture != nullptr;
  const bool read = picture && ReadPictureFileIntoDocument(&r->doc, picture, reason, sizeof reason, kPipelineFreesPixels);
  *hasClear = picture && picture->hasTransparentColour;
  *clearColour = picture ? picture->transparentColour : 0;
  JPictureClose(picture);
  if (!read) {
    r->problem = JFormatNew(JStr(kStrBatchCannotRead), r->options.input, reason);
    return false;
  }
  ResetReductionSettings(&r->doc, r->doc.colourTable->count);
  return true;
}

uint32_t FindColour(const ColourTable* table, uint32_t key) {
  for (uint32_t i = 0; i < table->count; ++i)
    if (table->records[i].colour == key) return i;
  return table->count;
}

bool MarkColour(Run* r, uint32_t key) {
  const uint32_t index = FindColour(r->doc.colourTable, key);
  if (index == r->doc.colourTable->count) {
    char text[8];
    JFormatInto(text, JStr(kStrColourHex), key >> 16 & 0xFF, key >> 8 & 0xFF, key & 0xFF);
    r->problem = JFormatNew(JStr(kStrBatchColourAbsent), text);
    return false;
  }
  if (!r->doc.colourTable->transparent[index]) MarkTransparent(&r->doc, index);
  return true;
}

// The options applied to a new document's settings in the order and with the limits of
// the controls panel.
bool ApplySettings(Run* r, bool hasClear, uint32_t clearColour) {
  const BatchOptions& o = r->options;
  Document* doc = &r->doc;
  if (o.passBitsGiven) {
    doc->firstPassBits = o.firstPassBits;
    doc->laterPassBits = o.laterPassBits;
  }
  if (o.backgroundGiven) {
    doc->backgroundColour.red = static_cast<uint16_t>((o.background >> 16 & 0xFF) * 257);
    doc->backgroundColour.green = static_cast<uint16_t>((o.background >> 8 & 0xFF) * 257);
    doc->backgroundColour.blue = static_cast<uint16_t>((o.background & 0xFF) * 257);
  }
  // Marking works on a mapping: start from every colour standing for itself.
  MapForCount(doc, doc->colourTable->tally, doc->colourTable->count);
  if (hasClear) MarkPictureTransparentColour(doc, clearColour);
  for (uint32_t i = 0; i < o.transparentCount; ++i)
    if (!MarkColour(r, o.transparent[i])) return false;
  if (o.interlaceGiven) {
    doc->interlaceFirst = o.interlaceFirst;
    doc->interlaceLater = o.interlaceLater;
  }
  if (o.global) SetGlobalTable(doc, true);
  return true;
}

// The most colours the run may keep: the count given (brought into range, with a note),
// else every colour for targets to choose from, else the default.
uint32_t ColourCap(Run* r) {
  const BatchOptions& o = r->options;
  uint32_t available = 0, transparentCount = 0;
  AvailableColours(&r->doc, &available, &transparentCount);
  const bool allowAll = o.coloursAll || (!o.coloursGiven && AnyTarget(o.targets));
  const uint32_t asked = allowAll ? available : o.coloursGiven ? o.colours : kDefaultColours;
  uint8_t notes = 0;
  const uint32_t cap = LimitColourCount(&r->doc, asked, available, &notes);
  // Fewer colours than the default is no news; fewer than asked for is.
  if (o.coloursGiven && !o.coloursAll && (notes & kNoteMoreColoursThanPresent))
    Note(r, JFormatNew(JStr(kStrBatchNoteFewer), available, available));
  if (o.coloursGiven && (notes & kNoteGlobalTableLimit)) Note(r, JStrDup(JStr(kStrBatchNoteGlobal)));
  return cap;
}

bool ChooseCount(Run* r, TargetChoice* choice) {
  const uint32_t cap = ColourCap(r);
  r->doc.colourCount = cap;
  if (!AnyTarget(r->options.targets)) return true;
  ChooseColours(&r->doc, r->options.targets, cap, choice);
  if (choice->outcome != kTargetMet) {
    char* why = DescribeShortfall(r->options.targets, *choice, cap);
    r->problem = JFormatNew(JStr(kStrBatchFileProblem), r->options.input, why);
    JFree(why);
    return false;
  }
  r->doc.colourCount = choice->colours;
  return true;
}

bool Write(Run* r, uint64_t* bytes) {
  int error = 0;
  const char* output = r->options.output;
  bool written;
  if (IsStreamName(output)) {
    written = WriteGifStream(&r->doc, r->streams.out, bytes, &error);
  } else {
    GifSaveResult saved;
    written = WriteGifFile(&r->doc, output, &saved);
    *bytes = saved.bytes;
    error = saved.error;
  }
  if (!written) r->problem = JFormatNew(JStr(kStrBatchCannotWrite), output, strerror(error));
  return written;
}

bool Convert(Run* r) {
  bool hasClear = false;
  uint32_t clearColour = 0;
  TargetChoice choice{};
  if (!LoadPicture(r, &hasClear, &clearColour) || !ApplySettings(r, hasClear, clearColour) || !ChooseCount(r, &choice))
    return false;
  Document* doc = &r->doc;
  MapForCount(doc, doc->colourTable->tally, doc->colourCount);
  BatchReportFigures figures{};
  const bool targets = AnyTarget(r->options.targets);
  figures.targets = targets ? &r->options.targets : nullptr;
  figures.choice = targets ? &choice : nullptr;
  if (r->options.report) MeasureForReport(doc, &figures);
  // The graph is drawn from the ranking as it stands, before refining changes palette
  // colours; it measures other counts, so the mapping is made again after it.
  if (r->options.graph.kind != 0) {
    if (!BatchWriteGraph(doc, &r->options.graph, &r->problem)) return false;
    MapForCount(doc, doc->colourTable->tally, doc->colourCount);
  }
  RefineResult refined{};
  if (r->options.refine && doc->colourCount > 0) {
    RefinePalette(doc, &refined);
    figures.refined = &refined;
  }
  if (!Write(r, &figures.bytes)) return false;
  if (r->options.report) PrintReport(IsStreamName(r->options.output) ? r->streams.err : r->streams.out, figures);
  return true;
}

void PrintUsage(FILE* out) {
  for (const int* id = kBatchUsageLines; *id; ++id) fprintf(out, "%s\n", JStr(static_cast<JStringId>(*id)));
}

int EndRun(Run* r) {
  BatchProgressStop();
  int status = 0;
  if (r->problem) {
    char* line = JFormatNew(JStr(kStrBatchMessage), r->problem);
    fprintf(r->streams.err, "%s\n", line);
    JFree(line);
    status = 1;
  } else if (r->notes && !r->options.quiet) {
    fputs(r->notes, r->streams.err);
  }
  if (r->loaded) FreeDocumentContents(&r->doc);
  RemoveSpool(r->spool);
  JFree(r->notes);
  JFree(r->problem);
  BatchOptionsFree(&r->options);
  GifWriterRelease();
  JPictureSetMaxPixels(0);
  return status;
}

}  // namespace

int BatchRun(int argc, char** argv, const BatchStreams& streams) {
  Run r;
  memset(&r, 0, sizeof r);
  r.streams = streams;
  if (!BatchParseArguments(argc, argv, &r.options, &r.problem)) return EndRun(&r);
  if (r.options.help) {
    PrintUsage(streams.out);
    return EndRun(&r);
  }
  if (!r.options.quiet) BatchProgressStart(streams.err);
  JPictureSetMaxPixels(r.options.maxPixels);
  Convert(&r);
  return EndRun(&r);
}
