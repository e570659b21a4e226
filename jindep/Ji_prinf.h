// Formatted text. Directives sit between two percent signs: a letter, an optional
// modifiers, and a closing percent ("%d%", "%d02%", "%f1,3.2,2%", "%s%"); everything
// else is copied. "%%%" writes one percent sign.
//
//   %c%  an int; its low byte as one character
//   %s%  a const char* (never padded or cut)
//   %d%  an int, signed        %u%  an unsigned int        %x%  an unsigned int in upper-case hex
//        modifiers: [size l|s|b] [fill] [width|v] [,limit|,v] - size letters change nothing,
//        a fill is any first character other than 1-9 and v, v takes the figure from an int argument
//   %f%  a double; modifiers: [+|s] integer fill/width/limit [.] fraction fill/min/max
//
// Integer arguments are 32-bit (pass int or unsigned, never a 64-bit value);
// strings are pointers. JFormatNew and JFormatTemp measure first and take a block
// of exactly the right size; no write ever goes past the block it measured.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>

// A new JAlloc string; the caller frees it with JFree.
char* JFormatNew(const char* format, ...);
char* JFormatNewV(const char* format, va_list args);
// A string in temporary memory, valid until the end of the current event-loop step.
char* JFormatTemp(const char* format, ...);
char* JFormatTempV(const char* format, va_list args);
// Writes into the caller's buffer, which must have room, and answers the buffer.
char* JFormatInto(char* buffer, const char* format, ...);
char* JFormatIntoV(char* buffer, const char* format, va_list args);
// As JFormatInto, but never writes more than `size` bytes (terminator included);
// answers the length the whole text needs, not counting the terminator.
size_t JFormatIntoSized(char* buffer, size_t size, const char* format, ...);
size_t JFormatIntoSizedV(char* buffer, size_t size, const char* format, va_list args);
// The length of the text the format produces, terminator not counted.
size_t JFormatLength(const char* format, ...);
// "%d%" and "%u%" of one value; the buffer needs 12 bytes.
char* JFormatInt(char* buffer, int32_t value);
char* JFormatUnsigned(char* buffer, uint32_t value);

// Reading values back out of a text with the same directives. Arguments are
// pointers: int32_t* for d and x (int16_t* with size s, int8_t* with size b),
// uint32_t* (uint16_t*, uint8_t*) for u, char* for c, double* for f, and for s a
// buffer, or a char** with the a (JAlloc) or t (temporary) modifier.
// Modifiers modifiers after the size letter (so "%dll2%" reads two digits): l<n> at most n digits (d, u, x; default 10)
// or for s the size of the buffer (default 256, terminator included), s<c> skip
// repetitions of c before the field, w read without storing (no argument), x keep
// blanks (by default blanks before a field are skipped), and for s: d<c> the
// delimiter (default blank). A number that does not fit the variable fails the scan.
struct JScanResult {
  size_t consumed;      // characters of the text consumed
  size_t textLength;
  uint32_t matched;     // directives matched
  size_t formatPos;     // how far into the format scanning got
  size_t formatLength;
  bool success;         // the whole format was matched
};

bool JScan(const char* text, const char* format, ...);
// On success moves *text past the characters consumed.
bool JScanAdvance(const char** text, const char* format, ...);
bool JScanV(const char* text, const char* format, JScanResult* result, va_list args);
