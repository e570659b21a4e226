// Text in the current graphics context's font and foreground colour.
#pragma once
#include <cstdint>

struct JTextSizeRecord {
  int16_t width;
  int16_t ascent;
  int16_t descent;
};

// Draws with the baseline at v. With the outline style the string is drawn at the eight
// neighbouring positions in the foreground colour and then at (h, v) in the background colour.
void JDrawText(int16_t h, int16_t v, const char* text);
void JDrawTextLength(int16_t h, int16_t v, const char* text, int32_t length);
// Width of the string and the ascent and descent of the current font.
void JTextSize(const char* text, JTextSizeRecord* size);
void JTextSizeLength(const char* text, int32_t length, JTextSizeRecord* size);
