// The About box: the program's artwork, softened, in a window without a frame, with the
// version beneath it; a click or a key in either closes it.
#pragma once

struct JMenuItem;
struct JWindow;

void OpenAbout();
void AboutCommand(JMenuItem* item, void* data);
void CloseAbout();
JWindow* AboutWindow();  // null when closed
