#include "app/shell/DisplayCheck.h"

#include "app/shell/Settings.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_alert.h"
#include "jwin/pixel_map.h"

namespace {
constexpr uint16_t kShallowDepth = 8;
}  // namespace

bool CheckDisplayDepth() {
  const uint16_t depth = JDisplayDepth();
  if (!ShowDepthWarning() || depth > kShallowDepth) return true;
  char* text = JFormatNew(JStr(kStrDepthWarning), 1u << depth, static_cast<unsigned>(depth));
  JAlert(nullptr, kJIconDepthWarning, text, JStr(kStrDepthWarningOk), nullptr);
  JFree(text);
  return false;
}
