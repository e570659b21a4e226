#include <sys/stat.h>

#include <filesystem>

#include "app/gif/GifFile.h"
#include "app/shell/SaveDocument.h"
#include "documents_fixture.h"
#include "tests/jwin/file_dialog/dialog_script.h"

namespace {

class Saving : public DocumentsTest {};

// With no colours the screen is empty, and it replaces a longer file whole. A file that
// cannot be written is reported, and what was there is kept.
TEST_F(Saving, NoColoursGivesAnEmptyScreenAndAFailedSaveKeepsWhatWasThere) {
  writeBmp("t.bmp", 8, 8, Pattern(8, 8, 3));
  Document* d = open("t.bmp");
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
  // The name is taken by a folder: the finished GIF cannot be put in its place.
  ASSERT_EQ(mkdir((dir_ + "taken.gif").c_str(), 0755), 0);
  writeFile("taken.gif/inside", {'o', 'l', 'd'});
  const int beeps = wm().beepCount();
  s = fileSpec("taken.gif");
  EXPECT_FALSE(SaveDocumentAsGif(d, s));
  JFileSpecFree(s);
  drain();
  const std::string message = messageShown();
  const std::string start = "Sorry, but \"taken.gif\" cannot be saved. ";
  EXPECT_EQ(message.rfind(start, 0), 0u) << message;
  EXPECT_GT(message.size(), start.size());
  EXPECT_EQ(wm().beepCount(), beeps + 1);
  EXPECT_EQ(readFile("taken.gif/inside"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  // No temporary file is left beside it.
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
  // A folder that does not exist.
  s = JFileSpecNew((dir_ + "no/such/folder/").c_str(), "x.gif");
  EXPECT_FALSE(SaveDocumentAsGif(d, s));
  JFileSpecFree(s);
  EXPECT_NE(messageShown().find("\"x.gif\""), std::string::npos);
  EXPECT_FALSE(GifWriteRunning());
}

// The dialog runs events: should the document go meanwhile, nothing is written from it.
TEST_F(Saving, ADocumentClosedWhileTheDialogWaitsIsNotWritten) {
  writeBmp("t.bmp", 8, 8, Pattern(8, 8, 3));
  Document* d = open("t.bmp");
  ASSERT_NE(d, nullptr);
  DialogScript script;
  script.then([&](JWindow*, const char*) {
    CloseDocument(d);
    input().type("gone.gif");
    input().key(platform::wm::kKeyReturn, '\r');
  });
  EXPECT_FALSE(SaveDocumentAsGif(d));
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_TRUE(readFile("gone.gif").empty());
}

}  // namespace
