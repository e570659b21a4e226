// The desktop backend: one SDL window showing the framebuffer 1:1, real input and the
// real clock. It registers itself as "sdl" when linked into a program.
#pragma once
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "platform/wm/ScreenBackend.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
union SDL_Event;

namespace platform::backend {

class X11Clipboard;

class SdlClock : public wm::Clock {
 public:
  uint32_t ticks() override;
  void sleep(uint32_t ms) override;
};

class SdlBackend : public wm::ScreenBackend {
 public:
  // Null when SDL cannot open a window (no display).
  static std::unique_ptr<SdlBackend> Open(int width, int height);
  ~SdlBackend() override;

  const char* name() const override { return "sdl"; }
  wm::Clock& clock() override { return clock_; }
  bool nextInput(wm::InputEvent* out) override;
  void waitForInput(uint32_t ms) override;
  void present(const Bitmap& framebuffer, const std::vector<Rect>& changed) override;
  void setCursor(wm::CursorShape shape) override;
  void warpPointer(int x, int y) override;
  void beep() override { ++beeps_; }

 private:
  SdlBackend() = default;
  void translate(const SDL_Event& e);
  // Copies an area of the framebuffer into the window's texture.
  void upload(const Bitmap& fb, const Rect& r);

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::map<int, SDL_Cursor*> cursors_;
  std::vector<uint32_t> rgb_;  // an indexed framebuffer's area in colours, for uploading
  std::deque<wm::InputEvent> pending_;
  SdlClock clock_;
  // The desktop's clipboard, offered to the platform clipboard while the window lives.
  std::unique_ptr<X11Clipboard> desktopClipboard_;
  bool exposed_ = false;  // the desktop lost our pixels: show everything again
  uint16_t keyModifiers_ = 0;  // as of the last key event read, in the order they came
  int beeps_ = 0;
};

}  // namespace platform::backend
