// The procedures of the menu items: each is called with its item and the data word the
// menus bound to it (the active document for Save as... and the graphs).
#pragma once

struct JMenuItem;

void OpenCommand(JMenuItem* item, void* data);
// Closes the front child window of the main window; with none it does nothing.
void CloseWindowCommand(JMenuItem* item, void* data);
void SaveAsCommand(JMenuItem* item, void* document);
void QuitCommand(JMenuItem* item, void* data);
void NewFromClipboardCommand(JMenuItem* item, void* data);
