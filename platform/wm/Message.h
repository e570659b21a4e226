// Messages the window manager posts for the windows of the program.
#pragma once
#include <cstdint>

namespace platform::wm {

using WindowId = uint32_t;  // 0 is no window

enum class MessageType : uint8_t {
  Paint,
  MouseDown,
  MouseUp,
  MouseMove,
  NonClientDown,  // a press on the frame, caption, a box or the menu bar
  KeyDown,
  KeyUp,
  Char,
  Activate,  // `active` tells which way
  Size,      // client width and height in x, y
  Move,      // client origin on the screen in x, y
  Close,
  Command,  // menu or accelerator command `command`
  Timer,    // `command` carries the timer id
};

// Modifier bits of input messages.
enum Modifier : uint8_t { kShift = 1, kCtrl = 2, kAlt = 4 };

// Key codes for keys without a character; character keys use their lower-case ASCII code.
enum KeyCode : uint16_t {
  kKeyBackspace = 8,
  kKeyTab = 9,
  kKeyReturn = 13,
  kKeyEscape = 27,
  kKeyDelete = 127,
  kKeyLeft = 0x100,
  kKeyRight,
  kKeyUp,
  kKeyDown,
  kKeyHome,
  kKeyEnd,
  kKeyPageUp,
  kKeyPageDown,
  kKeyInsert,
  kKeyF1,  // F1 to F12 follow in order
};

struct Message {
  MessageType type = MessageType::Paint;
  WindowId window = 0;
  int x = 0;  // client coordinates for mouse messages
  int y = 0;
  int screenX = 0;
  int screenY = 0;
  int button = 0;  // 1 left, 2 middle, 3 right
  uint16_t key = 0;
  uint32_t character = 0;
  uint8_t modifiers = 0;
  bool active = false;
  uint32_t command = 0;
  uint32_t time = 0;  // tick count when posted
};

}  // namespace platform::wm
