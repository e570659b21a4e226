// The About box: the program's artwork in a window without a frame, over the screen that
// was under it at start-up, with the version beneath it; a click or a key in either closes it.
#pragma once
#include <cstdint>

struct JMenuItem;
struct JWindow;

// As the start-up splash, its closing runs the rest of the start-up (StartUpFollowUp).
void OpenAbout(bool splash = false);
void AboutCommand(JMenuItem* item, void* data);
// Closing a splash runs the rest of the start-up unless `followUp` is false (a picture
// asked to be opened takes its place).
void CloseAbout(bool followUp = true);
JWindow* AboutWindow();  // null when closed
// Keeps the screen area the box will cover once the main window has the given frame
// (screen coordinates): the box is drawn over it.
void CaptureAboutBackdrop(int16_t left, int16_t top, int16_t width, int16_t height);
