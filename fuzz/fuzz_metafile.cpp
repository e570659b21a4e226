// The metafile reader and player on arbitrary bytes, drawing into a small bitmap.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/seed_corpus.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/Player.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  seeds::WriteIfAsked(seeds::Metafiles(), "wmf-");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string reason;
  auto m = platform::wmf::Metafile::FromFile(data, size, &reason);
  if (!m) return 0;
  platform::Rect frame{0, 0, 64, 64};
  if (m->placeable()) frame = {m->boxLeft(), m->boxTop(), m->boxRight(), m->boxBottom()};
  auto target = platform::Bitmap::Create(64, 64, 32);
  platform::DeviceContext dc(target.get());
  platform::wmf::PlayOptions options;
  options.maxBitmapPixels = 1 << 16;
  platform::wmf::Play(*m, dc, frame, {0, 0, 64, 64}, &reason, options);
  return 0;
}
