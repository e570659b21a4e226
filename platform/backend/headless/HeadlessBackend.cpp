#include "platform/backend/headless/HeadlessBackend.h"

#include "platform/wm/Utf8.h"


namespace platform::backend {

using wm::InputEvent;

bool HeadlessBackend::nextInput(InputEvent* out) {
  if (input_.empty()) return false;
  *out = input_.front();
  input_.pop_front();
  return true;
}

void HeadlessBackend::waitForInput(uint32_t ms) {
  // Queued input needs no waiting; otherwise the wait is time that passes.
  if (input_.empty()) clock_.advance(ms);
}

void HeadlessBackend::present(const Bitmap&, const std::vector<Rect>& changed) {
  if (changed.empty()) return;
  ++presents_;
  for (const Rect& r : changed) pixelsPresented_ += static_cast<uint64_t>(r.width()) * r.height();
}

void HeadlessBackend::queue(InputEvent::Type type, int x, int y, int button, uint8_t modifiers) {
  InputEvent e;
  e.type = type;
  e.x = x;
  e.y = y;
  e.button = button;
  e.modifiers = modifiers;
  input_.push_back(e);
}

void HeadlessBackend::mouseMove(int x, int y, uint8_t modifiers) {
  queue(InputEvent::Type::MouseMove, x, y, 0, modifiers);
}

void HeadlessBackend::mouseDown(int x, int y, int button, uint8_t modifiers) {
  queue(InputEvent::Type::MouseDown, x, y, button, modifiers);
}

void HeadlessBackend::mouseUp(int x, int y, int button, uint8_t modifiers) {
  queue(InputEvent::Type::MouseUp, x, y, button, modifiers);
}

void HeadlessBackend::click(int x, int y, uint8_t modifiers) {
  mouseMove(x, y, modifiers);
  mouseDown(x, y, 1, modifiers);
  mouseUp(x, y, 1, modifiers);
}

void HeadlessBackend::drag(int x0, int y0, int x1, int y1, int steps) {
  mouseMove(x0, y0);
  mouseDown(x0, y0);
  if (steps < 1) steps = 1;
  for (int i = 1; i <= steps; ++i) mouseMove(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
  mouseUp(x1, y1);
}

void HeadlessBackend::key(uint16_t code, uint32_t character, uint8_t modifiers) {
  InputEvent e;
  e.type = InputEvent::Type::KeyDown;
  e.key = code;
  e.character = character;
  e.modifiers = modifiers;
  input_.push_back(e);
  e.type = InputEvent::Type::KeyUp;
  e.character = 0;
  input_.push_back(e);
}

void HeadlessBackend::type(const std::string& text) {
  for (uint32_t code : wm::DecodeUtf8(text)) {
    InputEvent e;
    e.type = InputEvent::Type::Text;
    e.character = code;
    input_.push_back(e);
  }
}

void HeadlessBackend::command(uint32_t id) {
  InputEvent e;
  e.type = InputEvent::Type::Command;
  e.command = id;
  input_.push_back(e);
}

void HeadlessBackend::requestClose() {
  InputEvent e;
  e.type = InputEvent::Type::CloseRequest;
  input_.push_back(e);
}

}  // namespace platform::backend
