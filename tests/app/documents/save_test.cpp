#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "app/colour/ColourMaps.h"
#include "app/gif/save_document.h"
#include "documents_fixture.h"
#include "jwin/J_filedlg.h"
#include "jwin/J_sched.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"

namespace {

class Saving : public DocumentsTest {
 protected:
  // What the picture map shows now: the picture at the current number of colours.
  std::vector<uint32_t> reduced(const Document* d) {
    std::vector<uint32_t> out;
    for (int y = 0; y < d->height; ++y)
      for (int x = 0; x < d->width; ++x) out.push_back(d->pictureMap->bitmap->row32(y)[x] & 0xFFFFFF);
    return out;
  }
  giftest::Screen save(Document* d, const std::string& name) {
    JFileSpec* s = fileSpec(name);
    EXPECT_TRUE(SaveDocumentAsGif(d, s));
    JFileSpecFree(s);
    return giftest::DecodeScreen(readFile(name));
  }
};

TEST_F(Saving, TheGifDecodesToTheReducedPictureAndClickedColoursAreTransparent) {
  const int W = 70, H = 50;
  const std::vector<uint32_t> pixels = Pattern(W, H, 40);
  writeBmp("scene.bmp", W, H, pixels);
  Document* d = open("scene.bmp");
  ASSERT_NE(d, nullptr);
  giftest::Screen s = save(d, "scene.gif");
  ASSERT_TRUE(s.ok);
  ASSERT_EQ(s.width, W);
  EXPECT_EQ(s.pixels, pixels);  // every colour kept

  d->colourCount = 7;
  UpdateDocumentPicture(d);
  const std::vector<uint32_t> seven = reduced(d);
  s = save(d, "scene.gif");
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.pixels, seven);
  drain();
  for (int y = 0; y < H; y += 7)
    for (int x = 0; x < W; x += 9) ASSERT_EQ(shown(d->window, d->centreX + x, d->centreY + y), seven[y * W + x]);

  // A click marks the original colour under the pointer; the saved file leaves it out.
  const int px = 12, py = 9;
  input().click(client(d->window).left + d->centreX + px, client(d->window).top + d->centreY + py);
  drain();
  ASSERT_EQ(d->transparentList.count, 1u);
  const uint32_t clicked = pixels[py * W + px];
  const std::vector<uint32_t> after = reduced(d);
  s = save(d, "scene.gif");
  ASSERT_TRUE(s.ok);
  int transparent = 0;
  for (int i = 0; i < W * H; ++i) {
    if (pixels[i] == clicked) {
      ASSERT_EQ(s.pixels[i], giftest::kUnset) << i;
      ++transparent;
    } else {
      ASSERT_EQ(s.pixels[i], after[i]) << i;
    }
  }
  EXPECT_GT(transparent, 1);
}

TEST_F(Saving, NoColoursGivesAnEmptyScreenAndReplacesALongerFile) {
  writeBmp("tiny.bmp", 8, 8, Pattern(8, 8, 3));
  Document* d = open("tiny.bmp");
  ASSERT_NE(d, nullptr);
  writeFile("out.gif", std::vector<uint8_t>(5000, 0xAB));
  d->colourCount = 0;
  JFileSpec* s = fileSpec("out.gif");
  EXPECT_TRUE(SaveDocumentAsGif(d, s));
  JFileSpecFree(s);
  const std::vector<uint8_t> bytes = readFile("out.gif");
  ASSERT_GE(bytes.size(), 14u);
  EXPECT_LT(bytes.size(), 100u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
  EXPECT_EQ(bytes.back(), 0x3B);
  EXPECT_FALSE(GifSaveRunning());
}

TEST_F(Saving, AFileThatCannotBeWrittenIsReportedAndWhatWasThereIsKept) {
  writeBmp("t.bmp", 8, 8, Pattern(8, 8, 3));
  Document* d = open("t.bmp");
  ASSERT_NE(d, nullptr);
  // The name is taken by a folder: the finished GIF cannot be put in its place.
  ASSERT_EQ(mkdir((dir_ + "taken.gif").c_str(), 0755), 0);
  writeFile("taken.gif/inside", {'o', 'l', 'd'});
  JFileSpec* s = fileSpec("taken.gif");
  EXPECT_FALSE(SaveDocumentAsGif(d, s));
  JFileSpecFree(s);
  drain();
  const std::string message = messageShown();
  const std::string start = "Sorry, but \"taken.gif\" cannot be saved. ";
  EXPECT_EQ(message.rfind(start, 0), 0u) << message;
  EXPECT_GT(message.size(), start.size());
  EXPECT_EQ(readFile("taken.gif/inside"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  // No temporary file is left beside it.
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
  // A folder that does not exist.
  s = JFileSpecNew((dir_ + "no/such/folder/").c_str(), "x.gif");
  EXPECT_FALSE(SaveDocumentAsGif(d, s));
  JFileSpecFree(s);
  EXPECT_NE(messageShown().find("\"x.gif\""), std::string::npos);
  EXPECT_FALSE(GifSaveRunning());
}

}  // namespace

namespace {

// Answers the save dialog: `act` runs when it first waits, then any message gets Return.
struct DialogScript {
  std::function<void(JWindow*)> act;
  int waits = 0;
  std::vector<std::string> messages;
};

void Script(void* data, JWindow* window, const char* message) {
  DialogScript* s = static_cast<DialogScript*>(data);
  platform::backend::HeadlessBackend& input =
      static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend());
  if (message) {
    s->messages.push_back(message);
    input.key(platform::wm::kKeyReturn, '\r');
  } else if (s->waits++ == 0) {
    s->act(window);
  } else {
    input.key(platform::wm::kKeyEscape, 27);  // back a second time: a name that did not do
  }
}

class SavingThroughTheDialog : public Saving {
 protected:
  void TearDown() override {
    JSetFileDialogWatcher(nullptr, nullptr);
    Saving::TearDown();
  }
  bool saveWith(Document* d, DialogScript* script) {
    JSetFileDialogWatcher(Script, script);
    return SaveDocumentAsGif(d);
  }
  void typeName(const std::string& name) {
    input().type(name);
    input().key(platform::wm::kKeyReturn, '\r');
  }
};

}  // namespace

TEST_F(SavingThroughTheDialog, TheDialogStartsInThePicturesFolderAndTheChosenNameIsWritten) {
  writeBmp("scene.bmp", 30, 20, Pattern(30, 20, 9));
  Document* d = open("scene.bmp");
  ASSERT_NE(d, nullptr);
  DialogScript script;
  script.act = [&](JWindow* dialog) {
    EXPECT_EQ(std::string(JFileDialogDirectory(dialog)), dir_);
    EXPECT_STREQ(JGetFieldText(JFileDialogWidget(dialog, kJFileDialogNameField)), "*.gif");
    typeName("picked.GIF");
  };
  EXPECT_TRUE(saveWith(d, &script));
  EXPECT_TRUE(script.messages.empty());  // the extension in capitals is the GIF type's
  const giftest::Screen s = giftest::DecodeScreen(readFile("picked.GIF"));
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.pixels, reduced(d));
}

TEST_F(SavingThroughTheDialog, CancelWritesNothingAndSaysNothing) {
  writeBmp("t.bmp", 8, 8, Pattern(8, 8, 3));
  Document* d = open("t.bmp");
  ASSERT_NE(d, nullptr);
  const int beeps = wm().beepCount();
  DialogScript script;
  script.act = [&](JWindow*) { input().key(platform::wm::kKeyEscape, 27); };
  EXPECT_FALSE(saveWith(d, &script));
  drain();
  EXPECT_EQ(messageShown(), "");
  EXPECT_EQ(wm().beepCount(), beeps);
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    EXPECT_EQ(entry.path().extension(), ".bmp") << entry.path();
}

// The dialog runs events: should the document go meanwhile, nothing is written from it.
TEST_F(SavingThroughTheDialog, ADocumentClosedWhileTheDialogWaitsIsNotWritten) {
  writeBmp("t.bmp", 8, 8, Pattern(8, 8, 3));
  Document* d = open("t.bmp");
  ASSERT_NE(d, nullptr);
  DialogScript script;
  script.act = [&](JWindow*) {
    CloseDocument(d);
    typeName("gone.gif");
  };
  EXPECT_FALSE(saveWith(d, &script));
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_TRUE(readFile("gone.gif").empty());
}

TEST_F(SavingThroughTheDialog, AFailedWriteIsReportedWithABeep) {
  writeBmp("t.bmp", 8, 8, Pattern(8, 8, 3));
  Document* d = open("t.bmp");
  ASSERT_NE(d, nullptr);
  const int beeps = wm().beepCount();
  DialogScript script;
  // A folder where no one can make a file, whoever runs the test.
  script.act = [&](JWindow*) { typeName("/proc/denied.gif"); };
  EXPECT_FALSE(saveWith(d, &script));
  drain();
  EXPECT_EQ(messageShown().rfind("Sorry, but \"denied.gif\" cannot be saved. ", 0), 0u) << messageShown();
  EXPECT_EQ(wm().beepCount(), beeps + 1);
}
