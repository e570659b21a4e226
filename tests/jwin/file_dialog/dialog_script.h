// Answers file dialogs and their messages from a script. Each time a dialog window
// waits for the user, the next step gives its input; with no step left the wait is
// answered (Return for a message, Escape for the dialog) so that a failing test cannot
// hang. Shared by the dialog tests and the whole-program tests.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "jwin/J_filedlg.h"
#include "jwin/J_window.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/wm/Desktop.h"

inline platform::backend::HeadlessBackend& HeadlessInput() {
  return static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend());
}

class DialogScript {
 public:
  // Called with the waiting window and the text of its message (null for a dialog).
  using Step = std::function<void(JWindow*, const char*)>;

  DialogScript() { JSetFileDialogWatcher(Watch, this); }
  ~DialogScript() { JSetFileDialogWatcher(nullptr, nullptr); }
  DialogScript(const DialogScript&) = delete;

  void then(Step step) { steps_.push_back(std::move(step)); }
  size_t stepsLeft() const { return steps_.size(); }

  std::vector<std::string> messages;  // "Title: text" of every message a dialog showed
  int unexpected = 0;                 // waits nobody scripted

 private:
  static void Watch(void* data, JWindow* window, const char* message) {
    DialogScript* s = static_cast<DialogScript*>(data);
    if (message) s->messages.push_back(std::string(window->title) + ": " + message);
    if (s->steps_.empty()) {
      ++s->unexpected;
      if (message)
        HeadlessInput().key(platform::wm::kKeyReturn, '\r');
      else
        HeadlessInput().key(platform::wm::kKeyEscape, 27);
      return;
    }
    Step step = std::move(s->steps_.front());
    s->steps_.pop_front();
    step(window, message);
  }

  std::deque<Step> steps_;
};
