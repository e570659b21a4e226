// What the desktop's clipboard hands over, on arbitrary bytes: the same input is read as
// a bitmap (file or packed) and as a metafile file, and every picture made of it is
// checked and played into a small pixel map through the toolkit, as a document is made.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/seed_corpus.h"
#include "jwin/J_clipbo.h"
#include "jwin/J_draw.h"
#include "jwin/pixel_map.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/clipboard/PictureFromBitmap.h"
#include "platform/clipboard/PictureFromMetafile.h"
#include "platform/metafile/Metafile.h"

namespace {

namespace clip = platform::clipboard;
constexpr uintptr_t kDesktop = 77;

std::vector<std::vector<uint8_t>> Seeds() {
  std::vector<std::vector<uint8_t>> out = seeds::Bitmaps();
  const size_t files = out.size();
  for (size_t i = 0; i < files; ++i) out.emplace_back(out[i].begin() + 14, out[i].end());
  for (std::vector<uint8_t>& m : seeds::Metafiles()) out.push_back(std::move(m));
  return out;
}

void Check(const std::optional<clip::MetafilePicture>& picture, const std::string& reason) {
  if (!picture) {
    if (reason.empty()) __builtin_trap();
    return;
  }
  // A picture made is always a whole metafile of a size a document can have.
  if (picture->xExtent < 1 || picture->yExtent < 1 || picture->xExtent > 32767 || picture->yExtent > 32767)
    __builtin_trap();
  std::string why;
  if (!platform::wmf::Metafile::FromBits(picture->bits.data(), picture->bits.size(), &why)) __builtin_trap();
  clip::Open(kDesktop);
  clip::Empty(kDesktop);
  clip::SetMetafilePicture(kDesktop, *picture);
  clip::Close(kDesktop);
  JClipPicture* p = JClipboardGetPicture();
  if (!p) __builtin_trap();
  JPixMap* map = JPixMapNewDirect(64, 64, 32);
  if (map) {
    JSetDrawBitmap(map);
    JClipPictureDraw(p);
    JResetDrawArea(nullptr);
    JPixMapFree(map);
  }
  JClipPictureFree(p);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  seeds::WriteIfAsked(Seeds(), "desk-");
  JDrawInit();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string reason;
  Check(clip::PictureFromBitmap(data, size, &reason), reason);
  reason.clear();
  Check(clip::PictureFromMetafile(data, size, &reason), reason);
  return 0;
}
