// A headless desktop with an 800 x 600 main frame (sizable, with every box); windows
// given a colour paint themselves in it whenever asked.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/wm/Metrics.h"
#include "platform/wm/WindowManager.h"

class Desk : public ::testing::Test {
 protected:
  using Colour = platform::Colour;
  using Rect = platform::Rect;
  using WindowId = platform::wm::WindowId;
  using Message = platform::wm::Message;

  void SetUp() override {
    platform::wm::WindowStyle s;
    s.sizable = s.minimizeBox = s.maximizeBox = s.systemMenu = true;
    s.background = platform::wm::Palette::kWorkspace;
    frame_ = wm_.createWindow(platform::wm::WindowKind::MainFrame, s, "Main", {0, 0, 800, 600});
    wm_.show(frame_, true);
  }

  WindowId document(const Rect& frame, Colour colour) {
    platform::wm::WindowStyle s;
    s.sizable = s.maximizeBox = s.minimizeBox = true;
    s.minTrackWidth = s.minTrackHeight = 40;
    return paintedWindow(platform::wm::WindowKind::Document, s, frame, colour);
  }

  WindowId paintedWindow(platform::wm::WindowKind kind, const platform::wm::WindowStyle& s, const Rect& frame,
                         Colour colour) {
    const WindowId id = wm_.createWindow(kind, s, "Window", frame);
    colours_[id] = colour;
    wm_.show(id, true);
    return id;
  }

  // Runs every waiting message: windows paint, the rest is collected.
  std::vector<Message> run() {
    wm_.pumpInput();
    std::vector<Message> seen;
    Message m;
    while (wm_.nextMessage(&m, 0, true)) {
      if (m.type == platform::wm::MessageType::Paint && colours_.count(m.window)) {
        platform::wm::Window* w = wm_.window(m.window);
        for (const Rect& r : wm_.paintRegion(m.window)->rects())
          for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) w->backing().row32(y)[x] = colours_[m.window];
      }
      seen.push_back(m);
      wm_.pumpInput();
    }
    wm_.compose();
    return seen;
  }

  static int Count(const std::vector<Message>& ms, platform::wm::MessageType t, WindowId w) {
    int n = 0;
    for (const Message& m : ms) n += m.type == t && m.window == w;
    return n;
  }

  Colour at(int x, int y) { return wm_.screen().pixel(x, y); }
  Rect screenClient(WindowId id) { return wm_.screenClientRect(*wm_.window(id)); }
  Rect screenFrame(WindowId id) { return wm_.screenFrame(*wm_.window(id)); }

  platform::backend::HeadlessBackend backend_;
  platform::wm::WindowManager wm_{backend_, 1024, 768};
  WindowId frame_ = 0;
  std::map<WindowId, Colour> colours_;
};
