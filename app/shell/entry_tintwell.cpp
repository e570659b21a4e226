// The program's entry: takes the desktop options, starts the toolkit with the remaining
// arguments, runs the application and shuts the toolkit down.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell/MainRoutine.h"
#include "jindep/memory.h"
#include "jwin/J_event.h"
#include "jwin/toolkit_start.h"

namespace {

bool IsDisplayDepth(long depth) {
  return depth == 4 || depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

// "WxH" with both sizes between 64 and 16384, and optionally "xD", the display's bits a
// pixel (4, 8, 15, 16, 24 or 32).
bool ParseSize(const char* text, int* width, int* height, int* depth) {
  char* end = nullptr;
  const long w = std::strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return false;
  const char* second = end + 1;
  const long h = std::strtol(second, &end, 10);
  if (end == second || w < 64 || h < 64 || w > 16384 || h > 16384) return false;
  long d = 0;
  if (*end == 'x' || *end == 'X') {
    const char* third = end + 1;
    d = std::strtol(third, &end, 10);
    if (end == third || !IsDisplayDepth(d)) return false;
  }
  if (*end != '\0') return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  *depth = static_cast<int>(d);
  return true;
}

// The value of "--name value" or "--name=value"; advances *i past a separate value.
const char* OptionValue(int argc, char** argv, int* i, const char* name) {
  const size_t n = std::strlen(name);
  const char* a = argv[*i];
  if (std::strncmp(a, name, n) != 0) return nullptr;
  if (a[n] == '=') return a + n + 1;
  if (a[n] != '\0') return nullptr;
  if (*i + 1 >= argc) return "";
  return argv[++*i];
}

}  // namespace

int main(int argc, char** argv) {
  JStartValues start = {};
  // The rest of the arguments, program path first, go on to the toolkit.
  char** rest = static_cast<char**>(JAlloc(sizeof(char*) * static_cast<size_t>(argc + 1)));
  int restCount = 0;
  rest[restCount++] = argv[0];
  for (int i = 1; i < argc; ++i) {
    if (const char* backend = OptionValue(argc, argv, &i, "--backend")) {
      if (std::strcmp(backend, "headless") != 0 && std::strcmp(backend, "sdl") != 0) {
        std::fprintf(stderr, "tintwell: --backend takes headless or sdl\n");
        JFree(rest);
        return 1;
      }
      start.backend = backend;
    } else if (const char* size = OptionValue(argc, argv, &i, "--screen")) {
      if (!ParseSize(size, &start.screenWidth, &start.screenHeight, &start.screenDepth)) {
        std::fprintf(stderr, "tintwell: --screen takes WIDTHxHEIGHT[xDEPTH], each side 64 to 16384, depth 4, 8, 15, 16, 24 or 32\n");
        JFree(rest);
        return 1;
      }
    } else {
      rest[restCount++] = argv[i];
    }
  }
  rest[restCount] = nullptr;
  start.argc = restCount;
  start.argv = rest;
  start.showCommand = 1;
  if (!JToolkitInit(&start)) {
    JFree(rest);
    return 1;
  }
  ApplicationMain();
  JToolkitShutdown();
  JFree(rest);
  return 0;
}
