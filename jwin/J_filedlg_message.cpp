// The file dialogs' messages (modal, titled alerts) and the watcher told whenever one
// of their windows waits for the user.
#include <cstring>

#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_alert.h"
#include "jwin/J_beep.h"
#include "jwin/J_filedlg_state.h"

namespace {

JFileDialogWatcher watcher = nullptr;
void* watcherData = nullptr;

// Names and paths longer than this are shortened in messages, which would not fit the
// screen: their start and their end are kept.
constexpr size_t kShownMax = 64;
constexpr size_t kShownPart = 30;

char* Shown(const char* text) {
  if (!text) return JStrDup("");
  const size_t n = std::strlen(text);
  if (n <= kShownMax) return JStrDup(text);
  // Whole characters only: the cuts move off continuation bytes.
  size_t head = kShownPart, tail = n - kShownPart;
  while (head > 0 && (static_cast<unsigned char>(text[head]) & 0xC0) == 0x80) --head;
  while (tail < n && (static_cast<unsigned char>(text[tail]) & 0xC0) == 0x80) ++tail;
  char* shown = static_cast<char*>(JAlloc(head + 3 + (n - tail) + 1));
  std::memcpy(shown, text, head);
  std::memcpy(shown + head, "...", 3);
  std::memcpy(shown + head + 3, text + tail, n - tail + 1);
  return shown;
}

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
  char* first = Shown(argument1);
  char* second = Shown(argument2);
  char* text = JFormatNew(JFileDialogText(static_cast<uint16_t>(textString)), first, second);
  JFree(first);
  JFree(second);
  // Errors are heard as well as seen; the overwrite question is not an error.
  if (!question) JBeep();
  // Closing the alert without a button (its window torn down) counts as No.
  bool answer = !question;
  const char* title = JFileDialogText(static_cast<uint16_t>(titleString));
  JWindow* alert = question ? JAlertModelessTitled(parent, title, kJIconNote, text, JFileDialogText(kStrYesButton),
                                                   JFileDialogText(kStrNoButton), Answer, &answer)
                            : JAlertModelessTitled(parent, title, kJIconWarning, text, JFileDialogText(kStrOkButton),
                                                   nullptr, Answer, &answer);
  if (alert) {
    JFileDialogNotify(alert, text);
    JRunModal(alert);
    // The window the message was about takes the keys again.
    if (parent && !(parent->state & kJWindowClosed)) JSelectWindow(parent);
  }
  JFree(text);
  return answer;
}
