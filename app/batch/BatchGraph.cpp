#include "app/batch/BatchGraph.h"

#include <cstring>

#include "app/graphs/GraphPicture.h"
#include "jindep/Ji_prinf.h"
#include "jindep/string_lists.h"
#include "jwin/J_event.h"
#include "jwin/toolkit_start.h"

bool BatchParseGraph(int argc, char** argv, int* i, BatchGraphOption* option, char** problem) {
  static const char* const kKinds[] = {"quality", "error", "size"};
  if (*i + 2 >= argc) {
    *problem = JFormatNew(JStr(kStrBatchMissingValue), argv[*i]);
    return false;
  }
  const char* kind = argv[++*i];
  option->path = argv[++*i];
  option->kind = 0;
  for (uint8_t k = 0; k < 3; ++k)
    if (!strcmp(kind, kKinds[k])) option->kind = static_cast<uint8_t>(k + 1);
  if (option->kind == 0) {
    *problem = JFormatNew(JStr(kStrBatchBadGraphKind), kind);
    return false;
  }
  return true;
}

bool BatchWriteGraph(Document* document, const BatchGraphOption* option, char** problem) {
  const bool start = !JToolkitStarted();
  if (start) {
    JStartValues values = {"headless", 0, 0, 0, nullptr, 0, 0};
    if (!JToolkitInit(&values)) {
      *problem = JFormatNew(JStr(kStrBatchCannotWriteGraph), option->path, "no drawing");
      return false;
    }
  }
  char reason[256] = "";
  const bool written =
      WriteGraphPicture(document, static_cast<GraphKind>(option->kind), option->path, reason, sizeof reason);
  if (start) JToolkitShutdown();
  if (!written) *problem = JFormatNew(JStr(kStrBatchCannotWriteGraph), option->path, reason);
  return written;
}
