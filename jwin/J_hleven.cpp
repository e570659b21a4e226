#include "jwin/J_hleven.h"

#include <cstring>

#include "jindep/memory.h"
#include "jwin/J_event.h"

namespace {

struct Handler {
  JHighLevelProc proc;
  void* data;
};

Handler handlers[kJRequestKinds] = {};

}  // namespace

void JSetHighLevelHandler(int kind, JHighLevelProc proc, void* data) {
  if (kind < 0 || kind >= kJRequestKinds) return;
  handlers[kind] = {proc, data};
}

void JHighLevelRequest(int kind, const char* path) {
  if (kind < 0 || kind >= kJRequestKinds) return;
  if (handlers[kind].proc)
    handlers[kind].proc(handlers[kind].data, path);
  else if (kind == kJRequestQuit)
    JQuit();
}

void JClearHighLevelHandlers() {
  for (Handler& h : handlers) h = {};
}

int JParseCommandLine(int argc, char** argv, const char** path) {
  *path = nullptr;
  bool print = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (!a || !*a) continue;
    if (std::strcmp(a, "-p") == 0 || std::strcmp(a, "/p") == 0) {
      print = true;
      continue;
    }
    if (a[0] == '-') continue;  // other options are not ours
    *path = a;
    return print ? kJRequestPrintDocuments : kJRequestOpenDocuments;
  }
  return kJRequestOpenApplication;
}

void JRunCommandLine(int argc, char** argv) {
  const char* arg = nullptr;
  const int kind = JParseCommandLine(argc, argv, &arg);
  if (!arg) {
    JHighLevelRequest(kJRequestOpenApplication, nullptr);
    return;
  }
  // A name still in double quotes (from a launcher that passed them on) loses them.
  char* path = JStrDup(arg);
  const size_t n = std::strlen(path);
  if (n >= 2 && path[0] == '"' && path[n - 1] == '"') {
    std::memmove(path, path + 1, n - 2);
    path[n - 2] = '\0';
  }
  JHighLevelRequest(kind, path);
  if (kind == kJRequestPrintDocuments) JHighLevelRequest(kJRequestQuit, nullptr);
  JFree(path);
}
