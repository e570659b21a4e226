// Text between the program's fields and the desktop's clipboard: the program runs on the
// desktop backend inside a virtual X server with the sample picture. Another program
// (xclip) offers a full path as text; pasted with Ctrl+V into the save dialog's name field
// over its offered name, Return must save the GIF there. The other way, a name typed into
// the dialog around more text pasted from the desktop (not ASCII), selected with Ctrl+A and
// copied with Ctrl+C, must be what another program reads from the clipboard while ours
// still runs, as UTF-8 and as Latin-1.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "smoke_util.h"

namespace {

TEST(Smoke, TextFieldsPasteFromAndCopyToTheDesktopsClipboard) {
  const std::string missing = smoke::Missing({"xvfb-run", "xdotool", "import", "convert", "xclip"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is missing: the desktop text clipboard smoke test needs it";
  if (!smoke::ProgramBuilt()) GTEST_SKIP() << "the program was not built: " << smoke::Program();
  const std::string sample = std::string(TINTWELL_SOURCE_DIR) + "/samples/sample.bmp";
  const std::string dir = smoke::BinaryDir();
  const std::string gif = dir + "/smoke_clipboard_text_pasted.gif";
  const std::string shot = dir + "/smoke_clipboard_text.png";
  const std::string accented = "\xC3\xA9t\xC3\xA9";
  const std::string copied = "copied-" + accented + ".gif";
  const std::string copiedLatin1 = "636f706965642de974e92e676966";
  std::remove(gif.c_str());
  std::remove(shot.c_str());

  std::string script = smoke::StartProgram(shot, "'" + sample + "'");
  script += smoke::WaitForPreview(shot);
  script += "printf '%s' '" + gif + "' | xclip -selection clipboard -i &\n"
            "sleep 1\n"
            "xdotool key ctrl+s\n";
  script += smoke::WaitForDialog(shot);
  script += "xdotool key ctrl+v\n"
            "sleep 0.5\n"
            "xdotool key Return\n";
  script += smoke::WaitForGif(gif);
  // The preview is active again once the dialog has gone.
  script += smoke::WaitForPreview(shot);
  script += "printf '%s' '" + accented + "' | xclip -selection clipboard -i &\n"
            "sleep 1\n"
            "xdotool key ctrl+s\n";
  script += smoke::WaitForDialog(shot);
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
  EXPECT_NE(out.find("copied=[" + copied + "]"), std::string::npos) << out;
  EXPECT_NE(out.find("latin1=[" + copiedLatin1 + "]"), std::string::npos) << out;
  EXPECT_NE(out.find("UTF8_STRING"), std::string::npos) << out;
  EXPECT_EQ(smoke::Printed(out, "status"), 0) << out;
  std::remove(gif.c_str());
}

}  // namespace
