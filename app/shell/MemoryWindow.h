// The memory-usage window: one bar of the program's memory, free, temporary and used,
// refreshed every second while it is open.
#pragma once

struct JMenuItem;
struct JWindow;

// Opens the window (or brings it forward); nothing when the memory layer reports no
// figures or the main window is minimised. `activate` makes it the active window.
void OpenMemoryUsage(bool activate);
// The next opening places the window anew (above the magnifier) instead of where it was
// last closed.
void LayOutMemoryUsage();
void ShowMemoryCommand(JMenuItem* item, void* data);
JWindow* MemoryUsageWindow();  // null when closed
