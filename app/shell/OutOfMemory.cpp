#include "app/shell/OutOfMemory.h"

#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_alert.h"
#include "jwin/J_beep.h"

namespace {

// Items of the alert string list.
enum : uint16_t { kMessage = 0, kOk = 1, kMoreInfo = 2, kInfo = 3, kInfoOk = 4 };

}  // namespace

void InstallOutOfMemoryAlert() {
  JMemSetOutOfMemoryCallback(OutOfMemoryAlert, nullptr);
  // The texts are loaded now, while memory is there to load them: when it has run out,
  // the emergency reserve is better left to the windows of the alert.
  JGetAlertString(kMessage);
}

void OutOfMemoryAlert(void*, int) {
  JBeep();
  if (!JAlert(nullptr, kJIconNote, JGetAlertString(kMessage), JGetAlertString(kOk), JGetAlertString(kMoreInfo)))
    JAlert(nullptr, kJIconNote, JGetAlertString(kInfo), JGetAlertString(kInfoOk), nullptr);
}
