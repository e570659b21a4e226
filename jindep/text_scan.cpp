// The reading half of formatted text: JScan walks a format over a text and stores
// what its directives read. Every number is checked against the variable it goes
// into before it is stored, and digits are gathered without ever overflowing.
#include <charconv>
#include <cstring>

#include "jindep/Ji_prinf.h"
#include "jindep/Ji_tempm.h"
#include "jindep/memory.h"

namespace {

constexpr uint32_t kDefaultMaxDigits = 10;
constexpr size_t kDefaultStringBuffer = 256;

struct ScanSpec {
  int sizeCode;  // 0 none, 1 l, 2 s, 3 b
  uint32_t maxDigits;
  size_t bufferSize;
  char skip;  // 0: none
  bool store;
  bool skipBlanks;
  bool toHeap;
  bool toTemp;
  char delimiter;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a count of at most `cap`, saturating, from the digits at *p.
uint32_t ReadBoundedCount(const char** p, const char* end, uint32_t cap) {
  uint32_t value = 0;
  while (*p < end && IsDigit(**p)) {
    uint32_t digit = static_cast<uint32_t>(*(*p)++ - '0');
    value = value > (cap - digit) / 10 ? cap : value * 10 + digit;
  }
  return value;
}

ScanSpec ReadScanSpec(char letter, const char* p, const char* end) {
  ScanSpec s = {0, kDefaultMaxDigits, kDefaultStringBuffer, 0, true, true, false, false, ' '};
  if (p < end && (*p == 'l' || *p == 's' || *p == 'b')) {
    s.sizeCode = *p == 'l' ? 1 : *p == 's' ? 2 : 3;
    ++p;
  }
  while (p < end) {
    char c = *p++;
    switch (c) {
      case 'l':
        if (p < end && IsDigit(*p)) {
          uint32_t n = ReadBoundedCount(&p, end, 1u << 20);
          if (letter == 's')
            s.bufferSize = n;
          else
            s.maxDigits = n;
        }
        break;
      case 's':
        if (p < end) s.skip = *p++;
        break;
      case 'w': s.store = false; break;
      case 'x': s.skipBlanks = false; break;
      case 'a':
        if (letter == 's') s.toHeap = true;
        break;
      case 't':
        if (letter == 's') s.toTemp = true;
        break;
      case 'd':
        if (letter == 's' && p < end) s.delimiter = *p++;
        break;
      default: break;
    }
  }
  return s;
}

struct Cursor {
  const char* p;
  const char* end;
  char Peek() const { return p < end ? *p : 0; }
};

// Room for a value of the given size code: magnitudes allowed for positive and negative values.
void Limits(const ScanSpec& s, bool isSigned, uint64_t* positive, uint64_t* negative) {
  int bits = s.sizeCode == 2 ? 16 : s.sizeCode == 3 ? 8 : 32;
  uint64_t span = 1ull << bits;
  if (isSigned) {
    *positive = span / 2 - 1;
    *negative = span / 2;
  } else {
    *positive = span - 1;
    *negative = 0;
  }
}

void StoreInteger(const ScanSpec& s, void* target, uint64_t bits) {
  if (!s.store) return;
  switch (s.sizeCode) {
    case 2: *static_cast<uint16_t*>(target) = static_cast<uint16_t>(bits); break;
    case 3: *static_cast<uint8_t*>(target) = static_cast<uint8_t>(bits); break;
    default: *static_cast<uint32_t*>(target) = static_cast<uint32_t>(bits); break;
  }
}

// d, u and x. For x, the whole width of the variable is open to either sign: a
// negative hex figure is stored as its two's complement.
bool ScanInteger(Cursor* c, const ScanSpec& s, char letter, va_list* args) {
  bool allowSign = letter != 'u';
  unsigned base = letter == 'x' ? 16 : 10;
  bool negative = false;
  if (allowSign && (c->Peek() == '+' || c->Peek() == '-')) {
    negative = c->Peek() == '-';
    ++c->p;
  }
  uint64_t positiveMax, negativeMax;
  Limits(s, letter == 'd', &positiveMax, &negativeMax);
  if (letter == 'x') negativeMax = positiveMax;
  uint64_t max = negative ? negativeMax : positiveMax;
  uint64_t value = 0;
  uint32_t digits = 0;
  while (digits < s.maxDigits) {
    int d = base == 16 ? HexValue(c->Peek()) : (IsDigit(c->Peek()) ? c->Peek() - '0' : -1);
    if (d < 0) break;
    // value <= max <= 2^32 here, so this cannot overflow 64 bits.
    value = value * base + static_cast<uint64_t>(d);
    if (value > max) return false;
    ++c->p;
    ++digits;
  }
  if (digits == 0) return false;
  void* target = s.store ? va_arg(*args, void*) : nullptr;
  StoreInteger(s, target, negative ? 0 - value : value);
  return true;
}

bool ScanReal(Cursor* c, const ScanSpec& s, va_list* args) {
  const char* start = c->p;
  if (c->Peek() == '+' || c->Peek() == '-') ++c->p;
  const char* number = c->p;
  size_t digits = 0;
  while (IsDigit(c->Peek())) ++c->p, ++digits;
  if (c->Peek() == '.') {
    ++c->p;
    while (IsDigit(c->Peek())) ++c->p, ++digits;
  }
  if (digits == 0) {
    c->p = start;
    return false;
  }
  double value = 0;
  auto done = std::from_chars(number, c->p, value, std::chars_format::fixed);
  if (done.ec != std::errc() || done.ptr != c->p) return false;
  if (*start == '-') value = -value;
  if (s.store) *va_arg(*args, double*) = value;
  return true;
}

bool ScanChar(Cursor* c, va_list* args) {
  if (c->p >= c->end) return false;
  *va_arg(*args, char*) = *c->p++;
  return true;
}

bool ScanString(Cursor* c, const ScanSpec& s, va_list* args) {
  const char* start = c->p;
  while (c->p < c->end && *c->p != s.delimiter) ++c->p;
  size_t length = static_cast<size_t>(c->p - start);
  if (length == 0) return false;
  if (!s.store) return true;
  if (s.toHeap || s.toTemp) {
    char* copy = static_cast<char*>(s.toTemp ? JTempAlloc(length + 1) : JAlloc(length + 1));
    memcpy(copy, start, length);
    copy[length] = 0;
    *va_arg(*args, char**) = copy;
    return true;
  }
  // The caller's buffer holds bufferSize bytes; a longer field is read but cut.
  char* buffer = va_arg(*args, char*);
  if (s.bufferSize == 0) return true;
  size_t keep = length < s.bufferSize - 1 ? length : s.bufferSize - 1;
  memcpy(buffer, start, keep);
  buffer[keep] = 0;
  return true;
}

bool ScanDirective(Cursor* c, char letter, const char* dirText, const char* specEnd, va_list* args) {
  if (!strchr("cdfsux", letter) || !letter) return false;
  ScanSpec s = ReadScanSpec(letter, dirText, specEnd);
  const char* before = c->p;
  while (c->p < c->end && ((s.skipBlanks && *c->p == ' ') || (s.skip && *c->p == s.skip))) ++c->p;
  bool ok;
  switch (letter) {
    case 'c': ok = ScanChar(c, args); break;
    case 'f': ok = ScanReal(c, s, args); break;
    case 's': ok = ScanString(c, s, args); break;
    default: ok = ScanInteger(c, s, letter, args); break;
  }
  if (!ok) c->p = before;
  return ok;
}

}  // namespace

bool JScanV(const char* text, const char* format, JScanResult* result, va_list args) {
  va_list ap;
  va_copy(ap, args);
  Cursor c = {text, text + strlen(text)};
  const char* f = format;
  uint32_t matched = 0;
  bool failed = false;
  while (*f && !failed) {
    if (*f != '%') {
      if (c.p < c.end && *c.p == *f) {
        ++c.p;
        ++f;
      } else {
        failed = true;
      }
      continue;
    }
    char letter = f[1];
    if (!letter) {
      ++f;
      break;
    }
    const char* dirText = f + 2;
    const char* specEnd = dirText;
    while (*specEnd && *specEnd != '%') ++specEnd;
    if (ScanDirective(&c, letter, dirText, specEnd, &ap)) {
      ++matched;
      f = *specEnd ? specEnd + 1 : specEnd;
    } else {
      failed = true;
    }
  }
  va_end(ap);
  JScanResult r = {static_cast<size_t>(c.p - text), static_cast<size_t>(c.end - text), matched,
                   static_cast<size_t>(f - format), strlen(format), !failed && !*f};
  if (result) *result = r;
  return r.success;
}

bool JScan(const char* text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool ok = JScanV(text, format, nullptr, args);
  va_end(args);
  return ok;
}

bool JScanAdvance(const char** text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  JScanResult r;
  bool ok = JScanV(*text, format, &r, args);
  va_end(args);
  if (ok) *text += r.consumed;
  return ok;
}
