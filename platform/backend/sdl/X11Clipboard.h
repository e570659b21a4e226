// The desktop's clipboard under X11, read for pictures: the CLIPBOARD selection is asked
// for its targets and then for a metafile ("image/x-wmf", "image/wmf") or a bitmap
// ("image/bmp" and its older names), which is converted to the clipboard's picture form.
//
// It keeps a connection of its own with a hidden window to receive the data, so that
// SDL's event loop never sees (or eats) the replies. Every wait has a deadline: an owner
// that does not answer makes no picture, never a hung program. Data sent in increments
// is taken, up to a limit.
#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/clipboard/Clipboard.h"

struct _XDisplay;
union _XEvent;

namespace platform::backend {

class X11Clipboard : public clipboard::DesktopSource {
 public:
  // Null when no X display can be reached.
  static std::unique_ptr<X11Clipboard> Open();
  ~X11Clipboard() override;

  bool offersPicture() override;
  std::optional<clipboard::MetafilePicture> takePicture() override;

 private:
  using Deadline = std::chrono::steady_clock::time_point;
  using XId = unsigned long;  // an X window or atom

  X11Clipboard() = default;
  // The picture targets the owner offers, the preferred first.
  std::vector<XId> pictureTargets();
  // Asks the owner for `target` and reads the reply; false when there is none in time.
  bool convert(XId target, std::vector<uint8_t>* bytes, XId* type, int* format);
  bool readProperty(std::vector<uint8_t>* bytes, XId* type, int* format, bool remove);
  bool readIncrements(std::vector<uint8_t>* bytes);
  bool waitFor(int eventType, _XEvent* event, Deadline deadline);
  void dropPendingEvents();

  _XDisplay* display_ = nullptr;
  XId window_ = 0;
  XId clipboard_ = 0;
  XId targets_ = 0;
  XId incr_ = 0;
  XId property_ = 0;
  std::vector<XId> metafileTargets_;
  std::vector<XId> bitmapTargets_;
};

}  // namespace platform::backend
