// The running desktop: one backend and one window manager for the whole process. The
// toolkit starts it at start-up and stops it at shut-down; tests may start their own.
#pragma once
#include <memory>
#include <string>

#include "platform/wm/ScreenBackend.h"
#include "platform/wm/WindowManager.h"

namespace platform::wm {

class Desktop {
 public:
  // Replaces any running desktop. Sizes out of range give the default screen.
  static Desktop& Start(std::unique_ptr<ScreenBackend> backend, int width, int height, int depth = 32);
  static void Stop();
  // Null when none runs.
  static Desktop* Current();

  ScreenBackend& backend() { return *backend_; }
  WindowManager& wm() { return *wm_; }

 private:
  std::unique_ptr<ScreenBackend> backend_;
  std::unique_ptr<WindowManager> wm_;
};

}  // namespace platform::wm
