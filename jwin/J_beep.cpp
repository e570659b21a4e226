#include "jwin/J_beep.h"

#include "jwin/J_platform.h"

void JBeep() {
  if (JDesktopRunning()) JWindowManager().beep();
}
