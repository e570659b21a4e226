#include "jwin/toolkit_start.h"

#include "jindep/Ji_tidge.h"
#include "jwin/pixel_buffer.h"

bool JToolkitInit(const JStartValues* values) {
  JWidgetsInstall();
  if (!JWindowsStart(values)) return false;
  // How the display delivers pixels is learnt before any picture is read.
  JPixelOrderProbe();
  return true;
}

void JToolkitShutdown() { JWindowsStop(); }
