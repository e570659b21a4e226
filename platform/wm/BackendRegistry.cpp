#include "platform/wm/BackendRegistry.h"

#include <cstdlib>
#include <map>

#include "platform/backend/headless/HeadlessBackend.h"

namespace platform::wm {

namespace {
std::map<std::string, BackendFactory>& Factories() {
  static std::map<std::string, BackendFactory> factories;
  return factories;
}
}  // namespace

void BackendRegistry::Register(const std::string& name, BackendFactory factory) {
  Factories()[name] = std::move(factory);
}

bool BackendRegistry::Has(const std::string& name) {
  return name == "headless" || Factories().count(name) != 0;
}

std::unique_ptr<ScreenBackend> BackendRegistry::Create(const std::string& name, int width, int height) {
  if (name == "headless") return std::make_unique<backend::HeadlessBackend>();
  auto it = Factories().find(name);
  if (it == Factories().end()) return nullptr;
  return it->second(width, height);
}

std::string BackendRegistry::DefaultName() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool haveDisplay = (display && *display) || (wayland && *wayland);
  return haveDisplay && Has("sdl") ? "sdl" : "headless";
}

}  // namespace platform::wm
