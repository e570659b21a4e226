// The About box: the program's artwork in a window without a frame, over the screen that
// was under it at start-up, with the version beneath it; a click or a key in either closes it.
#pragma once
#include <cstdint>

struct JMenuItem;
struct JWindow;

void OpenAbout();
void AboutCommand(JMenuItem* item, void* data);
void CloseAbout();
JWindow* AboutWindow();  // null when closed
// Keeps the screen area the box will cover once the main window has the given frame
// (screen coordinates): the box is drawn over it.
void CaptureAboutBackdrop(int16_t left, int16_t top, int16_t width, int16_t height);
