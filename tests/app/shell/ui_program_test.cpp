// The whole program on the headless desktop, driven as a user drives it: started with a
// bitmap on the command line, the reduced picture saved through File > Save as... and the
// save dialog, a colour clicked and the file replaced, more pictures opened through
// File > Open... (a damaged one), closed; clipboard pictures follow and Ctrl+Q ends it.

#include "app/document/Document.h"
#include "app/picture/DocumentPicture.h"
#include "app/shell/Documents.h"
#include "app/shell/Menus.h"
#include "jindep/Ji_tidge_std.h"
#include "jindep/memory.h"
#include "jwin/J_filedlg.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "platform/clipboard/Clipboard.h"
#include "tests/app/gif/gif_test_util.h"
#include "tests/app/shell/program_fixture.h"
#include "tests/platform/metafile/wmf_builder.h"

namespace {

using program::AlertShown;
using program::ReadAll;
using program::WriteAll;
using platform::wm::kAlt;
using platform::wm::kCtrl;

constexpr int W = 48, H = 36;
constexpr uint32_t kColours = 12;

using DialogStep = DialogScript::Step;

struct Run {
  std::string dir;
  std::vector<uint32_t> pixels;
  Document* document = nullptr;
  std::vector<uint32_t> reduced;
  uint32_t clicked = 0;
  uint64_t bytesBefore = 0;
  int stepsDone = 0;
  DialogScript* dialogs = nullptr;
};
Run run;

platform::backend::HeadlessBackend& Input() { return HeadlessInput(); }

// The screen point where the preview shows the picture's pixel (x, y), and that pixel.
std::pair<int, int> OnScreen(int x, int y) {
  platform::wm::WindowManager& wm = JWindowManager();
  const platform::Rect c = wm.screenClientRect(*wm.window(run.document->window->platformWindow));
  return {c.left + run.document->centreX + x, c.top + run.document->centreY + y};
}
uint32_t Shown(int x, int y) { return JWindowManager().screen().pixel(OnScreen(x, y).first, OnScreen(x, y).second); }

// What the picture map shows: the picture at the current number of colours.
std::vector<uint32_t> Reduced(const Document* d) {
  std::vector<uint32_t> out;
  for (int y = 0; y < d->height; ++y)
    for (int x = 0; x < d->width; ++x) out.push_back(d->pictureMap->bitmap->row32(y)[x] & 0xFFFFFF);
  return out;
}

void Key(uint16_t code, uint32_t character, uint8_t modifiers = 0) { Input().key(code, character, modifiers); }
void Return() { Key(platform::wm::kKeyReturn, '\r'); }

void Then(DialogStep step) { run.dialogs->then(std::move(step)); }

// A dialog shown with the name field as it starts: the pattern of its type.
DialogStep Named(const std::string& typed) {
  return [typed](JWindow* dialog, const char* message) {
    EXPECT_EQ(message, nullptr);
    EXPECT_EQ(std::string(JGetFieldText(JFileDialogWidget(dialog, kJFileDialogNameField))).rfind("*.", 0), 0u);
    Input().type(typed);
    Return();
  };
}

// A message whose title is `title`, answered with Return (Ok, or Yes to a question).
DialogStep Answer(const std::string& title) {
  return [title](JWindow* window, const char* message) {
    EXPECT_NE(message, nullptr);
    EXPECT_EQ(std::string(window->title), title);
    Return();
  };
}

// The steps in order, each with the time the program runs before the next. A step that
// fails fatally stops the run there: the time limit ends it and the count falls short.
const struct {
  void (*look)();
  uint32_t next;
} kSteps[] = {
    {[] {
       Document* d = ActiveDocument();
       ASSERT_NE(d, nullptr) << "the command line's bitmap was not opened";
       run.document = d;
       EXPECT_STREQ(d->name, "start");
       for (int y = 0; y < H; ++y)
         for (int x = 0; x < W; ++x) ASSERT_EQ(Shown(x, y), run.pixels[y * W + x]);
       // Fewer colours, as the controls would set them.
       d->colourCount = kColours;
       UpdateDocumentPicture(d);
       run.reduced = Reduced(d);
       Key('f', 'f', kAlt);
     },
     100},
    // The File menu is open: S chooses Save as...
    {[] {
       EXPECT_TRUE(JWindowManager().popup().isOpen());
       Then(Named("out.gif"));
       Key('s', 's');
     },
     300},
    // The file decodes to the reduced picture; a colour is clicked in the preview.
    {[] {
       EXPECT_EQ(run.dialogs->stepsLeft(), 0u);
       const giftest::Screen s = giftest::DecodeScreen(ReadAll(run.dir + "out.gif"));
       ASSERT_TRUE(s.ok);
       EXPECT_EQ(s.width, W);
       EXPECT_EQ(s.pixels, run.reduced);
       run.clicked = run.pixels[4 * W + 5];
       Input().click(OnScreen(5, 4).first, OnScreen(5, 4).second);
     },
     200},
    // The preview shows the background where the colour was. Ctrl+S: the same name, and the
    // question whether to replace the file answered with Yes.
    {[] {
       ASSERT_EQ(run.document->transparentList.count, 1u);
       EXPECT_EQ(Shown(5, 4), 0xFFFFFFu);
       Then(Named("out.gif"));
       Then(Answer("File Exists"));
       Key('s', 's', kCtrl);
     },
     300},
    // The replaced file leaves the clicked colour out and keeps every other pixel.
    {[] {
       EXPECT_EQ(run.dialogs->stepsLeft(), 0u);
       const giftest::Screen s = giftest::DecodeScreen(ReadAll(run.dir + "out.gif"));
       ASSERT_TRUE(s.ok);
       const std::vector<uint32_t> after = Reduced(run.document);
       int transparent = 0;
       for (int i = 0; i < W * H; ++i) {
         ASSERT_EQ(s.pixels[i], run.pixels[i] == run.clicked ? giftest::kUnset : after[i]) << i;
         transparent += run.pixels[i] == run.clicked;
       }
       EXPECT_GT(transparent, 1);
       JRequestClose(run.document->window);
       run.document = nullptr;
     },
     200},
    // A second picture comes through File > Open..., whose dialog offers its four picture
    // types, bitmaps first; it is named with its whole path.
    {[] {
       EXPECT_EQ(OpenDocumentCount(), 0u);
       run.bytesBefore = JMemBytesInUse();
       Then([](JWindow* dialog, const char* message) {
         const JWidget* types = JFileDialogWidget(dialog, kJFileDialogTypeList);
         EXPECT_EQ(JListRowCount(types), 4);
         EXPECT_EQ(JListSelection(types), 0);
         Named(run.dir + "second.bmp")(dialog, message);
       });
       Key('o', 'o', kCtrl);
     },
     300},
    {[] {
       ASSERT_EQ(OpenDocumentCount(), 1u);
       EXPECT_STREQ(ActiveDocument()->name, "second");
       EXPECT_EQ(ActiveDocument()->width, 20);
       Key('w', 'w', kCtrl);
     },
     300},
    // The second document closed from the keyboard: everything it took is given back.
    {[] {
       EXPECT_EQ(OpenDocumentCount(), 0u);
       EXPECT_EQ(JMemBytesInUse(), run.bytesBefore);
       Then(Named("damaged.bmp"));
       Key('o', 'o', kCtrl);
     },
     300},
    // A damaged file: its alert, and no document.
    {[] {
       EXPECT_EQ(OpenDocumentCount(), 0u);
       const std::string shown = AlertShown();
       EXPECT_EQ(shown.rfind("Sorry, but \"damaged.bmp\" cannot be opened. ", 0), 0u) << shown;
       Return();
     },
     200},
    // The alert answered: memory is back where it was before the second picture was opened.
    // Then three clipboard pictures in a row: the third is named with 3.
    {[] {
       EXPECT_EQ(AlertShown(), "");
       EXPECT_EQ(JMemBytesInUse(), run.bytesBefore);
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
     },
     100},
    // The last one made is in front once it is activated.
    {[] {
       ASSERT_NE(ActiveDocument(), nullptr);
       EXPECT_STREQ(ActiveDocument()->name, "From clipboard #3");
       Key('q', 'q', kCtrl);
     },
     0},
};

void NextStep(void* at) {
  const size_t i = reinterpret_cast<size_t>(at);
  kSteps[i].look();
  if (::testing::Test::HasFatalFailure()) return;
  ++run.stepsDone;
  if (i + 1 < std::size(kSteps)) JSchedule(NextStep, reinterpret_cast<void*>(i + 1), kSteps[i].next);
}

TEST(WholeProgram, FromCommandLineBitmapToGifAndBack) {
  run.dir = program::ScratchFolder();
  BmpSpec s;
  s.width = W;
  s.height = H;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) s.pixels.push_back(static_cast<uint32_t>(((x / 6) * 30) << 16 | ((y / 6) * 50) << 8 | 0x30));
  run.pixels = s.pixels;
  WriteAll(run.dir + "start.bmp", BuildBmp(s));
  BmpSpec second;
  second.width = 20;
  second.height = 10;
  second.pixels.assign(200, 0x406080);
  WriteAll(run.dir + "second.bmp", BuildBmp(second));
  // A bitmap cut off inside its pixels.
  std::vector<uint8_t> damaged = BuildBmp(s);
  damaged.resize(damaged.size() / 2);
  WriteAll(run.dir + "damaged.bmp", damaged);

  platform::clipboard::Reset();
  DialogScript dialogs;
  run.dialogs = &dialogs;
  program::Run({run.dir + "start.bmp"}, NextStep, 300, [] {
    // Ctrl+Q ended the run, not the time limit, closing the clipboard documents and giving
    // the menu bar back.
    EXPECT_LT(JWindowManager().ticks(), program::kTimeLimit);
    EXPECT_EQ(OpenDocumentCount(), 0u);
    EXPECT_EQ(GetMenuRecords(), nullptr);
  });
  EXPECT_EQ(run.stepsDone, static_cast<int>(std::size(kSteps)));
  EXPECT_EQ(dialogs.unexpected, 0);
  EXPECT_EQ(dialogs.messages.size(), 1u);  // File Exists, answered in its step
  program::RemoveFolder(run.dir);
}

}  // namespace
