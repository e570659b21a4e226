// The file dialogs' messages (modal, titled alerts) and the watcher told whenever one
// of their windows waits for the user.
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_alert.h"
#include "jwin/J_beep.h"
#include "jwin/J_filedlg_state.h"

namespace {

JFileDialogWatcher watcher = nullptr;
void* watcherData = nullptr;

void Answer(void* data, bool first) { *static_cast<bool*>(data) = first; }

}  // namespace

const char* JFileDialogText(uint16_t id) {
  const char* s = JResourceString(id);
  return s ? s : "";
}

void JSetFileDialogWatcher(JFileDialogWatcher proc, void* data) {
  watcher = proc;
  watcherData = data;
}

void JFileDialogNotify(JWindow* window, const char* message) {
  if (watcher && window && !(window->state & kJWindowClosed)) watcher(watcherData, window, message);
}

bool JFileDialogMessage(JWindow* parent, int16_t titleString, int16_t textString, const char* argument1,
                        const char* argument2, bool question) {
  char* text = JFormatNew(JFileDialogText(static_cast<uint16_t>(textString)), argument1 ? argument1 : "", argument2 ? argument2 : "");
  // Errors are heard as well as seen; the overwrite question is not an error.
  if (!question) JBeep();
  // Closing the alert without a button (its window torn down) counts as No.
  bool answer = !question;
  JWindow* alert = JAlertModelessTitled(parent, JFileDialogText(static_cast<uint16_t>(titleString)), question ? kJIconNote : kJIconWarning, text,
                                        JFileDialogText(question ? kStrYesButton : kStrOkButton),
                                        question ? JFileDialogText(kStrNoButton) : nullptr, Answer, &answer);
  if (alert) {
    JFileDialogNotify(alert, text);
    JRunModal(alert);
    // The window the message was about takes the keys again.
    if (parent && !(parent->state & kJWindowClosed)) JSelectWindow(parent);
  }
  JFree(text);
  return answer;
}
