// The commands with real documents: opening, rebinding, closing from the keyboard and a
// new document from the clipboard.
#include "app/shell/Menus.h"
#include "jwin/J_menu.h"
#include "tests/app/shell/documents_fixture.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace {

using platform::wm::kCtrl;
namespace clip = platform::clipboard;

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

TEST_F(DocumentCommands, CtrlLMakesADocumentOnlyWithAPictureOnTheClipboard) {
  // Text only: the item is disabled, so the key only beeps and no note appears.
  ASSERT_TRUE(clip::Open(4242));
  clip::SetText(4242, "not a picture");
  clip::Close(4242);
  const int beeps = wm().beepCount();
  press('l');
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_FALSE(JMenuItemEnabled(records_->newFromClipboard));
  EXPECT_EQ(wm().beepCount(), beeps + 1);
  EXPECT_EQ(messageShown(), "");
  WmfBuilder b;
  b.brush(0, 0x2040C0).select(0).add(0x041B, {30, 40, 0, 0});
  clip::MetafilePicture p;
  p.mappingMode = clip::kMappingText;
  p.xExtent = 40;
  p.yExtent = 30;
  p.bits = b.bits();
  ASSERT_TRUE(clip::Open(4242));
  clip::Empty(4242);
  clip::SetMetafilePicture(4242, p);
  clip::Close(4242);
  press('l');
  EXPECT_EQ(OpenDocumentCount(), 1u);
  EXPECT_TRUE(JMenuItemEnabled(records_->newFromClipboard));
}
