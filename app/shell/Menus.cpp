// The application's menu bar and the enabling of its items.
#include "app/shell/Menus.h"

#include "app/graphs/MagnifierWindow.h"
#include "app/shell/AboutBox.h"
#include "app/shell/Commands.h"
#include "app/shell/ContactInfo.h"
#include "app/shell/Documents.h"
#include "app/shell/GraphCommands.h"
#include "app/shell/MemoryWindow.h"
#include "app/shell/PreferencesWindow.h"
#include "jindep/memory.h"
#include "jindep/string_lists.h"
#include "jwin/J_clipbo.h"
#include "jwin/J_menu.h"
#include "jwin/J_window.h"

namespace {

MenuRecords records;
JMenuBar* bar = nullptr;

JMenuItem* Item(JMenu* menu, JStringId text, JMenuItemProc proc) {
  JMenuItem* item = JNewMenuItemFromText(JStr(text));
  JSetMenuItemProc(item, proc, nullptr);
  // Items whose windows the program does not have yet stay disabled.
  if (!proc) JEnableMenuItem(item, false);
  JAppendMenuItem(menu, item);
  return item;
}

void Separator(JMenu* menu) { JAppendMenuItem(menu, JNewMenuSeparator()); }

// Child windows come and go from many places; the item follows each disposal.
void WindowChanged(void*, int16_t code) {
  if (code == 2) UpdateCloseWindowItem();
}

void DocumentChanged(void*, Document* active) {
  BindMenusToDocument(active);
  UpdateCloseWindowItem();
}

}  // namespace

void BuildMenus() {
  if (bar) return;
  records = {};
  // Resource 103 holds the alternate-shortcut setting.
  JMenuInit(JResourceString(kStrChildClassDigits));
  JSetStandardMenuTexts(JStr(kStrMenuFile), JStr(kStrMenuEdit), JStr(kStrItemCut), JStr(kStrItemCopy),
                        JStr(kStrItemPaste));
  bar = JNewMenuBar();

  JMenu* apple = JNewMenuFromText(JStr(kStrMenuApple));
  Item(apple, kStrItemAbout, AboutCommand);
  Item(apple, kStrItemContactInfo, ContactInfoCommand);
  Separator(apple);
  Item(apple, kStrItemShowMagnifier, ShowMagnifierCommand);
  JMemStats stats;
  JMemGetStats(&stats);
  if (stats.total > 0) Item(apple, kStrItemShowMemory, ShowMemoryCommand);
  JAppendMenu(bar, apple);

  JMenu* file = JNewStandardFileMenu();
  Item(file, kStrItemOpen, OpenCommand);
  Separator(file);
  records.closeWindow = Item(file, kStrItemCloseWindow, CloseWindowCommand);
  records.saveAs = Item(file, kStrItemSaveAs, SaveAsCommand);
  JEnableMenuItem(records.saveAs, false);
  Separator(file);
  Item(file, kStrItemPreferences, PreferencesCommand);
  Separator(file);
  Item(file, kStrItemQuit, QuitCommand);
  JAppendMenu(bar, file);
  JSetMenuBar(bar);

  records.windows = JNewMenuFromText(JStr(kStrMenuWindows));
  records.graphs[0] = Item(records.windows, kStrItemQualityGraph, QualityGraphCommand);
  records.graphs[1] = Item(records.windows, kStrItemErrorGraph, MaximumErrorGraphCommand);
  records.graphs[2] = Item(records.windows, kStrItemSizeGraph, FileSizeGraphCommand);

  JMakeStandardEditMenu(bar);
  const char* editTitle = JStr(kStrMenuEdit);
  if (JMenu* edit = JFindMenuByTitle(bar, editTitle[0] ? editTitle + 1 : editTitle)) {
    Separator(edit);
    records.newFromClipboard = Item(edit, kStrItemNewFromClipboard, NewFromClipboardCommand);
  }
  JSetMenuUpdateProc(UpdateMenuEnabling, nullptr);
  SetDocumentListener(DocumentChanged, nullptr);
  JAddWindowChangeListener(WindowChanged, nullptr);
  UpdateMenuEnabling(nullptr);
  UpdateCloseWindowItem();
}

void DisposeMenus() {
  if (!bar) return;
  JRemoveWindowChangeListener(WindowChanged, nullptr);
  SetDocumentListener(nullptr, nullptr);
  JSetMenuUpdateProc(nullptr, nullptr);
  // The Windows menu is in the bar only while a document is active.
  if (!JMenuBarHolds(bar, records.windows)) JDisposeMenu(records.windows);
  JDisposeMenuBar(bar);
  JMenuShutdown();
  bar = nullptr;
  records = {};
}

const MenuRecords* GetMenuRecords() { return bar ? &records : nullptr; }

void BindMenusToDocument(Document* document) {
  if (!bar) return;
  const bool active = document != nullptr;
  if (active != records.active) {
    JEnableMenuItem(records.saveAs, active);
    if (active)
      JAppendMenu(bar, records.windows);
    else
      JRemoveMenu(bar, records.windows);
  }
  JSetMenuItemProc(records.saveAs, SaveAsCommand, document);
  static const JMenuItemProc kGraphCommands[] = {QualityGraphCommand, MaximumErrorGraphCommand,
                                                  FileSizeGraphCommand};
  for (int i = 0; i < 3; ++i) JSetMenuItemProc(records.graphs[i], kGraphCommands[i], document);
  records.active = active;
}

void UpdateCloseWindowItem() {
  if (bar) JEnableMenuItem(records.closeWindow, JFrontChildWindow() != nullptr);
}

void UpdateMenuEnabling(void*) {
  if (!bar) return;
  if (records.newFromClipboard) JEnableMenuItem(records.newFromClipboard, JClipboardHasPicture());
  UpdateCloseWindowItem();
}
