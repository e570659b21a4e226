// Text between the program's fields and the desktop's clipboard, and File > Save as... with
// the save dialog: the program runs on the desktop backend inside a virtual X server with
// the sample picture, and another program (xclip) stands for the rest of the desktop.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/dib/DibReader.h"
#include "smoke_util.h"
#include "tests/app/gif/gif_test_util.h"
#include "tests/app/shell/program_fixture.h"

namespace {

std::string SkipReason() { return smoke::SkipReason({"xvfb-run", "xdotool", "import", "convert", "xclip"}); }

std::string Sample() { return std::string(TINTWELL_SOURCE_DIR) + "/samples/sample.bmp"; }

// Script lines that wait for the preview, run `offer` (another program taking the desktop's
// clipboard), and open Save as... once it has had a second.
std::string SaveAsAfter(const std::string& shot, const std::string& offer) {
  return smoke::WaitForPreview(shot) + offer + "sleep 1\nxdotool key ctrl+s\n" + smoke::WaitForDialog(shot);
}

// A new document keeps every colour: the GIF saved from the sample decodes to its pixels.
void ExpectTheSample(const std::string& gif) {
  const giftest::Screen screen = giftest::DecodeScreen(program::ReadAll(gif));
  ASSERT_TRUE(screen.ok) << "the GIF does not decode";
  std::string reason;
  const std::vector<uint8_t> bmp = program::ReadAll(Sample());
  std::unique_ptr<platform::Bitmap> expected = platform::dib::DecodeFile(bmp.data(), bmp.size(), &reason);
  ASSERT_TRUE(expected) << reason;
  ASSERT_EQ(screen.width, expected->width());
  ASSERT_EQ(screen.height, expected->height());
  size_t different = 0;
  for (int y = 0; y < screen.height; ++y)
    for (int x = 0; x < screen.width; ++x)
      different += screen.pixels[static_cast<size_t>(y) * screen.width + x] != (expected->row32(y)[x] & 0xFFFFFF);
  EXPECT_EQ(different, 0u);
}

// A full path offered as the first line of a text of some 2 MB (sent in increments):
// pasted with Ctrl+V into the save dialog's name field over its offered name, the field
// keeps the first line and Return saves the GIF there. The other way, a name typed into
// the dialog around more text pasted from the desktop (not ASCII), selected with Ctrl+A
// and copied with Ctrl+C, is what another program reads while ours still runs, as UTF-8
// and as Latin-1.
TEST(Smoke, TextFieldsPasteFromAndCopyToTheDesktopsClipboard) {
  const std::string skip = SkipReason();
  if (!skip.empty()) GTEST_SKIP() << skip;
  const std::string dir = smoke::BinaryDir();
  const std::string gif = dir + "/smoke_clipboard_text_pasted.gif";
  const std::string text = dir + "/smoke_clipboard_text.txt";
  const std::string shot = dir + "/smoke_clipboard_text.png";
  const std::string accented = "\xC3\xA9t\xC3\xA9";
  const std::string copied = "copied-" + accented + ".gif";
  const std::string copiedLatin1 = "636f706965642de974e92e676966";
  std::remove(gif.c_str());
  std::remove(shot.c_str());
  {
    std::ofstream out(text, std::ios::binary);
    out << gif << "\n";
    for (int line = 0; line < 40000; ++line) out << "a later line that the name field leaves out\n";
  }

  std::string script = smoke::StartProgram(shot, "'" + Sample() + "'");
  script += SaveAsAfter(shot, "xclip -selection clipboard -i '" + text + "' &\n");
  script += "xdotool key ctrl+v\n"
            "sleep 0.5\n"
            "xdotool key Return\n";
  script += smoke::WaitForGif(gif);
  // The preview is active again once the dialog has gone.
  script += SaveAsAfter(shot, "printf '%s' '" + accented + "' | xclip -selection clipboard -i &\n");
  script += "xdotool type --delay 20 'copied-'\n"
            "xdotool key ctrl+v\n"
            "xdotool type --delay 20 '.gif'\n"
            "xdotool key ctrl+a ctrl+c\n"
            "sleep 0.5\n"
            "echo \"copied=[$(timeout 10 xclip -selection clipboard -o)]\"\n"
            "echo \"latin1=[$(timeout 10 xclip -selection clipboard -o -t STRING | od -An -tx1 | tr -d ' \\n')]\"\n"
            "echo \"targets=[$(timeout 10 xclip -selection clipboard -o -t TARGETS | tr '\\n' ' ')]\"\n"
            "xdotool key Escape\n"
            "sleep 0.5\n";
  script += smoke::QuitProgram();
  const std::string out = smoke::RunOnVirtualDesktop("smoke_clipboard_text", script);

  EXPECT_EQ(smoke::Printed(out, "gif"), 1) << "no GIF where the pasted path said\n" << out;
  ExpectTheSample(gif);
  EXPECT_NE(out.find("copied=[" + copied + "]"), std::string::npos) << out;
  EXPECT_NE(out.find("latin1=[" + copiedLatin1 + "]"), std::string::npos) << out;
  EXPECT_NE(out.find("UTF8_STRING"), std::string::npos) << out;
  EXPECT_EQ(smoke::Printed(out, "status"), 0) << out;
  std::remove(gif.c_str());
  std::remove(text.c_str());
}

// An owner of the desktop's clipboard that never answers (a stopped xclip) costs a paste
// its text, not the program: the name typed after Ctrl+V still saves the GIF, and the
// program quits as usual.
TEST(Smoke, AnOwnerThatNeverAnswersDoesNotHangThePaste) {
  const std::string skip = SkipReason();
  if (!skip.empty()) GTEST_SKIP() << skip;
  const std::string dir = smoke::BinaryDir();
  const std::string gif = dir + "/smoke_clipboard_text_silent.gif";
  const std::string shot = dir + "/smoke_clipboard_text_silent.png";
  std::remove(gif.c_str());
  std::remove(shot.c_str());

  // In the foreground (-quiet), so that the process stopped is the owner itself.
  std::string script = smoke::StartProgram(shot, "'" + Sample() + "'");
  script += SaveAsAfter(shot, "printf 'never.gif' > '" + dir + "/smoke_clipboard_text_silent.txt'\n"
                              "xclip -quiet -selection clipboard -i '" + dir +
                              "/smoke_clipboard_text_silent.txt' >/dev/null &\n"
                              "owner=$!\nsleep 1\nkill -STOP $owner\n");
  script += "start=$(date +%s%N)\n"
            "xdotool key ctrl+v ctrl+v ctrl+a\n"
            "xdotool type --delay 20 '" + gif + "'\n"
            "xdotool key Return\n";
  script += smoke::WaitForGif(gif);
  script += "echo paste_to_save_ms=$(( ($(date +%s%N) - start) / 1000000 ))\n"
            "kill -CONT $owner; kill $owner\n";
  script += smoke::QuitProgram();
  const std::string out = smoke::RunOnVirtualDesktop("smoke_clipboard_text_silent", script);

  EXPECT_EQ(smoke::Printed(out, "gif"), 1) << "no GIF where the typed path said\n" << out;
  ExpectTheSample(gif);
  EXPECT_EQ(smoke::Printed(out, "status"), 0) << out;
  std::printf("pasting from a silent owner, typing and saving took %ld ms\n", smoke::Printed(out, "paste_to_save_ms"));
  std::remove(gif.c_str());
  std::remove((dir + "/smoke_clipboard_text_silent.txt").c_str());
}

}  // namespace
