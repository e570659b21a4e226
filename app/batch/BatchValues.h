// The values the batch mode's options take, read strictly: a value is taken whole or
// refused, never partly.
#pragma once
#include <cstdint>

// A whole decimal number, possibly negative, with nothing but blanks after it: what the
// controls panel accepts in its number fields. Far larger numbers stay out of range.
bool ReadInteger(const char* text, int64_t* value);
// Six hexadecimal digits RRGGBB, with or without a leading '#'.
bool ReadColour(const char* text, uint32_t* colour);
// Two whole numbers "a,b", each from `low` to `high`.
bool ReadPair(const char* text, int low, int high, int* a, int* b);
// A per cent figure from 0 to 100, such as 95, 99.5 or 99.5%.
bool ReadPercent(const char* text, double* value);
