// The main window's menu bar: built once at start-up from the application's strings,
// with a Windows menu of the three graphs that shows only while a document is active,
// and the items whose enabling follows the program's state.
#pragma once

struct Document;
struct JMenu;
struct JMenuItem;

// What is kept of the bar for later enabling and rebinding.
struct MenuRecords {
  JMenuItem* closeWindow;
  JMenuItem* saveAs;
  JMenuItem* newFromClipboard;
  JMenu* windows;
  JMenuItem* graphs[3];  // quality, maximum error, file size
  bool active;           // a document is bound
};

// Builds and installs the bar, and follows the active document and the child windows.
void BuildMenus();
// Uninstalls and frees the bar (end of the run).
void DisposeMenus();
const MenuRecords* GetMenuRecords();

// Binds Save as... and the graph items to the document (null: none); the Windows menu is
// in the bar exactly while one is bound. The documents call this through their listener.
void BindMenusToDocument(Document* document);
// Enables Close Window exactly when the main window has a child window.
void UpdateCloseWindowItem();
// Run before menus are shown: New Picture from Clipboard needs a picture there.
void UpdateMenuEnabling(void* data);
