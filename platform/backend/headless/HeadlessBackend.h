// The backend without a display, used by tests and by runs without a desktop. Its clock
// is virtual: it moves only when someone advances it or sleeps, and waiting for input
// lets that much time pass at once. Tests queue input as a user would give it.
#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "platform/wm/ScreenBackend.h"

namespace platform::backend {

class VirtualClock : public wm::Clock {
 public:
  uint32_t ticks() override { return now_; }
  void sleep(uint32_t ms) override { now_ += ms; }
  void advance(uint32_t ms) { now_ += ms; }
  void set(uint32_t ticks) { now_ = ticks; }

 private:
  uint32_t now_ = 0;
};

class HeadlessBackend : public wm::ScreenBackend {
 public:
  const char* name() const override { return "headless"; }
  wm::Clock& clock() override { return clock_; }
  VirtualClock& virtualClock() { return clock_; }
  bool nextInput(wm::InputEvent* out) override;
  void waitForInput(uint32_t ms) override;
  void present(const Bitmap& framebuffer, const std::vector<Rect>& changed) override;
  void setCursor(wm::CursorShape shape) override { cursor_ = shape; }
  void beep() override { ++beeps_; }
  bool deliversRedFirst() const override { return redFirst_; }
  // Plays a display driver that delivers pixels red first.
  void setRedFirst(bool on) { redFirst_ = on; }

  // --- input as a user gives it -----------------------------------------------------------
  void mouseMove(int x, int y, uint8_t modifiers = 0);
  void mouseDown(int x, int y, int button = 1, uint8_t modifiers = 0);
  void mouseUp(int x, int y, int button = 1, uint8_t modifiers = 0);
  // Move, press and release at one point.
  void click(int x, int y, uint8_t modifiers = 0);
  // Press at one point, move in steps, release at another.
  void drag(int x0, int y0, int x1, int y1, int steps = 4);
  // A key going down (with the character it types, if any) and up again.
  void key(uint16_t code, uint32_t character = 0, uint8_t modifiers = 0);
  // Each character of a UTF-8 text as typed characters.
  void type(const std::string& text);
  void command(uint32_t id);
  void requestClose();
  size_t pendingInput() const { return input_.size(); }

  // --- what the program showed ------------------------------------------------------------
  int presents() const { return presents_; }
  uint64_t pixelsPresented() const { return pixelsPresented_; }
  int beeps() const { return beeps_; }
  wm::CursorShape cursor() const { return cursor_; }

 private:
  void queue(wm::InputEvent::Type type, int x, int y, int button, uint8_t modifiers);

  VirtualClock clock_;
  std::deque<wm::InputEvent> input_;
  int presents_ = 0;
  uint64_t pixelsPresented_ = 0;
  int beeps_ = 0;
  bool redFirst_ = false;
  wm::CursorShape cursor_ = wm::CursorShape::Arrow;
};

}  // namespace platform::backend
