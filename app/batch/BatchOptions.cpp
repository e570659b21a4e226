#include "app/batch/BatchOptions.h"

#include <cstring>

#include "app/batch/BatchValues.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/picture_limit.h"

namespace {

char* Problem(JStringId key, const char* detail) { return JFormatNew(JStr(key), detail); }

// Each reader takes the option's value (null for a flag) and answers false with a problem.
typedef bool (*OptionReader)(BatchOptions* o, const char* value, char** problem);
// A reader of an option with values of its own kind: at argv[*i], moving *i past them.
typedef bool (*ArgumentsReader)(int argc, char** argv, int* i, BatchOptions* o, char** problem);

bool ReadColours(BatchOptions* o, const char* value, char** problem) {
  o->coloursGiven = true;
  if (!strcmp(value, "all")) {
    o->coloursAll = true;
    return true;
  }
  int64_t v = 0;
  if (!ReadInteger(value, &v)) return *problem = Problem(kStrColoursNotInteger, value), false;
  if (v < 0) return *problem = JStrDup(JStr(kStrColoursNegative)), false;
  o->colours = v > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
  return true;
}

bool ReadPassBits(BatchOptions* o, const char* value, char** problem) {
  int a = 0, b = 0;
  if (!ReadPair(value, 1, 8, &a, &b)) return *problem = Problem(kStrBatchBadPassBits, value), false;
  o->passBitsGiven = true;
  o->firstPassBits = static_cast<uint16_t>(a);
  o->laterPassBits = static_cast<uint16_t>(b);
  return true;
}

bool ReadInterlace(BatchOptions* o, const char* value, char** problem) {
  int a = 0, b = 0;
  if (!ReadPair(value, 0, 1, &a, &b)) return *problem = Problem(kStrBatchBadInterlace, value), false;
  o->interlaceGiven = true;
  o->interlaceFirst = static_cast<uint8_t>(a);
  o->interlaceLater = static_cast<uint8_t>(b);
  return true;
}

bool ReadTransparent(BatchOptions* o, const char* value, char** problem) {
  uint32_t colour = 0;
  if (!ReadColour(value, &colour)) return *problem = Problem(kStrBatchBadColour, value), false;
  o->transparent = static_cast<uint32_t*>(JRealloc(o->transparent, (o->transparentCount + 1) * sizeof(uint32_t)));
  o->transparent[o->transparentCount++] = colour;
  return true;
}

bool ReadBackground(BatchOptions* o, const char* value, char** problem) {
  if (!ReadColour(value, &o->background)) return *problem = Problem(kStrBatchBadColour, value), false;
  o->backgroundGiven = true;
  return true;
}

bool ReadQuality(BatchOptions* o, const char* value, char** problem) {
  if (!ReadPercent(value, &o->targets.minQuality)) return *problem = Problem(kStrBatchBadPercent, value), false;
  o->targets.quality = true;
  return true;
}

bool ReadMaxError(BatchOptions* o, const char* value, char** problem) {
  if (!ReadPercent(value, &o->targets.maxError)) return *problem = Problem(kStrBatchBadPercent, value), false;
  o->targets.error = true;
  return true;
}

bool ReadMaxBytes(BatchOptions* o, const char* value, char** problem) {
  int64_t v = 0;
  if (!ReadInteger(value, &v) || v < 1) return *problem = Problem(kStrBatchBadBytes, value), false;
  o->targets.bytes = true;
  o->targets.maxBytes = static_cast<uint64_t>(v);
  return true;
}

bool ReadMaxPixels(BatchOptions* o, const char* value, char** problem) {
  if (!JPictureParseMaxPixels(value, &o->maxPixels)) return *problem = Problem(kStrBatchBadMaxPixels, value), false;
  return true;
}

bool ReadGraph(int argc, char** argv, int* i, BatchOptions* o, char** problem) {
  return BatchParseGraph(argc, argv, i, &o->graph, problem);
}

bool SetGlobal(BatchOptions* o, const char*, char**) { return o->global = true; }
bool SetRefine(BatchOptions* o, const char*, char**) { return o->refine = true; }
bool SetQuiet(BatchOptions* o, const char*, char**) { return o->quiet = true; }
bool SetReport(BatchOptions* o, const char*, char**) { return o->report = true; }
bool SetHelp(BatchOptions* o, const char*, char**) { return o->help = true; }

enum ValueKind : uint8_t {
  kFlag,      // no value
  kOneValue,  // the next argument
  kColours,   // the next argument and every further one that is a colour
  kArguments, // read by the row's arguments reader
};

struct OptionRow {
  const char* name;
  ValueKind kind;
  OptionReader read;
  ArgumentsReader readArguments = nullptr;
};

const OptionRow kOptions[] = {
    {"--colours", kOneValue, ReadColours},       {"--quality", kOneValue, ReadQuality},
    {"--max-error", kOneValue, ReadMaxError},    {"--max-bytes", kOneValue, ReadMaxBytes},
    {"--refine", kFlag, SetRefine},              {"--passes-bits", kOneValue, ReadPassBits},
    {"--global", kFlag, SetGlobal},              {"--interlace", kOneValue, ReadInterlace},
    {"--transparent", kColours, ReadTransparent}, {"--background", kOneValue, ReadBackground},
    {"--max-pixels", kOneValue, ReadMaxPixels},  {"--graph", kArguments, nullptr, ReadGraph},
    {"--report", kFlag, SetReport},              {"--quiet", kFlag, SetQuiet},
    {"--help", kFlag, SetHelp},
    {"-h", kFlag, SetHelp},
};

const OptionRow* FindOption(const char* arg) {
  for (const OptionRow& row : kOptions)
    if (!strcmp(arg, row.name)) return &row;
  return nullptr;
}

// A lone "-" names a stream, not an option.
bool IsOption(const char* arg) { return arg[0] == '-' && arg[1] != '\0'; }

bool TakeFileName(BatchOptions* o, const char* arg, char** problem) {
  if (!o->input) o->input = arg;
  else if (!o->output) o->output = arg;
  else return *problem = Problem(kStrBatchExtraArgument, arg), false;
  return true;
}

}  // namespace

const int kBatchUsageLines[] = {kStrBatchUsage1,  kStrBatchUsage2,  kStrBatchUsage3,  kStrBatchUsage4,
                                kStrBatchUsage5,  kStrBatchUsage6,  kStrBatchUsage7,  kStrBatchUsage8,
                                kStrBatchUsage9,  kStrBatchUsage10, kStrBatchUsage11, kStrBatchUsage12,
                                kStrBatchUsage13, kStrBatchUsage14, kStrBatchUsage15, kStrBatchUsageMaxPixels, kStrBatchUsageGraph,
                                kStrBatchUsage16, kStrBatchUsage17, kStrBatchUsage18, kStrBatchUsage19,
                                kStrBatchUsage20, 0};

bool BatchParseArguments(int argc, char** argv, BatchOptions* o, char** problem) {
  memset(o, 0, sizeof *o);
  *problem = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!IsOption(arg)) {
      if (!TakeFileName(o, arg, problem)) return false;
      continue;
    }
    const OptionRow* row = FindOption(arg);
    if (!row) return *problem = Problem(kStrBatchUnknownOption, arg), false;
    if (row->kind == kArguments) {
      if (!row->readArguments(argc, argv, &i, o, problem)) return false;
      continue;
    }
    if (row->kind == kFlag) {
      row->read(o, nullptr, problem);
      continue;
    }
    if (i + 1 >= argc) return *problem = Problem(kStrBatchMissingValue, arg), false;
    if (!row->read(o, argv[++i], problem)) return false;
    uint32_t colour = 0;
    while (row->kind == kColours && i + 1 < argc && ReadColour(argv[i + 1], &colour)) row->read(o, argv[++i], problem);
  }
  if (!o->help && (!o->input || !o->output)) return *problem = JStrDup(JStr(kStrBatchMissingFiles)), false;
  return true;
}

void BatchOptionsFree(BatchOptions* options) {
  JFree(options->transparent);
  options->transparent = nullptr;
  options->transparentCount = 0;
}
