#include "platform/wm/Desktop.h"

namespace platform::wm {

namespace {
std::unique_ptr<Desktop>& Running() {
  static std::unique_ptr<Desktop> running;
  return running;
}
}  // namespace

Desktop& Desktop::Start(std::unique_ptr<ScreenBackend> backend, int width, int height, int depth) {
  Stop();
  auto d = std::unique_ptr<Desktop>(new Desktop());
  d->backend_ = std::move(backend);
  d->wm_ = std::make_unique<WindowManager>(*d->backend_, width, height);
  d->wm_->screen().setDepth(depth);
  Running() = std::move(d);
  return *Running();
}

void Desktop::Stop() {
  // The window manager goes before the backend it draws to.
  if (Running()) Running()->wm_.reset();
  Running().reset();
}

Desktop* Desktop::Current() { return Running().get(); }

}  // namespace platform::wm
