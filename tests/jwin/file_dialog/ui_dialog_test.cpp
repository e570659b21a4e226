#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_filedlg.h"
#include "tests/jwin/file_dialog/dialog_script.h"
#include "tests/jwin/window/toolkit_fixture.h"

namespace {

class FileDialogs : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    char pattern[] = "/tmp/tintwell-dialog-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
    script_ = std::make_unique<DialogScript>();
  }
  void TearDown() override {
    EXPECT_EQ(script_->stepsLeft(), 0u);
    EXPECT_EQ(script_->unexpected, 0);
    script_.reset();
    std::system(("rm -rf '" + dir_ + "'").c_str());
    ToolkitTest::TearDown();
  }
  void then(DialogScript::Step step) { script_->then(std::move(step)); }
  const std::vector<std::string>& messages() const { return script_->messages; }

  void press(uint16_t code, uint32_t character) { input().key(code, character); }
  void enter() { press(platform::wm::kKeyReturn, '\r'); }
  void escape() { press(platform::wm::kKeyEscape, 27); }
  // Empties the name field with backspaces, types the text and presses Return.
  void typeName(JWindow* dialog, const std::string& text) {
    const std::string old = JGetFieldText(JFileDialogWidget(dialog, kJFileDialogNameField));
    for (unsigned char c : old)
      if ((c & 0xC0) != 0x80) press(platform::wm::kKeyBackspace, 8);
    input().type(text);
    enter();
  }
  void click(JWindow* window, const JWidget* w, int dx, int dy) {
    const platform::Rect c = screenClient(window);
    input().click(c.left + w->x + dx, c.top + w->y + dy);
  }
  void clickRow(JWindow* dialog, JFileDialogPart part, int row) {
    const JWidget* list = JFileDialogWidget(dialog, part);
    click(dialog, list, 20, 2 + (row - JListTopRow(list)) * JListRowHeight(list) + JListRowHeight(list) / 2);
  }
  int rowOf(JWindow* dialog, JFileDialogPart part, const std::string& text) {
    const JWidget* list = JFileDialogWidget(dialog, part);
    for (int i = 0; i < JListRowCount(list); ++i)
      if (text == JListRow(list, i)) return i;
    return -1;
  }
  std::vector<std::string> rows(JWindow* dialog, JFileDialogPart part) {
    const JWidget* list = JFileDialogWidget(dialog, part);
    std::vector<std::string> out;
    for (int i = 0; i < JListRowCount(list); ++i) out.push_back(JListRow(list, i));
    return out;
  }
  std::string field(JWindow* dialog) { return JGetFieldText(JFileDialogWidget(dialog, kJFileDialogNameField)); }
  void touch(const std::string& name) { std::ofstream(dir_ + name) << "x"; }
  std::string message(uint16_t title, uint16_t text, const std::string& a = "", const std::string& b = "") {
    std::string s = JResourceString(text), out = std::string(JResourceString(title)) + ": ";
    const std::string args[] = {a, b};
    int used = 0;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s.compare(i, 3, "%s%") == 0) {
        out += args[used++];
        i += 2;
      } else {
        out += s[i];
      }
    }
    return out;
  }
  // The chosen file's full path, freed; "" when the dialog was cancelled.
  static std::string path(JFileSpec* chosen) {
    if (!chosen) return "";
    char* p = JFileSpecFullPathNew(chosen);
    std::string s(p);
    JFree(p);
    JFileSpecFree(chosen);
    return s;
  }
  std::string saveGif(bool* existed = nullptr) {
    JFileSpec* initial = JFileSpecNewOfType(dir_.c_str(), "", kJFileTypeGif);
    JFileSpec* chosen = JFileSaveDialog(nullptr, initial, existed);
    JFileSpecFree(initial);
    return path(chosen);
  }
  // An Open dialog in the test's directory offering bitmaps and GIF pictures.
  std::string openBitmapOrGif() {
    const int16_t offered[] = {kJFileTypeBitmap, kJFileTypeGif};
    JFileSpec* initial = JFileSpecNewOfType(dir_.c_str(), "", kJFileTypeBitmap);
    JFileSpec* chosen = JFileOpenDialog(nullptr, offered, 2, initial);
    JFileSpecFree(initial);
    return path(chosen);
  }

  std::string dir_;
  std::unique_ptr<DialogScript> script_;
};

}  // namespace

TEST_F(FileDialogs, AMissingExtensionIsAppendedAndShownBeforeSaving) {
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(field(d), "*.gif");
    EXPECT_EQ(JFileDialogDirectory(d), dir_);
    EXPECT_EQ(JFocus(d), JFileDialogWidget(d, kJFileDialogNameField));
    EXPECT_NE(JFileDialogWidget(d, kJFileDialogCreateButton), nullptr);
    input().type("picture");  // replaces the pattern the dialog offered
    enter();
  });
  then([&](JWindow*, const char*) { enter(); });  // the message's Ok
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(field(d), "picture.gif");
    // A corrected name stands offered too: Backspace takes it all, then a new one is typed.
    press(platform::wm::kKeyBackspace, 8);
    input().type("picture.gif");
    enter();
  });
  bool existed = true;
  EXPECT_EQ(saveGif(&existed), dir_ + "picture.gif");
  EXPECT_FALSE(existed);
  EXPECT_EQ(messages(), std::vector<std::string>{message(kStrMissingExtensionTitle, kStrMissingExtension, ".gif")});
}

TEST_F(FileDialogs, AnOfferedTypesExtensionMovesTheTypeSelection) {
  touch("old.bmp");
  touch("old.gif");
  const JFileChoice choices[] = {{kJFileTypeGif, "a GIF picture"}, {kJFileTypeBitmap, "a bitmap"}};
  JFileSaveRequest request = {"Save the image as:", choices, 2, 0, true};
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(rows(d, kJFileDialogTypeList), (std::vector<std::string>{"a GIF picture", "a bitmap"}));
    EXPECT_EQ(rows(d, kJFileDialogFileList), std::vector<std::string>{"old.gif"});
    typeName(d, "shot.bmp");
  });
  then([&](JWindow*, const char*) { enter(); });
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(JListSelection(JFileDialogWidget(d, kJFileDialogTypeList)), 1);
    EXPECT_EQ(field(d), "shot.bmp");  // the name stays as typed
    EXPECT_EQ(rows(d, kJFileDialogFileList), std::vector<std::string>{"old.bmp"});
    enter();
  });
  JFileSpec* initial = JFileSpecNewOfType(dir_.c_str(), "x", kJFileTypeGif);
  EXPECT_EQ(path(JFileSaveDialogWithChoice(nullptr, &request, initial)), dir_ + "shot.bmp");
  EXPECT_EQ(request.selected, 1);
  EXPECT_FALSE(request.existed);
  EXPECT_EQ(messages(), std::vector<std::string>{message(kStrOtherTypeExtensionTitle, kStrOtherTypeExtension, ".bmp")});
  JFileSpecFree(initial);
}

TEST_F(FileDialogs, AnExistingFileIsAskedAboutAndNoKeepsTheDialog) {
  touch("old.gif");
  touch("locked.gif");
  ASSERT_EQ(chmod((dir_ + "locked.gif").c_str(), 0444), 0);
  then([&](JWindow* d, const char*) { typeName(d, "old.gif"); });
  then([&](JWindow* alert, const char*) {
    EXPECT_EQ(std::string(alert->title), "File Exists");
    escape();  // No
  });
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(field(d), "old.gif");
    // A file that cannot be written is asked about too, never taken for a new one.
    typeName(d, "locked.gif");
  });
  then([&](JWindow*, const char*) { enter(); });  // Yes
  bool existed = false;
  EXPECT_EQ(saveGif(&existed), dir_ + "locked.gif");
  EXPECT_TRUE(existed);
  EXPECT_EQ(messages(), (std::vector<std::string>{message(kStrFileExistsTitle, kStrFileExists, "old.gif"),
                                                 message(kStrFileExistsTitle, kStrFileExists, "locked.gif")}));
  EXPECT_EQ(input().beeps(), 0);  // a question, not an error
}

TEST_F(FileDialogs, DoubleClickingADirectoryEntersItWithoutChangingTheProcesssDirectory) {
  ASSERT_EQ(mkdir((dir_ + "sub").c_str(), 0755), 0);
  touch("sub/inner.gif");
  touch("outer.gif");
  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(rows(d, kJFileDialogDirectoryList), (std::vector<std::string>{"[..]", "[sub]"}));
    const int row = rowOf(d, kJFileDialogDirectoryList, "[sub]");
    clickRow(d, kJFileDialogDirectoryList, row);
    clickRow(d, kJFileDialogDirectoryList, row);
    // In the new directory the first file is clicked, which names it, and opened.
    clickRow(d, kJFileDialogFileList, 0);
    enter();
  });
  JFileSpec* initial = JFileSpecNewOfType(dir_.c_str(), "", kJFileTypeGif);
  EXPECT_EQ(path(JFileOpenDialog(nullptr, nullptr, 0, initial)), dir_ + "sub/inner.gif");
  JFileSpecFree(initial);
  char after[4096];
  ASSERT_NE(getcwd(after, sizeof after), nullptr);
  EXPECT_STREQ(before, after);

  // The next dialog without a directory of its own starts where this one ended.
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(JFileDialogDirectory(d), dir_ + "sub/");
    escape();
  });
  EXPECT_EQ(JFileOpenDialog(nullptr, nullptr, 0, nullptr), nullptr);
}

TEST_F(FileDialogs, NamesTooLongForTheFieldOrTheFileSystemAreBad) {
  const std::string fits = std::string(250, 'a') + ".gif";  // 254 characters: the field's limit
  const std::string tooLong = std::string(251, 'a') + ".gif";
  std::string wide;
  for (int i = 0; i < 130; ++i) wide += "\xC3\xA9";  // 130 characters but 260 bytes
  wide += ".gif";
  then([&](JWindow* d, const char*) { typeName(d, tooLong); });
  then([&](JWindow* alert, const char*) {
    EXPECT_EQ(std::string(alert->title), "Bad Filename");
    enter();
  });
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(field(d), tooLong);  // not cut to another name
    typeName(d, wide);
  });
  then([&](JWindow*, const char*) { enter(); });
  then([&](JWindow* d, const char*) { typeName(d, fits); });
  EXPECT_EQ(saveGif(), dir_ + fits);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(input().beeps(), 2);
  // Long names are shown by their start and end, cut between whole characters.
  EXPECT_EQ(messages()[0],
            message(kStrBadFilenameTitle, kStrBadFilename, std::string(30, 'a') + "..." + std::string(26, 'a') + ".gif"));
  std::string start, end;
  for (int i = 0; i < 15; ++i) start += "\xC3\xA9";
  for (int i = 0; i < 13; ++i) end += "\xC3\xA9";
  EXPECT_EQ(messages()[1], message(kStrBadFilenameTitle, kStrBadFilename, start + "..." + end + ".gif"));
}

TEST_F(FileDialogs, ChoosingATypeListsItsFilesAndAPlaceIsEnteredByDoubleClick) {
  for (const char* f : {"a.gif", "b.bmp"}) touch(f);
  then([&](JWindow* d, const char*) {
    EXPECT_EQ(rows(d, kJFileDialogFileList), std::vector<std::string>{"b.bmp"});
    clickRow(d, kJFileDialogTypeList, 1);
    drain();
    EXPECT_EQ(field(d), "*.gif");
    EXPECT_EQ(rows(d, kJFileDialogFileList), std::vector<std::string>{"a.gif"});
    const int root = rowOf(d, kJFileDialogPlaceList, "/");
    ASSERT_GE(root, 0);
    clickRow(d, kJFileDialogPlaceList, root);
    clickRow(d, kJFileDialogPlaceList, root);
    drain();
    EXPECT_EQ(JFileDialogDirectory(d), std::string("/"));
    EXPECT_EQ(std::string(JLabelText(JFileDialogWidget(d, kJFileDialogDirectoryText))), "/");
    EXPECT_EQ(rowOf(d, kJFileDialogDirectoryList, "[..]"), -1);
    escape();
  });
  EXPECT_EQ(openBitmapOrGif(), "");
}

TEST_F(FileDialogs, CreateDirectoryMakesItListsItTakesEightyCharactersOrAFullPathAndSaysWhenItFails) {
  const std::string elsewhere = dir_ + "elsewhere";
  then([&](JWindow* d, const char*) { click(d, JFileDialogWidget(d, kJFileDialogCreateButton), 10, 10); });
  then([&](JWindow* c, const char*) {
    EXPECT_EQ(std::string(c->title), "Create Directory");
    input().type(std::string(90, 'k'));  // the last ten are refused
    enter();
  });
  then([&](JWindow* d, const char*) {
    EXPECT_NE(rowOf(d, kJFileDialogDirectoryList, "[" + std::string(80, 'k') + "]"), -1);
    EXPECT_EQ(JFileDialogDirectory(d), dir_);  // nothing entered
    click(d, JFileDialogWidget(d, kJFileDialogCreateButton), 10, 10);
  });
  then([&](JWindow*, const char*) {
    input().type(elsewhere);
    enter();
  });
  // Making it again fails: the message, and the Create Directory dialog stays up.
  then([&](JWindow* d, const char*) { click(d, JFileDialogWidget(d, kJFileDialogCreateButton), 10, 10); });
  then([&](JWindow*, const char*) {
    input().type(elsewhere);
    enter();
  });
  then([&](JWindow*, const char*) { enter(); });
  then([&](JWindow* c, const char*) {
    EXPECT_EQ(std::string(c->title), "Create Directory");
    escape();
  });
  then([&](JWindow*, const char*) { escape(); });
  bool existed = true;
  EXPECT_EQ(saveGif(&existed), "");
  EXPECT_FALSE(existed);
  struct stat st;
  ASSERT_EQ(stat(elsewhere.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(messages(), std::vector<std::string>{message(kStrDirectoryErrorTitle, kStrDirectoryError, elsewhere)});
}

TEST_F(FileDialogs, TypedPathsMoveThroughDirectories) {
  ASSERT_EQ(mkdir((dir_ + "sub").c_str(), 0755), 0);
  touch("sub/a.bmp");
  touch("sub/b.gif");
  JWindow* dialog = nullptr;
  then([&](JWindow* d, const char*) {
    dialog = d;
    input().type("sub/*.gif");
    enter();
    input().type("missing.gif");  // a message, to look at the dialog meanwhile
    enter();
  });
  then([&](JWindow*, const char*) {
    EXPECT_EQ(JFileDialogDirectory(dialog), dir_ + "sub/");
    EXPECT_EQ(rows(dialog, kJFileDialogFileList), std::vector<std::string>{"b.gif"});
    enter();
  });
  then([&](JWindow* d, const char*) {
    typeName(d, "..");
    input().type("nowhere/x.gif");  // a directory that is not there
    enter();
  });
  then([&](JWindow*, const char*) {
    EXPECT_EQ(JFileDialogDirectory(dialog), dir_);
    EXPECT_EQ(field(dialog), "nowhere/x.gif");
    enter();
  });
  then([&](JWindow*, const char*) { escape(); });
  EXPECT_EQ(openBitmapOrGif(), "");
  EXPECT_EQ(messages(), (std::vector<std::string>{message(kStrNoSuchFileTitle, kStrNoSuchFile, "missing.gif"),
                                                 message(kStrBadFilenameTitle, kStrBadFilename, "nowhere/x.gif")}));
}

TEST_F(FileDialogs, TheOfferedNameIsAnOrdinarySelectionThatClicksAndSelectAllChange) {
  then([&](JWindow* d, const char*) {
    // A click at the field's left end places the caret there: typing inserts.
    click(d, JFileDialogWidget(d, kJFileDialogNameField), 3, 5);
    input().type("a");
    // Select-all then typing replaces every character, the first one included.
    input().key('a', 'a', platform::wm::kCtrl);
    input().type("holiday.gif");
    enter();
  });
  EXPECT_EQ(saveGif(), dir_ + "holiday.gif");
}
