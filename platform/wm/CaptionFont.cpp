#include "platform/wm/CaptionFont.h"

namespace platform::wm {

// Frames are plain until the raster's fonts are built: no caption or menu text yet,
// and titles are measured at an average width.
void CaptionFont::Draw(Bitmap&, const Rect&, int, int, int, const std::string&, Colour) {}
int CaptionFont::Width(const std::string& s) { return static_cast<int>(s.size()) * 7; }

}  // namespace platform::wm
