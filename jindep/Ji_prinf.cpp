#include "jindep/Ji_prinf.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "jindep/Ji_tempm.h"
#include "jindep/debug.h"
#include "jindep/memory.h"

namespace {

const char kSource[] = "jindep/Ji_prinf";

// The text of one directive's modifiers: from after the letter up to the closing percent.
struct DirectiveText {
  const char* p;
  const char* end;
  char Peek() const { return p < end ? *p : 0; }
  char PeekAt(size_t k) const { return p + k < end ? p[k] : 0; }
};

// Collects output. Measuring only counts; writing also copies, but never past `end`,
// so a field that comes out longer than it measured cannot overrun its block.
struct Sink {
  char* out;  // null when measuring
  char* end;  // null when the caller vouches for the room
  size_t count;

  void Put(const char* s, size_t n) {
    count += n;
    if (!out) return;
    size_t room = end ? static_cast<size_t>(end - out) : n;
    if (n > room) n = room;
    memcpy(out, s, n);
    out += n;
  }
  void Put(char c) { Put(&c, 1); }
};

// The longest field any directive but %s% makes: 255 integer positions, a point and
// 255 fraction positions, a sign; the conversions behind them need a little more.
constexpr size_t kFieldMax = 1024;

// ---- numbers ------------------------------------------------------------------

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct NumberSpec {
  uint8_t sizeCode;
  char fill;
  uint8_t width;
  uint8_t limit;
};

// A width or limit: digits (their value's low 8 bits), v (the next int argument), or `absent`.
uint8_t ReadFigure(DirectiveText* dirText, va_list* args, uint8_t absent) {
  char c = dirText->Peek();
  if (IsDigit(c)) {
    uint32_t value = 0;
    while (IsDigit(dirText->Peek())) value = (value * 10 + static_cast<uint32_t>(*dirText->p++ - '0')) & 0xFF;
    return static_cast<uint8_t>(value);
  }
  if (c == 'v') {
    ++dirText->p;
    return static_cast<uint8_t>(static_cast<uint16_t>(va_arg(*args, int)) & 0xFF);
  }
  return absent;
}

// Fill, width and limit; the fill is any first character that cannot start a width.
void ReadFillWidthLimit(DirectiveText* dirText, va_list* args, char defaultFill, uint8_t defaultLimit, char* fill,
                        uint8_t* width, uint8_t* limit) {
  char c = dirText->Peek();
  if ((c >= '1' && c <= '9') || c == 'v' || c == 0) {
    *fill = defaultFill;
  } else {
    *fill = c;
    ++dirText->p;
  }
  *width = ReadFigure(dirText, args, 0);
  char next = dirText->PeekAt(1);
  if (dirText->Peek() == ',' && (IsDigit(next) || next == 'v')) {
    ++dirText->p;
    *limit = ReadFigure(dirText, args, defaultLimit);
  } else {
    *limit = defaultLimit;
  }
}

NumberSpec ReadNumberSpec(DirectiveText* dirText, va_list* args) {
  NumberSpec n = {};
  switch (dirText->Peek()) {
    case 'l': n.sizeCode = 1; ++dirText->p; break;
    case 's': n.sizeCode = 2; ++dirText->p; break;
    case 'b': n.sizeCode = 3; ++dirText->p; break;
    default: break;
  }
  ReadFillWidthLimit(dirText, args, ' ', 255, &n.fill, &n.width, &n.limit);
  return n;
}

// Lays out sign, fill and digits in a field of the modifiers's width and limit; when the
// digits exceed the limit the lowest-order ones are kept.
void PutIntegerField(Sink* sink, const NumberSpec& n, bool negative, const char* digits, size_t digitCount) {
  size_t count = digitCount + (negative ? 1 : 0);
  if (count <= n.width) {
    if (negative) sink->Put('-');
    for (size_t i = count; i < n.width; ++i) sink->Put(n.fill);
    sink->Put(digits, digitCount);
    return;
  }
  if (count <= n.limit) {
    if (negative) sink->Put('-');
    sink->Put(digits, digitCount);
  } else {
    // n.limit < count, so n.limit <= digitCount: the sign goes first, then the high digits.
    sink->Put(digits + digitCount - n.limit, n.limit);
  }
}

void PutUnsigned(Sink* sink, DirectiveText* dirText, va_list* args, bool isSigned, unsigned base) {
  NumberSpec n = ReadNumberSpec(dirText, args);
  uint32_t bits = va_arg(*args, unsigned);
  bool negative = isSigned && static_cast<int32_t>(bits) < 0;
  uint32_t magnitude = negative ? 0u - bits : bits;
  char digits[16];
  size_t count = 0;
  char reversed[16];
  do {
    reversed[count++] = "0123456789ABCDEF"[magnitude % base];
    magnitude /= base;
  } while (magnitude);
  for (size_t i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
  PutIntegerField(sink, n, negative, digits, count);
}

void PutD(Sink* sink, DirectiveText* dirText, va_list* args) { PutUnsigned(sink, dirText, args, true, 10); }
void PutU(Sink* sink, DirectiveText* dirText, va_list* args) { PutUnsigned(sink, dirText, args, false, 10); }
void PutX(Sink* sink, DirectiveText* dirText, va_list* args) { PutUnsigned(sink, dirText, args, false, 16); }

// ---- reals --------------------------------------------------------------------

struct RealSpec {
  bool showSign;
  char intFill;
  uint8_t intWidth;
  uint8_t intLimit;
  char fracFill;
  uint8_t fracMin;
  uint8_t fracMax;
};

RealSpec ReadRealSpec(DirectiveText* dirText, va_list* args) {
  RealSpec r = {};
  if (dirText->Peek() == '+') {
    r.showSign = true;
    ++dirText->p;
  } else if (dirText->Peek() == 's') {
    ++dirText->p;
    r.showSign = (va_arg(*args, int) & 0xFF) != 0;
  }
  ReadFillWidthLimit(dirText, args, ' ', 255, &r.intFill, &r.intWidth, &r.intLimit);
  if (dirText->Peek() == '.') ++dirText->p;
  ReadFillWidthLimit(dirText, args, '0', 10, &r.fracFill, &r.fracMin, &r.fracMax);
  return r;
}

// How many fraction digits to show: the minimum, plus any non-zero digits found
// within the maximum, so trailing zeros past the minimum are dropped.
int FractionDigits(double magnitude, const RealSpec& r) {
  char text[64];
  auto done = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 24);
  *done.ptr = 0;
  char digits[25];
  size_t n = 0;
  const char* p = text;
  for (; *p && *p != 'e'; ++p)
    if (IsDigit(*p) && n < sizeof digits) digits[n++] = *p;
  int exponent = *p == 'e' ? atoi(p + 1) : 0;
  bool zero = true;
  for (size_t i = 0; i < n; ++i) zero = zero && digits[i] == '0';
  int point = zero ? 1 : exponent + 1;
  int found = 0;
  int span = static_cast<int>(r.fracMax) - static_cast<int>(r.fracMin);
  for (int t = 0; t < span; ++t) {
    int index = point + r.fracMin + t;
    if (index >= static_cast<int>(n)) break;
    if (index >= 0 && digits[index] != '0') found = t + 1;
  }
  return r.fracMin + found;
}

void PutF(Sink* sink, DirectiveText* dirText, va_list* args) {
  RealSpec r = ReadRealSpec(dirText, args);
  double value = va_arg(*args, double);
  if (std::isnan(value)) {
    sink->Put("NAN", 3);
    return;
  }
  bool negative = value < 0;
  bool showSign = r.showSign || negative;
  double magnitude = std::fabs(value);
  if (showSign) sink->Put(negative ? '-' : '+');
  if (std::isinf(magnitude)) {
    sink->Put("inf", 3);
    return;
  }
  int fraction = FractionDigits(magnitude, r);
  // The value rounded to that many fraction digits, as digits G without leading
  // zeros and the position Q of the decimal point within them.
  char fixed[kFieldMax];
  auto done = std::to_chars(fixed, fixed + sizeof fixed, magnitude, std::chars_format::fixed, fraction);
  char g[kFieldMax];
  int gLength = 0;
  int intDigits = 0;
  bool leading = true;
  int stripped = 0;
  bool inFraction = false;
  for (const char* p = fixed; p < done.ptr; ++p) {
    if (*p == '.') {
      inFraction = true;
      continue;
    }
    if (!inFraction) ++intDigits;
    if (leading && *p == '0') {
      ++stripped;
      continue;
    }
    leading = false;
    g[gLength++] = *p;
  }
  int q = intDigits - stripped;
  int positions = q <= r.intWidth ? r.intWidth : (q < r.intLimit ? q : r.intLimit);
  if (positions == 0) positions = 1;
  for (int k = 0; k < positions; ++k) {
    int index = q - positions + k;
    if (index < 0)
      sink->Put(k == positions - 1 ? '0' : r.intFill);
    else
      sink->Put(index < gLength ? g[index] : '0');
  }
  if (fraction > 0) {
    sink->Put('.');
    for (int k = 0; k < fraction; ++k) {
      int index = q + k;
      if (index < 0)
        sink->Put('0');
      else
        sink->Put(index < gLength ? g[index] : r.fracFill);
    }
  }
}

// ---- the other letters ----------------------------------------------------------

void PutPercent(Sink* sink, DirectiveText*, va_list*) { sink->Put('%'); }

void PutC(Sink* sink, DirectiveText*, va_list* args) { sink->Put(static_cast<char>(va_arg(*args, int) & 0xFF)); }

void PutS(Sink* sink, DirectiveText*, va_list* args) {
  const char* s = va_arg(*args, const char*);
  if (s) sink->Put(s, strlen(s));
}

typedef void (*PutProc)(Sink* sink, DirectiveText* dirText, va_list* args);

PutProc Handler(char letter) {
  switch (letter) {
    case '%': return PutPercent;
    case 'c': return PutC;
    case 'd': return PutD;
    case 'f': return PutF;
    case 's': return PutS;
    case 'u': return PutU;
    case 'x': return PutX;
    default: return nullptr;  // produces nothing and takes no argument
  }
}

// Runs the format once, measuring (sink without output) or writing.
void Run(Sink* sink, const char* format, va_list args) {
  va_list ap;
  va_copy(ap, args);
  const char* f = format;
  while (*f) {
    if (*f != '%') {
      const char* run = f;
      while (*f && *f != '%') ++f;
      sink->Put(run, static_cast<size_t>(f - run));
      continue;
    }
    char letter = f[1];
    if (!letter) break;
    DirectiveText dirText = {f + 2, f + 2};
    while (*dirText.end && *dirText.end != '%') ++dirText.end;
    if (PutProc put = Handler(letter)) put(sink, &dirText, &ap);
    f = *dirText.end ? dirText.end + 1 : dirText.end;
  }
  va_end(ap);
}

size_t Measure(const char* format, va_list args) {
  Sink sink = {nullptr, nullptr, 0};
  Run(&sink, format, args);
  return sink.count;
}

void WriteMeasured(char* block, size_t measured, const char* format, va_list args) {
  Sink sink = {block, block + measured, 0};
  Run(&sink, format, args);
  size_t written = static_cast<size_t>(sink.out - block);
  block[written] = 0;
  if (sink.count != measured) {
    JDebugReport(kSource, __LINE__, "Wrong length!");
    JDebugNumber(static_cast<int32_t>(sink.count));
    JDebugNumber(static_cast<int32_t>(measured));
    JDebugText(format);
  }
}

// Measures the text, takes a block of exactly that size from `take`, and writes it.
char* FormatInNewBlock(void* (*take)(size_t), const char* format, va_list args) {
  size_t measured = Measure(format, args);
  char* block = static_cast<char*>(take(measured + 1));
  WriteMeasured(block, measured, format, args);
  return block;
}

}  // namespace

char* JFormatNewV(const char* format, va_list args) { return FormatInNewBlock(JAlloc, format, args); }

char* JFormatNew(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char* s = JFormatNewV(format, args);
  va_end(args);
  return s;
}

char* JFormatTempV(const char* format, va_list args) { return FormatInNewBlock(JTempAlloc, format, args); }

char* JFormatTemp(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char* s = JFormatTempV(format, args);
  va_end(args);
  return s;
}

char* JFormatIntoV(char* buffer, const char* format, va_list args) {
  Sink sink = {buffer, nullptr, 0};
  Run(&sink, format, args);
  *sink.out = 0;
  return buffer;
}

char* JFormatInto(char* buffer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  JFormatIntoV(buffer, format, args);
  va_end(args);
  return buffer;
}

size_t JFormatIntoSizedV(char* buffer, size_t size, const char* format, va_list args) {
  if (size == 0) return Measure(format, args);
  Sink sink = {buffer, buffer + size - 1, 0};
  Run(&sink, format, args);
  *sink.out = 0;
  return sink.count;
}

size_t JFormatIntoSized(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  size_t n = JFormatIntoSizedV(buffer, size, format, args);
  va_end(args);
  return n;
}

size_t JFormatLength(const char* format, ...) {
  va_list args;
  va_start(args, format);
  size_t n = Measure(format, args);
  va_end(args);
  return n;
}

char* JFormatInt(char* buffer, int32_t value) { return JFormatInto(buffer, "%d%", static_cast<int>(value)); }

char* JFormatUnsigned(char* buffer, uint32_t value) {
  return JFormatInto(buffer, "%u%", static_cast<unsigned>(value));
}
