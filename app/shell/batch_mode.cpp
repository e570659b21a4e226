#include "app/shell/batch_mode.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/colour/ColourMaps.h"
#include "app/colour/Measures.h"
#include "app/colour/Passes.h"
#include "app/colour/Pipeline.h"
#include "app/colour/Transparency.h"
#include "app/gif/GifFile.h"
#include "app/gif/GifWriter.h"
#include "app/shell/Document.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/picture.h"
#include "jwin/picture_limit.h"
#include "jwin/pixel_buffer.h"
#include "jwin/pixel_map.h"

namespace {

// A whole decimal number, possibly negative, with nothing but blanks after it:
// what the controls panel accepts in its number fields.
bool ReadInteger(const char* text, int64_t* value) {
  while (*text == ' ') ++text;
  const char* p = text;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  if (*p < '0' || *p > '9') return false;
  int64_t v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > 0xFFFFFFFFll) v = 0x100000000ll;  // far out of range; stays out of range
  }
  while (*p == ' ') ++p;
  if (*p != '\0') return false;
  *value = negative ? -v : v;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Six hexadecimal digits RRGGBB, with or without a leading '#'.
bool ReadColour(const char* text, uint32_t* colour) {
  if (*text == '#') ++text;
  if (strlen(text) != 6) return false;
  uint32_t v = 0;
  for (int i = 0; i < 6; ++i) {
    int d = HexDigit(text[i]);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  *colour = v;
  return true;
}

// Two numbers "a,b", each from `low` to `high`.
bool ReadPair(const char* text, int low, int high, int* a, int* b) {
  const char* comma = strchr(text, ',');
  if (!comma || comma == text) return false;
  char first[16];
  size_t length = static_cast<size_t>(comma - text);
  if (length >= sizeof first) return false;
  memcpy(first, text, length);
  first[length] = '\0';
  int64_t x = 0, y = 0;
  if (!ReadInteger(first, &x) || !ReadInteger(comma + 1, &y)) return false;
  if (x < low || x > high || y < low || y > high) return false;
  *a = static_cast<int>(x);
  *b = static_cast<int>(y);
  return true;
}

bool IsOption(const char* arg) { return arg[0] == '-' && arg[1] != '\0'; }

char* Problem(JStringId key, const char* detail) { return JFormatNew(JStr(key), detail); }

}  // namespace

bool BatchParseArguments(int argc, char** argv, BatchOptions* o, char** problem) {
  memset(o, 0, sizeof *o);
  *problem = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!IsOption(arg)) {
      if (!o->input) {
        o->input = arg;
      } else if (!o->output) {
        o->output = arg;
      } else {
        *problem = Problem(kStrBatchExtraArgument, arg);
        return false;
      }
      continue;
    }
    if (!strcmp(arg, "--help") || !strcmp(arg, "-h")) {
      o->help = true;
      continue;
    }
    if (!strcmp(arg, "--global")) {
      o->global = true;
      continue;
    }
    if (!strcmp(arg, "--report")) {
      o->report = true;
      continue;
    }
    if (!strcmp(arg, "--max-pixels")) {
      const char* value = i + 1 < argc ? argv[++i] : "";
      if (!JPictureParseMaxPixels(value, &o->maxPixels)) {
        *problem = Problem(kStrBatchBadMaxPixels, value);
        return false;
      }
      continue;
    }
    if (!strcmp(arg, "--graph")) {
      if (!BatchParseGraph(argc, argv, &i, &o->graph, problem)) return false;
      continue;
    }
    const bool takesValue = !strcmp(arg, "--colours") || !strcmp(arg, "--passes-bits") ||
                            !strcmp(arg, "--interlace") || !strcmp(arg, "--transparent") ||
                            !strcmp(arg, "--background");
    if (!takesValue) {
      *problem = Problem(kStrBatchUnknownOption, arg);
      return false;
    }
    if (i + 1 >= argc) {
      *problem = Problem(kStrBatchMissingValue, arg);
      return false;
    }
    if (!strcmp(arg, "--transparent")) {
      // Takes the colour after it and every further colour up to the next option or file name.
      uint32_t colour = 0;
      if (!ReadColour(argv[i + 1], &colour)) {
        *problem = Problem(kStrBatchBadColour, argv[i + 1]);
        return false;
      }
      while (i + 1 < argc && ReadColour(argv[i + 1], &colour)) {
        o->transparent = static_cast<uint32_t*>(
            JRealloc(o->transparent, (o->transparentCount + 1) * sizeof(uint32_t)));
        o->transparent[o->transparentCount++] = colour;
        ++i;
      }
      continue;
    }
    const char* value = argv[++i];
    if (!strcmp(arg, "--colours")) {
      int64_t v = 0;
      if (!ReadInteger(value, &v)) {
        *problem = Problem(kStrColoursNotInteger, value);
        return false;
      }
      if (v < 0) {
        *problem = JStrDup(JStr(kStrColoursNegative));
        return false;
      }
      o->coloursGiven = true;
      o->colours = v > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
    } else if (!strcmp(arg, "--passes-bits")) {
      int a = 0, b = 0;
      if (!ReadPair(value, 1, 8, &a, &b)) {
        *problem = Problem(kStrBatchBadPassBits, value);
        return false;
      }
      o->passBitsGiven = true;
      o->firstPassBits = static_cast<uint16_t>(a);
      o->laterPassBits = static_cast<uint16_t>(b);
    } else if (!strcmp(arg, "--interlace")) {
      int a = 0, b = 0;
      if (!ReadPair(value, 0, 1, &a, &b)) {
        *problem = Problem(kStrBatchBadInterlace, value);
        return false;
      }
      o->interlaceGiven = true;
      o->interlaceFirst = static_cast<uint8_t>(a);
      o->interlaceLater = static_cast<uint8_t>(b);
    } else if (!strcmp(arg, "--background")) {
      if (!ReadColour(value, &o->background)) {
        *problem = Problem(kStrBatchBadColour, value);
        return false;
      }
      o->backgroundGiven = true;
    }
  }
  if (!o->help && (!o->input || !o->output)) {
    *problem = JStrDup(JStr(kStrBatchMissingFiles));
    return false;
  }
  return true;
}

void BatchOptionsFree(BatchOptions* options) {
  JFree(options->transparent);
  options->transparent = nullptr;
  options->transparentCount = 0;
}

namespace {

struct BatchDocument {
  Document doc;
  JPixMap* map;
};

void FreeBatchDocument(BatchDocument* b) {
  FreeColourResults(&b->doc);
  JPixelBufferFree(b->doc.workingBuffer);
  JPixMapFree(b->map);
  b->doc.workingBuffer = nullptr;
  b->map = nullptr;
}

// Reads the picture and runs the colour pipeline. False with a message.
bool LoadPicture(BatchDocument* b, const char* path, char** problem) {
  memset(b, 0, sizeof *b);
  char reason[256] = "";
  b->map = JPictureReadFile(path, reason, sizeof reason);
  if (!b->map) {
    *problem = JFormatNew(JStr(kStrBatchCannotRead), path, reason);
    return false;
  }
  Document* doc = &b->doc;
  doc->pictureMap = b->map;
  doc->width = b->map->width;
  doc->height = b->map->height;
  doc->workingBuffer = JPixelBufferNew(doc->width, doc->height);
  const char* refusal = nullptr;
  if (!doc->workingBuffer) {
    refusal = JPictureSizeProblem(doc->width, doc->height);
  } else {
    // The file is written from the index image: the pixels are let go as soon as
    // the engine has read them, the map here and the working buffer in the pipeline.
    JPixelBufferGet(doc->workingBuffer, 0, b->map, 0, doc->height);
    JPixMapFree(b->map);
    b->map = doc->pictureMap = nullptr;
  }
  if (!refusal && !RunColourPipeline(doc, &refusal, kPipelineFreesPixels) && !refusal) {
    refusal = strerror(EINVAL);
  }
  if (refusal) {
    *problem = JFormatNew(JStr(kStrBatchCannotRead), path, refusal);
    return false;
  }
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

// The document's settings as a new document has them, then the options applied
// in the order and with the limits of the controls panel. Notes (a value brought
// into range, as the panel's alerts do) go to `err`.
bool ApplySettings(Document* doc, const BatchOptions* o, FILE* err, char** problem) {
  ColourTable* table = doc->colourTable;
  const uint32_t n = table->count;
  doc->colourCount = n;
  doc->firstPassBits = FirstPassBitsFor(n);
  doc->laterPassBits = 8;
  doc->backgroundColour = {65535, 65535, 65535};
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
  MapForCount(doc, table->tally, n);
  for (uint32_t i = 0; i < o->transparentCount; ++i) {
    uint32_t index = FindColour(table, o->transparent[i]);
    if (index == table->count) {
      char text[8];
      FormatColour(text, o->transparent[i]);
      *problem = Problem(kStrBatchColourAbsent, text);
      return false;
    }
    MarkTransparent(doc, index);
  }
  if (o->interlaceGiven) {
    doc->interlaceFirst = o->interlaceFirst;
    doc->interlaceLater = o->interlaceLater;
  }
  uint32_t available = 0, transparentCount = 0;
  AvailableColours(doc, &available, &transparentCount);
  if (o->global) {
    doc->useGlobalTable = 1;
    if (doc->colourCount > 256) doc->colourCount = 256;
  }
  if (o->coloursGiven) {
    uint32_t v = o->colours;
    if (doc->useGlobalTable && v > 256 && available > 256) {
      fprintf(err, "%s\n", JStr(kStrGlobalTableLimit));
      v = 256;
    }
    if (v > available) {
      fprintf(err, "%s\n", JStr(kStrMoreColoursThanPresent));
      v = available;
    }
    doc->colourCount = v;
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
  BatchDocument picture;
  int status = 0;
  JPictureSetMaxPixels(options.maxPixels);
  if (!LoadPicture(&picture, options.input, &problem) ||
      !ApplySettings(&picture.doc, &options, err, &problem)) {
    status = Fail(err, problem);
  } else {
    GifSaveResult saved;
    if (!WriteGifFile(&picture.doc, options.output, &saved)) {
      status = Fail(err, JFormatNew(JStr(kStrBatchCannotWrite), options.output, strerror(saved.error)));
    } else if (options.report) {
      Report(&picture.doc, saved.bytes, out);
    }
    if (status == 0 && options.graph.kind != 0 && !BatchWriteGraph(&picture.doc, &options.graph, &problem)) {
      status = Fail(err, problem);
    }
  }
  FreeBatchDocument(&picture);
  BatchOptionsFree(&options);
  GifWriterRelease();
  return status;
}
