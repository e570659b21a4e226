// Raw input as a backend delivers it, in screen coordinates, before the window
// manager decides which window it concerns.
#pragma once
#include <cstdint>

namespace platform::wm {

struct InputEvent {
  enum class Type : uint8_t {
    MouseMove,
    MouseDown,
    MouseUp,
    KeyDown,  // a non-zero `character` also produces a character message
    KeyUp,
    Text,          // one character typed, without a key
    Command,       // a menu command for the main frame
    CloseRequest,  // the desktop asked the program's main window to close
  };
  Type type = Type::MouseMove;
  int x = 0;
  int y = 0;
  int button = 1;
  uint16_t key = 0;
  uint32_t character = 0;
  uint8_t modifiers = 0;
  uint32_t command = 0;
};

}  // namespace platform::wm
