#include "app/shell/out_of_memory.h"

#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_alert.h"
#include "jwin/J_beep.h"

namespace {

// Items of the alert string list.
enum : uint16_t { kMessage = 0, kOk = 1, kMoreInfo = 2, kInfo = 3, kInfoOk = 4 };

}  // namespace

void InstallOutOfMemoryAlert() { JMemSetOutOfMemoryCallback(OutOfMemoryAlert, nullptr); }

void OutOfMemoryAlert(void*, int) {
  JBeep();
  if (!JAlert(nullptr, kJIconNote, JGetAlertString(kMessage), JGetAlertString(kOk), JGetAlertString(kMoreInfo)))
    JAlert(nullptr, kJIconNote, JGetAlertString(kInfo), JGetAlertString(kInfoOk), nullptr);
}
