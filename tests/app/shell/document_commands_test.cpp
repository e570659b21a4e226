// The commands: Close Window following the child windows, and with real documents
// opening, rebinding and closing from the keyboard.
#include "app/shell/Menus.h"
#include "jwin/J_menu.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

using platform::wm::kCtrl;

std::vector<std::string> keys;
void WindowKey(JWindow*, JKeyEvent* k) { keys.push_back(std::string(1, static_cast<char>(k->character))); }

class DocumentCommands : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    keys.clear();
    BuildMenus();
    records_ = GetMenuRecords();
  }
  void TearDown() override {
    CloseAllDocuments();
    DisposeMenus();
    DocumentsTest::TearDown();
  }
  void press(char c) { key(static_cast<uint16_t>(c), static_cast<uint32_t>(c), kCtrl); }
  JWindow* child(const char* title) {
    JWindow* w = JNewWindow(nullptr, title, kJWindowSizable);
    JSetHandler(w, kJSlotKeyDown, WindowKey);
    JShowAndActivateWindow(w);
    drain();
    return w;
  }
  size_t barMenus() {
    JMenuBarSync();
    return wm().menus().size();
  }
  const MenuRecords* records_ = nullptr;
};

}  // namespace

TEST_F(DocumentCommands, OpeningAndClosingDocumentsDrivesTheMenus) {
  writeBmp("one.bmp", 20, 20, Pattern(20, 20, 3));
  writeBmp("two.bmp", 24, 20, Pattern(24, 20, 5));
  Document* one = open("one.bmp");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(barMenus(), 3u);  // File, Edit, Windows
  EXPECT_TRUE(JMenuItemEnabled(records_->saveAs));
  EXPECT_TRUE(JMenuItemEnabled(records_->closeWindow));
  Document* two = open("two.bmp");
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(records_->saveAs->data, two);
  EXPECT_EQ(barMenus(), 3u);
  // Activating the first document's window rebinds to it.
  JSelectWindow(one->window);
  drain();
  EXPECT_EQ(records_->saveAs->data, one);
  for (JMenuItem* g : records_->graphs) EXPECT_EQ(g->data, one);
  // Ctrl+W closes the front window: its document goes with it.
  press('w');
  EXPECT_EQ(OpenDocumentCount(), 1u);
  EXPECT_EQ(ActiveDocument(), two);
  EXPECT_EQ(records_->saveAs->data, two);
  press('w');
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_EQ(barMenus(), 2u);
  EXPECT_FALSE(JMenuItemEnabled(records_->saveAs));
  EXPECT_FALSE(JMenuItemEnabled(records_->closeWindow));
  // Nothing left: Ctrl+W only beeps.
  const int beeps = wm().beepCount();
  press('w');
  EXPECT_EQ(wm().beepCount(), beeps + 1);
}

TEST_F(DocumentCommands, CloseWindowFollowsTheChildWindows) {
  JWindow* first = child("First");
  child("Second");
  JRunMenuUpdate();  // as before a menu is shown
  EXPECT_TRUE(JMenuItemEnabled(records_->closeWindow));
  press('w');  // the front one goes
  EXPECT_EQ(JFrontChildWindow(), first);
  EXPECT_TRUE(JMenuItemEnabled(records_->closeWindow));
  // Closed some other way: the item follows all the same.
  JRequestClose(first);
  EXPECT_FALSE(JMenuItemEnabled(records_->closeWindow));
  // A command left over from a menu shown earlier closes nothing when nothing is open.
  JEnableMenuItem(records_->closeWindow, true);
  input().command(records_->closeWindow->id);
  drain();
  EXPECT_FALSE(JMenuItemEnabled(records_->closeWindow));
}

// Without a document there is no Windows menu: its shortcuts are ordinary keys. With one
// the items are enabled; bound to a record that is no open document they do nothing.
TEST_F(DocumentCommands, GraphShortcutsNeedADocument) {
  child("Plain");
  const int beeps = wm().beepCount();
  press('1');
  EXPECT_EQ(wm().beepCount(), beeps);
  EXPECT_EQ(keys, std::vector<std::string>{"1"});
  Document d{};
  BindActiveDocument(&d);
  press('1');
  EXPECT_EQ(wm().beepCount(), beeps);
  EXPECT_EQ(d.graphs[0], nullptr);
  BindActiveDocument(nullptr);
}
