#include "app/batch/BatchOptions.h"

#include <cstring>

#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/picture_limit.h"

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
