#include "jwin/J_clipbo.h"

#include <memory>
#include <string>

#include "jindep/debug.h"
#include "jindep/memory.h"
#include "jwin/draw_state.h"
#include "jwin/J_winproc.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/Player.h"

namespace clip = platform::clipboard;

namespace {

constexpr const char* kSource = "jwin/J_clipbo";

// The clipboard is opened on behalf of the main window (any fixed word will do without one).
uintptr_t Owner() {
  const uint32_t main = JMainPlatformWindow();
  return main ? main : 1;
}

// Opens the clipboard for one read and closes it on every path.
class OpenClipboard {
 public:
  OpenClipboard() : open_(clip::Open(Owner())) {}
  ~OpenClipboard() {
    if (open_) clip::Close(Owner());
  }
  bool open() const { return open_; }

 private:
  bool open_;
};

uint16_t Extent(int32_t e) { return e < 0 ? 0 : e > 0xFFFF ? 0xFFFF : static_cast<uint16_t>(e); }

}  // namespace

bool JClipboardHasPicture() {
  OpenClipboard c;
  return c.open() && clip::HasFormat(clip::kMetafilePicture);
}

JClipPicture* JClipboardGetPicture() {
  OpenClipboard c;
  if (!c.open()) return nullptr;
  const clip::MetafilePicture* held = clip::GetMetafilePicture();
  if (!held) return nullptr;
  std::string why;
  std::unique_ptr<platform::wmf::Metafile> copy =
      platform::wmf::Metafile::FromBits(held->bits.data(), held->bits.size(), &why);
  if (!copy) return nullptr;
  JClipPicture* p = static_cast<JClipPicture*>(JAlloc(sizeof(JClipPicture)));
  p->width = Extent(held->xExtent);
  p->height = Extent(held->yExtent);
  if (held->mappingMode != clip::kMappingText) {
    JDebugReport(kSource, __LINE__, "unhandled MM mode");
    p->width = p->height = 0;
  }
  p->metafile = copy.release();
  return p;
}

bool JClipboardHasText() {
  OpenClipboard c;
  return c.open() && clip::HasFormat(clip::kText);
}

char* JClipboardGetText() {
  OpenClipboard c;
  const std::string* text = c.open() ? clip::GetText() : nullptr;
  return text ? JStrDup(text->c_str()) : nullptr;
}

bool JClipboardPutText(const char* text) {
  OpenClipboard c;
  // Like a desktop clipboard: what was copied last is all it holds.
  return c.open() && clip::Empty(Owner()) && clip::SetText(Owner(), text ? text : "");
}

void JClipPictureFrame(const JClipPicture* picture, JRect* frame) {
  *frame = JRectMake(0, 0, static_cast<int16_t>(picture->width > 32767 ? 32767 : picture->width),
                     static_cast<int16_t>(picture->height > 32767 ? 32767 : picture->height));
}

bool JClipPictureDraw(JClipPicture* picture) {
  platform::DeviceContext* dc = JDrawContextQuiet();
  if (!dc || !picture) return false;
  // No rectangle is applied: the records draw at their own coordinates.
  const platform::Rect identity{0, 0, 1, 1};
  if (!platform::wmf::Play(*picture->metafile, *dc, identity, identity)) return false;
  JDrawInDisplayColours(*dc, {0, 0, static_cast<int>(picture->width), static_cast<int>(picture->height)});
  return true;
}

void JClipPictureFree(JClipPicture* picture) {
  if (!picture) return;
  delete picture->metafile;
  JFree(picture);
}
