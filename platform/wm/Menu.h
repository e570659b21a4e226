// Menus as the window manager shows them: the main frame's menu bar with its drop-down
// menus, and the system menus of framed windows. Labels carry their keyboard letter
// after an '&' and their shortcut text after a tab ("&Open...\tCtrl+O").
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform::wm {

struct MenuItem {
  std::string label;
  uint32_t command = 0;  // posted to the main frame when chosen
  bool enabled = true;
  bool checked = false;
  bool separator = false;
};

struct Menu {
  std::string title;
  bool enabled = true;
  std::vector<MenuItem> items;
};

// Commands of the system menus, handled by the window manager itself.
enum SystemCommand : uint32_t { kSystemClose = 0xF060, kSystemNextWindow = 0xF040 };

// A label split for drawing: the text without its '&', the letter to underline, and
// the shortcut text.
struct MenuLabel {
  std::string text;
  std::string shortcut;
  int underline = -1;  // byte index into text, or -1

  static MenuLabel Parse(const std::string& label);
};

}  // namespace platform::wm
