// A headless desktop with the document layer installed, a scratch directory for
// picture and GIF files, and helpers to look at what the preview shows.
#pragma once

#include "app/document/Document.h"
#include "app/shell/Documents.h"
#include "jindep/Ji_tidge_std.h"
#include "jwin/J_window.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/clipboard/Clipboard.h"
#include "tests/app/gif/gif_test_util.h"
#include "tests/app/shell/program_fixture.h"
#include "tests/jwin/window/toolkit_fixture.h"
#include "tests/platform/dib/bmp_builder.h"

class DocumentsTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    JFileTypesInit();
    DocumentsInit();
    platform::clipboard::Reset();
    char pattern[] = "/tmp/tintwell-documents-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
  }
  void TearDown() override {
    CloseAllDocuments();
    ToolkitTest::TearDown();
    platform::clipboard::Reset();
    std::system(("chmod -R u+w '" + dir_ + "' && rm -rf '" + dir_ + "'").c_str());
  }
  // Every waiting message handled, and the screen composed to be read.
  void drain() {
    ToolkitTest::drain();
    wm().compose();
  }
  // A click on the window's close box, as the user closes it.
  void clickCloseBox(JWindow* w) {
    const platform::wm::Window* p = wm().window(w->platformWindow);
    const platform::Rect frame = wm().screenFrame(*p);
    const platform::Rect box = p->closeBoxRect().translated(frame.left, frame.top);
    input().click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  }
  platform::Rect client(JWindow* w) { return screenClient(w); }

  void writeFile(const std::string& name, const std::vector<uint8_t>& bytes) { program::WriteAll(dir_ + name, bytes); }
  std::vector<uint8_t> readFile(const std::string& name) { return program::ReadAll(dir_ + name); }
  // A 24-bit bitmap file; pixels 0x00RRGGBB, top row first.
  void writeBmp(const std::string& name, int width, int height, const std::vector<uint32_t>& pixels) {
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.pixels = pixels;
    writeFile(name, BuildBmp(s));
  }
  // Opens a file of the scratch directory as the user would; the new document, or null.
  Document* open(const std::string& name) {
    const uint32_t before = OpenDocumentCount();
    OpenDocumentFile(JFileSpecNew(dir_.c_str(), name.c_str()));
    drain();
    return OpenDocumentCount() > before ? ActiveDocument() : nullptr;
  }
  JFileSpec* fileSpec(const std::string& name) { return JFileSpecNew(dir_.c_str(), name.c_str()); }

  // The screen pixel at a point of a window's content.
  uint32_t shown(JWindow* w, int x, int y) {
    const platform::Rect c = client(w);
    return wm().screen().pixel(c.left + x, c.top + y);
  }
  std::string messageShown() { return program::AlertShown(); }

  std::string dir_;
};

// Pixels with position-dependent colours from a small set.
inline std::vector<uint32_t> Pattern(int width, int height, int colours) {
  std::vector<uint32_t> p(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t k = static_cast<uint32_t>((x / 3 + (y / 2) * ((width + 2) / 3)) % colours);
      p[static_cast<size_t>(y) * width + x] = ((k & 0xFF) * 37 % 256) << 16 | (k >> 8) << 8 | (k * 53 + 20) % 256;
    }
  return p;
}
