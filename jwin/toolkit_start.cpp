#include "jwin/toolkit_start.h"

#include "jindep/Ji_tidge.h"

bool JToolkitInit(const JStartValues* values) {
  JWidgetsInstall();
  return JWindowsStart(values);
}

void JToolkitShutdown() { JWindowsStop(); }
