// Feeds arbitrary text to the scanner under the formats the program reads outside
// data with (string-list ranges, settings lines, sizes).
#include <cstdint>
#include <cstring>
#include <string>

#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const char* t = text.c_str();
  int32_t a, b;
  int16_t s1, s2;
  uint8_t u8;
  uint32_t u;
  double d;
  char c;
  char buffer[8];
  char* heap = nullptr;
  JScan(t, "%dl% %dl%", &a, &b);
  JScan(t, "%ds% %ds%", &s1, &s2);
  JScan(t, "%ub%%x%%u%", &u8, &a, &u);
  JScan(t, "%dll40%%f%%c%", &a, &d, &c);
  JScan(t, "%sll8d:%:%dlsx%", buffer, &a);
  JScan(t, "%sad=%=%sll8%", &heap, buffer);  // a partial match may have stored the copy
  JFree(heap);
  const char* p = t;
  while (JScanAdvance(&p, "%dw%,")) {
  }
  return 0;
}
