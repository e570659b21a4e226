// Clipboard pictures on arbitrary bytes: taken out of the clipboard by the toolkit and
// played into a small pixel map. Input: mapping mode (1 byte), horizontal and vertical
// extents (2 bytes each, little-endian), then the metafile bits.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz/seed_corpus.h"
#include "jwin/J_clipbo.h"
#include "jwin/J_draw.h"
#include "jwin/pixel_map.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/metafile/Metafile.h"

namespace {

constexpr uintptr_t kSender = 99;

std::vector<std::vector<uint8_t>> Seeds() {
  std::vector<std::vector<uint8_t>> out;
  for (std::vector<uint8_t> file : seeds::Metafiles()) {
    // The clipboard holds the metafile proper, without a placement header.
    const bool placeable = file.size() >= 4 && file[0] == 0xD7 && file[1] == 0xCD && file[2] == 0xC6 && file[3] == 0x9A;
    if (placeable) file.erase(file.begin(), file.begin() + std::min<size_t>(file.size(), 22));
    std::vector<uint8_t> seed = {1, 64, 0, 48, 0};
    seed.insert(seed.end(), file.begin(), file.end());
    out.push_back(seed);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  seeds::WriteIfAsked(Seeds(), "clip-");
  JDrawInit();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  platform::clipboard::MetafilePicture picture;
  picture.mappingMode = data[0];
  picture.xExtent = data[1] | data[2] << 8;
  picture.yExtent = data[3] | data[4] << 8;
  picture.bits.assign(data + 5, data + size);
  platform::clipboard::Open(kSender);
  platform::clipboard::SetMetafilePicture(kSender, picture);
  platform::clipboard::Close(kSender);
  JClipPicture* p = JClipboardGetPicture();
  if (!p) return 0;
  JRect frame;
  JClipPictureFrame(p, &frame);
  // Drawn into a small map whatever the frame says: the records must stay inside it.
  JPixMap* map = JPixMapNewDirect(64, 64, 32);
  if (map) {
    JSetDrawBitmap(map);
    JClipPictureDraw(p);
    JResetDrawArea(nullptr);
    JPixMapFree(map);
  }
  JClipPictureFree(p);
  return 0;
}
