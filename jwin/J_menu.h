// Menus: the toolkit's own model of a menu bar of menus of items, kept in step with the
// main window's platform menu bar. Shortcuts (the command combination plus a letter or
// digit) are matched here, not by the platform. A menu titled "Apple" is not shown in the
// bar: its items go to the end of the main window's system menu.
#pragma once
#include <cstdint>

#include "jwin/J_window.h"

struct JMenu;
struct JMenuItem;
struct JMenuBar;

// Item and menu flags.
enum : uint8_t {
  kJMenuEnabled = 1,
  kJMenuChecked = 2,
  kJMenuSuppressed = 4,  // a menu shown disabled because none of its items is enabled
};

typedef void (*JMenuItemProc)(JMenuItem* item, void* data);

struct JMenuItem {
  JMenu* menu;  // null while the item belongs to no menu
  char* label;  // owned copy; "-" is a separator
  uint8_t mnemonic;
  uint8_t shortcut;
  uint8_t flags;
  JMenuItemProc proc;
  void* data;
  uint16_t id;  // 0 when none could be had
};

struct JMenu {
  int16_t itemCount;
  JMenuItem** items;
  char* title;  // owned copy
  uint8_t mnemonic;
  uint8_t flags;
  uint16_t id;
  bool inserted;  // shown in the installed platform bar
  JMenuBar* bar;  // the bar holding it, or null
};

struct JMenuBar {
  int16_t menuCount;
  JMenu** menus;
};

// Items. A label starting with '-' is a separator and starts disabled.
JMenuItem* JNewMenuItem(const char* label);
JMenuItem* JNewMenuSeparator();
// From an item text whose first character is the shortcut and second the mnemonic (a
// blank for none): "XCCut" is "Cut" with shortcut X and mnemonic C.
JMenuItem* JNewMenuItemFromText(const char* text);
void JSetMenuItemMnemonic(JMenuItem* item, char mnemonic);
void JSetMenuItemShortcut(JMenuItem* item, char shortcut);
void JSetMenuItemProc(JMenuItem* item, JMenuItemProc proc, void* data);
void JEnableMenuItem(JMenuItem* item, bool enabled);
bool JMenuItemEnabled(const JMenuItem* item);
void JCheckMenuItem(JMenuItem* item, bool checked);
// Takes the item out of its menu; the caller owns it again.
void JRemoveMenuItem(JMenuItem* item);
// Removes the item, frees its label and gives back its identifier.
void JDisposeMenuItem(JMenuItem* item);

// Menus. A new menu shows disabled until it holds an enabled item.
JMenu* JNewMenu(const char* title);
// From a title text whose first character is the mnemonic (a blank for none).
JMenu* JNewMenuFromText(const char* text);
void JSetMenuMnemonic(JMenu* menu, char mnemonic);
void JAppendMenuItem(JMenu* menu, JMenuItem* item);
// After `after` (null: at the front).
void JInsertMenuItemAfter(JMenu* menu, JMenuItem* after, JMenuItem* item);
bool JMenuEnabled(const JMenu* menu);
// Takes the menu out of its bar and disposes it with its items.
void JDisposeMenu(JMenu* menu);

// Menu bars.
JMenuBar* JNewMenuBar();
void JAppendMenu(JMenuBar* bar, JMenu* menu);
// Takes the menu out of the bar; the caller owns it again.
void JRemoveMenu(JMenuBar* bar, JMenu* menu);
bool JMenuBarHolds(const JMenuBar* bar, const JMenu* menu);
// Uninstalls the bar if it is installed and disposes it with its menus.
void JDisposeMenuBar(JMenuBar* bar);
// Installs the bar on the main window (null removes the bar). The platform bar is
// brought up to date at the start of the next event step.
void JSetMenuBar(JMenuBar* bar);
JMenuBar* JGetMenuBar();
// The last menu whose title equals `title`.
JMenu* JFindMenuByTitle(JMenuBar* bar, const char* title);
// Brings the platform bar up to date now instead of at the next step.
void JMenuBarSync();

// The label the platform shows: '&' before the first occurrence of the mnemonic (any
// case; a literal '&' is doubled), then a tab and "Ctrl+" (or "Alt+Ctrl+") and the
// shortcut. A new JAlloc string.
char* JMenuPlatformLabel(const char* label, uint8_t mnemonic, uint8_t shortcut);

// Keys and commands, installed on the window layer by JMenuInit.
// A key with the command combination and a letter or digit: answers true when an item
// has that shortcut (its procedure called, or a beep when it or its menu is disabled).
// Alt with a letter opens the bar's menu with that mnemonic.
bool JMenuKey(JKeyEvent* key);
// The item with this identifier in the installed bar; null when none.
JMenuItem* JFindMenuItem(uint16_t id);
// A platform menu command: calls the item's procedure when the item is enabled.
void JMenuCommand(uint16_t id);

// Run before menus are shown and before shortcuts are matched, to bring enabling up to date
// (the standard Edit items first, then the procedure set here).
typedef void (*JMenuUpdateProc)(void* data);
void JSetMenuUpdateProc(JMenuUpdateProc proc, void* data);
void JRunMenuUpdate();

// The alternate-shortcut setting from its resource text: on when the text is absent or
// starts with '1'.
bool JAlternateShortcutSetting(const char* text);
// Starts the menu layer: identifiers, keys, commands and the bar's redraw; the setting
// text as for JAlternateShortcutSetting.
void JMenuInit(const char* shortcutSetting);
// Uninstalls and disposes the installed bar and stops the layer.
void JMenuShutdown();

// The front child window of the main window (a document or floating window that is
// shown), which a Close Window command closes; null when there is none.
JWindow* JFrontChildWindow();

// The toolkit's standard menus. Titles and item texts are given by the application in
// the text forms above; the File menu is made by the application under its title, the
// standard Edit menu by the toolkit after the File menu.
void JSetStandardMenuTexts(const char* fileTitle, const char* editTitle, const char* cut, const char* copy,
                           const char* paste);
// An empty menu under the File title.
JMenu* JNewStandardFileMenu();
// Appends the Edit menu after the File menu with Cut, Copy and Paste, which act on the
// focused text field of the active window. The menu update enables Cut and Copy while that
// field has a selection, and Paste while there is such a field and the clipboard holds text.
JMenu* JMakeStandardEditMenu(JMenuBar* bar);
