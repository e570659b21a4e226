// The menu model, its platform bar, shortcuts and menu commands.
#include "jwin/J_menu.h"

#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

#include "jindep/Ji_at_ta.h"
#include "jindep/Ji_prinf.h"
#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_beep.h"
#include "jwin/J_clipbo.h"
#include "jwin/J_event.h"
#include "jwin/J_platform.h"
#include "jwin/widget_hooks.h"

namespace {

// Identifiers stay below the platform's system commands.
constexpr uint32_t kIdLimit = 0xEFFF;

JIdPool ids;
bool started = false;
JMenuBar* installed = nullptr;
JMenuUpdateProc updateProc = nullptr;
void* updateData = nullptr;

char* stdFileTitle = nullptr;
char* stdEditTitle = nullptr;
char* stdCut = nullptr;
char* stdCopy = nullptr;
char* stdPaste = nullptr;
// The standard Edit menu's items (Cut, Copy, Paste), enabled by the menu update.
JMenuItem* stdEditItems[3] = {};

uint16_t TakeId(const char* failure) {
  if (!started) {
    JIdPoolInit(&ids);
    ids.limit = kIdLimit;
    started = true;
  }
  const uint32_t id = JIdPoolTake(&ids);
  if (id == 0) JDebugReport("jwin/J_menu", __LINE__, failure);
  return static_cast<uint16_t>(id);
}

void GiveId(uint16_t id) {
  if (id != 0 && started) JIdPoolRelease(&ids, id);
}

bool IsSeparator(const JMenuItem* item) { return item->label[0] == '-'; }

bool IsApple(const JMenu* menu) { return std::strcmp(menu->title, "Apple") == 0; }

uint8_t Upper(uint8_t c) { return static_cast<uint8_t>(std::toupper(c)); }

bool InstalledBarHolds(const JMenu* menu) { return installed && menu && menu->bar == installed; }

bool platformStale = false;  // the platform bar lags behind the model

void BarChanged() {
  platformStale = true;
  JMenuBarChanged();
}

// Platform state follows at the next event step.
void MenuChanged(const JMenu* menu) {
  if (InstalledBarHolds(menu)) BarChanged();
}

// Shown disabled exactly while none of its items is enabled.
void UpdateMenuState(JMenu* menu) {
  bool any = false;
  for (int16_t i = 0; i < menu->itemCount && !any; ++i) any = menu->items[i]->flags & kJMenuEnabled;
  if (!any && (menu->flags & kJMenuEnabled)) {
    menu->flags = static_cast<uint8_t>((menu->flags & ~kJMenuEnabled) | kJMenuSuppressed);
  } else if (any && (menu->flags & kJMenuSuppressed)) {
    menu->flags = static_cast<uint8_t>((menu->flags & ~kJMenuSuppressed) | kJMenuEnabled);
  }
}

int16_t IndexOfItem(const JMenu* menu, const JMenuItem* item) {
  for (int16_t i = 0; i < menu->itemCount; ++i)
    if (menu->items[i] == item) return i;
  return -1;
}

// The item belongs to no menu.
void InsertItemAt(JMenu* menu, int16_t at, JMenuItem* item) {
  menu->items = static_cast<JMenuItem**>(JRealloc(menu->items, sizeof(JMenuItem*) * (menu->itemCount + 1)));
  std::memmove(menu->items + at + 1, menu->items + at, sizeof(JMenuItem*) * (menu->itemCount - at));
  menu->items[at] = item;
  ++menu->itemCount;
  item->menu = menu;
  UpdateMenuState(menu);
  MenuChanged(menu);
}

std::string PlatformLabel(const char* label, uint8_t mnemonic, uint8_t shortcut) {
  char* s = JMenuPlatformLabel(label, mnemonic, shortcut);
  std::string out(s);
  JFree(s);
  return out;
}

std::vector<platform::wm::MenuItem> PlatformItems(const JMenu* menu) {
  std::vector<platform::wm::MenuItem> items;
  for (int16_t i = 0; i < menu->itemCount; ++i) {
    const JMenuItem* item = menu->items[i];
    platform::wm::MenuItem p;
    if (IsSeparator(item)) {
      p.separator = true;
      p.enabled = false;
    } else {
      p.label = PlatformLabel(item->label, item->mnemonic, item->shortcut);
      p.enabled = item->flags & kJMenuEnabled;
      p.checked = item->flags & kJMenuChecked;
    }
    p.command = item->id;
    items.push_back(std::move(p));
  }
  return items;
}

// Rebuilds the whole platform bar and the system menu's extra items from the model.
void PushToPlatform(void*) {
  if (!JDesktopRunning()) return;
  platformStale = false;
  platform::wm::WindowManager& wm = JWindowManager();
  std::vector<platform::wm::Menu> menus;
  std::vector<platform::wm::MenuItem> extras;
  if (installed) {
    for (int16_t i = 0; i < installed->menuCount; ++i) {
      JMenu* menu = installed->menus[i];
      if (IsApple(menu)) {
        menu->inserted = false;
        std::vector<platform::wm::MenuItem> items = PlatformItems(menu);
        extras.insert(extras.end(), items.begin(), items.end());
        continue;
      }
      menu->inserted = true;
      platform::wm::Menu p;
      p.title = PlatformLabel(menu->title, menu->mnemonic, 0);
      p.enabled = menu->flags & kJMenuEnabled;
      p.items = PlatformItems(menu);
      menus.push_back(std::move(p));
    }
  }
  wm.setMenus(std::move(menus));
  wm.setSystemMenuExtras(std::move(extras));
}

bool IsAlnum(uint8_t c) { return c < 128 && std::isalnum(c); }

// The letter or digit of a key: some platforms type a control character with Ctrl held,
// and then the key's own code tells the letter.
uint8_t KeyLetter(const JKeyEvent* key) {
  if (IsAlnum(key->character)) return key->character;
  if (key->character < 32 && IsAlnum(key->code)) return key->code;
  return 0;
}

bool ShortcutKey(uint8_t letter) {
  if (!installed) return false;
  JRunMenuUpdate();
  for (int16_t m = 0; m < installed->menuCount; ++m) {
    JMenu* menu = installed->menus[m];
    for (int16_t i = 0; i < menu->itemCount; ++i) {
      JMenuItem* item = menu->items[i];
      if (item->shortcut == 0 || Upper(item->shortcut) != Upper(letter)) continue;
      if ((item->flags & kJMenuEnabled) && (menu->flags & kJMenuEnabled)) {
        // Cut, Copy and Paste act on the field as it is; any other command sees the
        // edit ended (a typed number committed) first.
        const uint8_t u = Upper(letter);
        if (u != 'C' && u != 'V' && u != 'X') JWidgetsOf().endFieldEdit(JWidgetsOf().focusedField());
        if (item->proc) item->proc(item, item->data);
      } else {
        JBeep();
      }
      return true;
    }
  }
  JWidgetsOf().endFieldEdit(JWidgetsOf().focusedField());
  return false;
}

// Alt with a letter opens the menu of the bar whose title has that mnemonic.
bool MnemonicKey(uint8_t letter) {
  if (!installed) return false;
  JRunMenuUpdate();
  // Which menus the bar shows, and in what order, is what the platform has.
  if (platformStale) PushToPlatform(nullptr);
  int shown = 0;
  for (int16_t m = 0; m < installed->menuCount; ++m) {
    const JMenu* menu = installed->menus[m];
    if (!menu->inserted) continue;
    if (menu->mnemonic && Upper(menu->mnemonic) == Upper(letter)) {
      if (menu->flags & kJMenuEnabled)
        JWindowManager().openBarMenu(shown);
      else
        JBeep();
      return true;
    }
    ++shown;
  }
  return false;
}

// At the start of an event step; a menu opened since the change already brought the
// platform up to date, and pushing again would close it.
void StepRedraw(void*) {
  if (platformStale) PushToPlatform(nullptr);
}

// Enabling is brought up to date before the user sees a menu.
void MenuOpening() {
  JRunMenuUpdate();
  if (platformStale) PushToPlatform(nullptr);
}

bool KeyFilter(void*, JKeyEvent* key) { return JMenuKey(key); }

void CommandHandler(void*, uint16_t id) { JMenuCommand(id); }

void EditCut(JMenuItem*, void*) { JWidgetsOf().fieldCut(JWidgetsOf().focusedField()); }
void EditCopy(JMenuItem*, void*) { JWidgetsOf().fieldCopy(JWidgetsOf().focusedField()); }
void EditPaste(JMenuItem*, void*) { JWidgetsOf().fieldPaste(JWidgetsOf().focusedField()); }

// Cut and Copy need a selection in the focused text field, Paste a focused field and text
// on the clipboard.
void UpdateStandardEditItems() {
  JWidget* field = JWidgetsOf().focusedField();
  const bool selection = JWidgetsOf().fieldHasSelection(field);
  if (stdEditItems[0]) JEnableMenuItem(stdEditItems[0], selection);
  if (stdEditItems[1]) JEnableMenuItem(stdEditItems[1], selection);
  if (stdEditItems[2]) JEnableMenuItem(stdEditItems[2], field && JClipboardHasText());
}

void FreeText(char** text) {
  JFree(*text);
  *text = nullptr;
}

}  // namespace

// --- items ---------------------------------------------------------------------------------

JMenuItem* JNewMenuItem(const char* label) {
  JMenuItem* item = static_cast<JMenuItem*>(JAlloc(sizeof(JMenuItem)));
  std::memset(item, 0, sizeof(JMenuItem));
  item->label = JStrDup(label ? label : "");
  item->flags = IsSeparator(item) ? 0 : kJMenuEnabled;
  item->id = TakeId("Cannot obtain item ID");
  return item;
}

JMenuItem* JNewMenuSeparator() { return JNewMenuItem("-"); }

JMenuItem* JNewMenuItemFromText(const char* text) {
  if (!text) text = "";
  const size_t n = std::strlen(text);
  JMenuItem* item = JNewMenuItem(n > 2 ? text + 2 : "");
  item->shortcut = n > 0 && text[0] != ' ' ? static_cast<uint8_t>(text[0]) : 0;
  item->mnemonic = n > 1 && text[1] != ' ' ? static_cast<uint8_t>(text[1]) : 0;
  return item;
}

void JSetMenuItemMnemonic(JMenuItem* item, char mnemonic) {
  if (!item) return;
  item->mnemonic = static_cast<uint8_t>(mnemonic);
  if (item->menu) MenuChanged(item->menu);
}

void JSetMenuItemShortcut(JMenuItem* item, char shortcut) {
  if (!item) return;
  item->shortcut = static_cast<uint8_t>(shortcut);
  if (item->menu) MenuChanged(item->menu);
}

void JSetMenuItemProc(JMenuItem* item, JMenuItemProc proc, void* data) {
  if (!item) return;
  item->proc = proc;
  item->data = data;
}

void JEnableMenuItem(JMenuItem* item, bool enabled) {
  if (!item) return;
  const uint8_t flags =
      static_cast<uint8_t>(enabled ? item->flags | kJMenuEnabled : item->flags & ~kJMenuEnabled);
  if (flags == item->flags) return;
  item->flags = flags;
  if (item->menu) {
    UpdateMenuState(item->menu);
    MenuChanged(item->menu);
  }
}

bool JMenuItemEnabled(const JMenuItem* item) { return item && (item->flags & kJMenuEnabled); }

void JCheckMenuItem(JMenuItem* item, bool checked) {
  if (!item) return;
  const uint8_t flags =
      static_cast<uint8_t>(checked ? item->flags | kJMenuChecked : item->flags & ~kJMenuChecked);
  if (flags == item->flags) return;
  item->flags = flags;
  if (item->menu) MenuChanged(item->menu);
}

void JRemoveMenuItem(JMenuItem* item) {
  if (!item || !item->menu) return;
  JMenu* menu = item->menu;
  const int16_t at = IndexOfItem(menu, item);
  if (at >= 0) {
    std::memmove(menu->items + at, menu->items + at + 1, sizeof(JMenuItem*) * (menu->itemCount - at - 1));
    --menu->itemCount;
  }
  item->menu = nullptr;
  UpdateMenuState(menu);
  MenuChanged(menu);
}

void JDisposeMenuItem(JMenuItem* item) {
  if (!item) return;
  for (JMenuItem*& standard : stdEditItems)
    if (standard == item) standard = nullptr;
  JRemoveMenuItem(item);
  GiveId(item->id);
  JFree(item->label);
  JFree(item);
}

// --- menus ---------------------------------------------------------------------------------

JMenu* JNewMenu(const char* title) {
  JMenu* menu = static_cast<JMenu*>(JAlloc(sizeof(JMenu)));
  std::memset(menu, 0, sizeof(JMenu));
  menu->title = JStrDup(title ? title : "");
  menu->flags = kJMenuSuppressed;
  menu->id = TakeId("Cannot obtain menu ID");
  return menu;
}

JMenu* JNewMenuFromText(const char* text) {
  if (!text) text = "";
  JMenu* menu = JNewMenu(text[0] ? text + 1 : "");
  menu->mnemonic = text[0] && text[0] != ' ' ? static_cast<uint8_t>(text[0]) : 0;
  return menu;
}

void JSetMenuMnemonic(JMenu* menu, char mnemonic) {
  if (!menu) return;
  menu->mnemonic = static_cast<uint8_t>(mnemonic);
  MenuChanged(menu);
}

void JAppendMenuItem(JMenu* menu, JMenuItem* item) {
  if (!menu || !item) return;
  if (item->menu) JRemoveMenuItem(item);
  InsertItemAt(menu, menu->itemCount, item);
}

void JInsertMenuItemAfter(JMenu* menu, JMenuItem* after, JMenuItem* item) {
  if (!menu || !item || item == after) return;
  if (item->menu) JRemoveMenuItem(item);
  const int16_t at = after ? IndexOfItem(menu, after) : -1;
  InsertItemAt(menu, static_cast<int16_t>(at + 1), item);
}

bool JMenuEnabled(const JMenu* menu) { return menu && (menu->flags & kJMenuEnabled); }

void JDisposeMenu(JMenu* menu) {
  if (!menu) return;
  if (menu->bar) JRemoveMenu(menu->bar, menu);
  while (menu->itemCount > 0) JDisposeMenuItem(menu->items[menu->itemCount - 1]);
  JFree(menu->items);
  GiveId(menu->id);
  JFree(menu->title);
  JFree(menu);
}

// --- bars ----------------------------------------------------------------------------------

JMenuBar* JNewMenuBar() {
  JMenuBar* bar = static_cast<JMenuBar*>(JAlloc(sizeof(JMenuBar)));
  std::memset(bar, 0, sizeof(JMenuBar));
  return bar;
}

void JAppendMenu(JMenuBar* bar, JMenu* menu) {
  if (!bar || !menu || menu->bar == bar) return;
  if (menu->bar) JRemoveMenu(menu->bar, menu);
  bar->menus = static_cast<JMenu**>(JRealloc(bar->menus, sizeof(JMenu*) * (bar->menuCount + 1)));
  bar->menus[bar->menuCount++] = menu;
  menu->bar = bar;
  MenuChanged(menu);
}

void JRemoveMenu(JMenuBar* bar, JMenu* menu) {
  if (!bar || !menu || menu->bar != bar) return;
  MenuChanged(menu);
  for (int16_t i = 0; i < bar->menuCount; ++i) {
    if (bar->menus[i] != menu) continue;
    std::memmove(bar->menus + i, bar->menus + i + 1, sizeof(JMenu*) * (bar->menuCount - i - 1));
    --bar->menuCount;
    break;
  }
  menu->bar = nullptr;
  menu->inserted = false;
}

bool JMenuBarHolds(const JMenuBar* bar, const JMenu* menu) { return bar && menu && menu->bar == bar; }

void JDisposeMenuBar(JMenuBar* bar) {
  if (!bar) return;
  if (installed == bar) JSetMenuBar(nullptr);
  while (bar->menuCount > 0) JDisposeMenu(bar->menus[bar->menuCount - 1]);
  JFree(bar->menus);
  JFree(bar);
}

void JSetMenuBar(JMenuBar* bar) {
  if (installed)
    for (int16_t i = 0; i < installed->menuCount; ++i) installed->menus[i]->inserted = false;
  installed = bar;
  BarChanged();
}

JMenuBar* JGetMenuBar() { return installed; }

JMenu* JFindMenuByTitle(JMenuBar* bar, const char* title) {
  if (!bar || !title) return nullptr;
  for (int16_t i = bar->menuCount; i-- > 0;)
    if (std::strcmp(bar->menus[i]->title, title) == 0) return bar->menus[i];
  return nullptr;
}

void JMenuBarSync() { PushToPlatform(nullptr); }

char* JMenuPlatformLabel(const char* label, uint8_t mnemonic, uint8_t shortcut) {
  if (!label) label = "";
  // A literal '&' is doubled so that it is not taken for a keyboard letter.
  size_t amps = 0;
  for (const char* p = label; *p; ++p) amps += *p == '&';
  const size_t n = std::strlen(label);
  char* marked = static_cast<char*>(JAlloc(n + amps + 2));
  const char* hit = nullptr;
  if (mnemonic) {
    for (const char* p = label; *p && !hit; ++p)
      if (Upper(static_cast<uint8_t>(*p)) == Upper(mnemonic)) hit = p;
  }
  char* out = marked;
  for (const char* p = label; *p; ++p) {
    if (p == hit) *out++ = '&';
    if (*p == '&') *out++ = '&';
    *out++ = *p;
  }
  *out = '\0';
  if (!shortcut) return marked;
  const char* prefix = JResourceString(JAlternateShortcuts() ? kStrAltCtrlPrefix : kStrCtrlPrefix);
  char* full = JFormatNew("%s%\t%s%%c%", marked, prefix ? prefix : "", static_cast<int>(shortcut));
  JFree(marked);
  return full;
}

// --- keys and commands ---------------------------------------------------------------------

bool JMenuKey(JKeyEvent* key) {
  // While a modal alert waits for its answer, no command may run underneath it.
  if (!key || JModalLoopRunning()) return false;
  const uint8_t letter = KeyLetter(key);
  if (!letter) return false;
  if (key->modifiers & kJModCommand) return ShortcutKey(letter);
  if ((key->modifiers & (kJModAlt | kJModCtrl)) == kJModAlt && std::isalpha(letter)) return MnemonicKey(letter);
  return false;
}

JMenuItem* JFindMenuItem(uint16_t id) {
  if (!installed || id == 0) return nullptr;
  for (int16_t m = installed->menuCount; m-- > 0;) {
    JMenu* menu = installed->menus[m];
    for (int16_t i = menu->itemCount; i-- > 0;)
      if (menu->items[i]->id == id) return menu->items[i];
  }
  return nullptr;
}

void JMenuCommand(uint16_t id) {
  // A command for an item disabled since its menu was shown is dropped.
  JMenuItem* item = JFindMenuItem(id);
  if (item && (item->flags & kJMenuEnabled) && item->proc) item->proc(item, item->data);
}

void JSetMenuUpdateProc(JMenuUpdateProc proc, void* data) {
  updateProc = proc;
  updateData = data;
}

void JRunMenuUpdate() {
  UpdateStandardEditItems();
  if (updateProc) updateProc(updateData);
}

bool JAlternateShortcutSetting(const char* text) { return !text || text[0] == '1'; }

void JMenuInit(const char* shortcutSetting) {
  if (!started) {
    JIdPoolInit(&ids);
    ids.limit = kIdLimit;
    started = true;
  }
  JSetAlternateShortcuts(JAlternateShortcutSetting(shortcutSetting));
  JSetKeyFilter(KeyFilter, nullptr);
  JSetMenuCommandHandler(CommandHandler, nullptr);
  JSetMenuBarRedraw(StepRedraw, nullptr);
  if (JDesktopRunning()) JWindowManager().setMenuOpeningHook(MenuOpening);
}

void JMenuShutdown() {
  JSetKeyFilter(nullptr, nullptr);
  JSetMenuCommandHandler(nullptr, nullptr);
  JSetMenuBarRedraw(nullptr, nullptr);
  JSetMenuUpdateProc(nullptr, nullptr);
  if (JDesktopRunning()) JWindowManager().setMenuOpeningHook(nullptr);
  if (installed) {
    JMenuBar* bar = installed;
    installed = nullptr;
    if (JDesktopRunning()) PushToPlatform(nullptr);
    JDisposeMenuBar(bar);
  }
  FreeText(&stdFileTitle);
  FreeText(&stdEditTitle);
  FreeText(&stdCut);
  FreeText(&stdCopy);
  FreeText(&stdPaste);
  for (JMenuItem*& standard : stdEditItems) standard = nullptr;
  if (started) {
    JIdPoolFree(&ids);
    started = false;
  }
}

JWindow* JFrontChildWindow() {
  if (!JDesktopRunning()) return nullptr;
  platform::wm::WindowManager& wm = JWindowManager();
  const std::vector<platform::wm::WindowId> order = wm.paintOrder();
  for (size_t i = order.size(); i-- > 0;) {
    const platform::wm::Window* p = wm.window(order[i]);
    if (!p || !p->visible()) continue;
    if (p->kind() != platform::wm::WindowKind::Document && p->kind() != platform::wm::WindowKind::Floating) continue;
    JWindow* w = JWindowFromPlatform(order[i]);
    if (w && !(w->state & kJWindowClosed)) return w;
  }
  return nullptr;
}

// --- standard menus ------------------------------------------------------------------------

void JSetStandardMenuTexts(const char* fileTitle, const char* editTitle, const char* cut, const char* copy,
                           const char* paste) {
  FreeText(&stdFileTitle);
  FreeText(&stdEditTitle);
  FreeText(&stdCut);
  FreeText(&stdCopy);
  FreeText(&stdPaste);
  stdFileTitle = JStrDup(fileTitle ? fileTitle : " File");
  stdEditTitle = JStrDup(editTitle ? editTitle : " Edit");
  stdCut = JStrDup(cut ? cut : "  Cut");
  stdCopy = JStrDup(copy ? copy : "  Copy");
  stdPaste = JStrDup(paste ? paste : "  Paste");
}

JMenu* JNewStandardFileMenu() { return JNewMenuFromText(stdFileTitle ? stdFileTitle : " File"); }

JMenu* JMakeStandardEditMenu(JMenuBar* bar) {
  JMenu* edit = JNewMenuFromText(stdEditTitle ? stdEditTitle : " Edit");
  const char* texts[3] = {stdCut ? stdCut : "  Cut", stdCopy ? stdCopy : "  Copy", stdPaste ? stdPaste : "  Paste"};
  const JMenuItemProc procs[3] = {EditCut, EditCopy, EditPaste};
  for (int i = 0; i < 3; ++i) {
    JMenuItem* item = JNewMenuItemFromText(texts[i]);
    JSetMenuItemProc(item, procs[i], nullptr);
    JAppendMenuItem(edit, item);
    stdEditItems[i] = item;
  }
  UpdateStandardEditItems();
  if (!bar) return edit;
  // After the File menu: before whatever follows it.
  JAppendMenu(bar, edit);
  const char* fileTitle = stdFileTitle && stdFileTitle[0] ? stdFileTitle + 1 : "File";
  for (int16_t i = 0; i < bar->menuCount - 1; ++i) {
    if (std::strcmp(bar->menus[i]->title, fileTitle) != 0) continue;
    std::memmove(bar->menus + i + 2, bar->menus + i + 1, sizeof(JMenu*) * (bar->menuCount - i - 2));
    bar->menus[i + 1] = edit;
    break;
  }
  return edit;
}
