// The magnifier window: one for the program, holding the magnifier widget at zoom 3,
// against the main window's lower right corner.
#pragma once
#include <cstdint>

struct JMenuItem;
struct JWindow;

// Brings the window forward when it is open; otherwise makes it and shows it, taking the
// focus only when `activate` is set (start-up opens it without).
void ShowMagnifier(bool activate);
void ShowMagnifierCommand(JMenuItem* item, void* data);
JWindow* MagnifierWindow();  // null when closed
// The room other windows at the main window's lower right corner leave for the magnifier
// below them: its frame's height plus 5, as recorded by the last ShowMagnifier (0 before).
int16_t MagnifierAllowance();
