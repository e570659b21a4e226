// Backends by name. The headless backend is always there; others (the desktop one)
// register themselves when they are linked into the program.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/wm/ScreenBackend.h"

namespace platform::wm {

using BackendFactory = std::function<std::unique_ptr<ScreenBackend>(int width, int height)>;

class BackendRegistry {
 public:
  static void Register(const std::string& name, BackendFactory factory);
  static bool Has(const std::string& name);
  // Null when no backend of that name exists or it cannot start (no display).
  static std::unique_ptr<ScreenBackend> Create(const std::string& name, int width, int height);
  // The backend to use when none is named: the desktop one when a display is there.
  static std::string DefaultName();
};

}  // namespace platform::wm
