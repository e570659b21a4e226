#include "app/batch/BatchValues.h"

#include <cstdlib>
#include <cstring>

bool ReadInteger(const char* text, int64_t* value) {
  while (*text == ' ') ++text;
  const char* p = text;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  if (*p < '0' || *p > '9') return false;
  int64_t v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > 0xFFFFFFFFFFFFll) v = 0x1000000000000ll;  // far out of range; stays out of range
  }
  while (*p == ' ') ++p;
  if (*p != '\0') return false;
  *value = negative ? -v : v;
  return true;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ReadColour(const char* text, uint32_t* colour) {
  if (*text == '#') ++text;
  if (strlen(text) != 6) return false;
  uint32_t v = 0;
  for (int i = 0; i < 6; ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  *colour = v;
  return true;
}

bool ReadPair(const char* text, int low, int high, int* a, int* b) {
  const char* comma = strchr(text, ',');
  if (!comma || comma == text) return false;
  char first[16];
  const size_t length = static_cast<size_t>(comma - text);
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

bool ReadPercent(const char* text, double* value) {
  // Digits with at most one point; strtod alone would also take "inf", "1e3" and hex.
  const char* p = text;
  int digits = 0, points = 0;
  for (; (*p >= '0' && *p <= '9') || *p == '.'; ++p) (*p == '.' ? points : digits)++;
  if (digits == 0 || points > 1) return false;
  if (*p == '%') ++p;
  if (*p != '\0') return false;
  const double v = strtod(text, nullptr);
  if (v < 0 || v > 100) return false;
  *value = v;
  return true;
}
