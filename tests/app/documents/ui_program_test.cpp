// The whole program on the headless desktop: started with a bitmap on the command line,
// the picture is shown, saved, marked, saved again, closed; clipboard pictures follow.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/gif/save_document.h"
#include "app/shell/Document.h"
#include "app/shell/documents.h"
#include "app/shell/main_routine.h"
#include "jindep/memory.h"
#include "jwin/J_event.h"
#include "jwin/J_file.h"
#include "jwin/J_platform.h"
#include "jwin/J_sched.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/clipboard/Clipboard.h"
#include "tests/app/gif/gif_test_util.h"
#include "tests/jwin/file/file_types.h"
#include "tests/platform/dib/bmp_builder.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace {

constexpr int W = 48, H = 36;

struct Run {
  std::string dir;
  std::vector<uint32_t> pixels;
  Document* document = nullptr;
  uint32_t clicked = 0;
  uint64_t bytesBefore = 0;
  int stepsDone = 0;
};
Run run;

platform::backend::HeadlessBackend& Input() {
  return static_cast<platform::backend::HeadlessBackend&>(platform::wm::Desktop::Current()->backend());
}

platform::Rect Client(JWindow* w) {
  return JWindowManager().screenClientRect(*JWindowManager().window(w->platformWindow));
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    for (int c; (c = fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    fclose(f);
  }
  return bytes;
}

giftest::Screen Save(Document* d) {
  JFileSpec* fileSpec = JFileSpecNew(run.dir.c_str(), "out.gif");
  EXPECT_TRUE(SaveDocumentAsGif(d, fileSpec));
  JFileSpecFree(fileSpec);
  return giftest::DecodeScreen(ReadAll(run.dir + "out.gif"));
}

void Quit(void*) { JQuit(); }

// The last one made is in front.
void CheckClipboardNames(void*) {
  Document* third = ActiveDocument();
  ASSERT_NE(third, nullptr);
  EXPECT_STREQ(third->name, "From clipboard #3");
  EXPECT_EQ(third->width, 30);
  ++run.stepsDone;
  JSchedule(Quit, nullptr, 100);
}

// Three clipboard pictures in a row: the third is named with 3.
void ClipboardDocuments(void*) {
  WmfBuilder b;
  b.pen(5, 0, 0).brush(0, 0x30A050).select(0).select(1).add(0x041B, {20, 30, 0, 0});
  platform::clipboard::MetafilePicture p;
  p.xExtent = 30;
  p.yExtent = 20;
  p.bits = b.bits();
  ASSERT_TRUE(platform::clipboard::Open(77));
  platform::clipboard::SetMetafilePicture(77, p);
  platform::clipboard::Close(77);
  for (int i = 0; i < 3; ++i) NewPictureFromClipboard();
  EXPECT_EQ(OpenDocumentCount(), 3u);
  ++run.stepsDone;
  JSchedule(CheckClipboardNames, nullptr, 100);
}

// The preview window closed: the document and everything it held are gone.
void AfterClose(void*) {
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_EQ(ActiveDocument(), nullptr);
  EXPECT_EQ(JMemBytesInUse(), run.bytesBefore);
  ++run.stepsDone;
  JSchedule(ClipboardDocuments, nullptr, 100);
}

// The user clicks the new preview's close box.
void CloseReopened(void*) {
  ASSERT_NE(ActiveDocument(), nullptr);
  const platform::wm::Window* w = JWindowManager().window(ActiveDocument()->window->platformWindow);
  const platform::Rect frame = JWindowManager().screenFrame(*w);
  const platform::Rect box = w->closeBoxRect().translated(frame.left, frame.top);
  Input().click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  ++run.stepsDone;
  JSchedule(AfterClose, nullptr, 200);
}

// A second opening of the same file, closed again, frees every byte it took.
void Reopen(void*) {
  run.bytesBefore = JMemBytesInUse();
  OpenDocumentFile(JFileSpecNew(run.dir.c_str(), "start.bmp"));
  ASSERT_EQ(OpenDocumentCount(), 1u);
  ++run.stepsDone;
  JSchedule(CloseReopened, nullptr, 100);
}

void AfterClick(void*) {
  Document* d = run.document;
  ASSERT_EQ(d->transparentList.count, 1u);
  const giftest::Screen s = Save(d);
  ASSERT_TRUE(s.ok);
  for (int i = 0; i < W * H; ++i)
    ASSERT_EQ(s.pixels[i], run.pixels[i] == run.clicked ? giftest::kUnset : run.pixels[i]) << i;
  // The preview shows the background where the colour was.
  const platform::Rect c = Client(d->window);
  EXPECT_EQ(JWindowManager().screen().pixel(c.left + d->centreX + 5, c.top + d->centreY + 4), 0xFFFFFFu);
  JRequestClose(d->window);
  ++run.stepsDone;
  JSchedule(Reopen, nullptr, 200);
}

void FirstLook(void*) {
  Document* d = ActiveDocument();
  ASSERT_NE(d, nullptr) << "the command line's bitmap was not opened";
  run.document = d;
  EXPECT_STREQ(d->name, "start");
  const platform::Rect c = Client(d->window);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      ASSERT_EQ(JWindowManager().screen().pixel(c.left + d->centreX + x, c.top + d->centreY + y),
                run.pixels[y * W + x]);
  const giftest::Screen s = Save(d);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.pixels, run.pixels);
  run.clicked = run.pixels[4 * W + 5];
  Input().click(c.left + d->centreX + 5, c.top + d->centreY + 4);
  ++run.stepsDone;
  JSchedule(AfterClick, nullptr, 200);
}

TEST(WholeProgram, FromCommandLineBitmapToGifAndBack) {
  char pattern[] = "/tmp/tintwell-program-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  run.dir = std::string(pattern) + "/";
  BmpSpec s;
  s.width = W;
  s.height = H;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) s.pixels.push_back(static_cast<uint32_t>(((x / 6) * 30) << 16 | ((y / 6) * 50) << 8 | 0x30));
  run.pixels = s.pixels;
  const std::vector<uint8_t> bytes = BuildBmp(s);
  FILE* f = fopen((run.dir + "start.bmp").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);

  static char program[] = "tintwell";
  std::string path = run.dir + "start.bmp";
  char* argv[] = {program, path.data(), nullptr};
  JStartValues v = {"headless", 800, 600, 2, argv, 0};
  ASSERT_TRUE(JToolkitInit(&v));
  JFileTypesLoad(TestFileTypeText, nullptr);
  platform::clipboard::Reset();
  JSchedule(FirstLook, nullptr, 300);
  // Ends the run even when a step fails before it schedules the next.
  JSchedule(Quit, nullptr, 60000);
  ApplicationMain();
  EXPECT_EQ(run.stepsDone, 7);
  EXPECT_EQ(OpenDocumentCount(), 0u);  // the end of the run closed the clipboard documents
  JToolkitShutdown();
  std::system(("rm -rf '" + run.dir + "'").c_str());
}

}  // namespace
