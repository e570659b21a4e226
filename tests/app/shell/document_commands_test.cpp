// The commands with real documents: opening, rebinding and closing from the keyboard.
#include "app/shell/Menus.h"
#include "jwin/J_menu.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

using platform::wm::kCtrl;

class DocumentCommands : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    BuildMenus();
    records_ = GetMenuRecords();
  }
  void TearDown() override {
    CloseAllDocuments();
    DisposeMenus();
    DocumentsTest::TearDown();
  }
  void press(char c) {
    input().key(static_cast<uint16_t>(c), static_cast<uint32_t>(c), kCtrl);
    drain();
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
  EXPECT_EQ(records_->saveAs->data, one);
  for (JMenuItem* g : records_->graphs) EXPECT_EQ(g->data, one);
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
