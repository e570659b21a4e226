// The desktop's clipboard under X11. Pictures are read: the CLIPBOARD selection is asked
// for its targets and then for a metafile ("image/x-wmf", "image/wmf") or a bitmap
// ("image/bmp" and its older names), which is converted to the clipboard's picture form.
// Text goes both ways: it is read as UTF8_STRING, text/plain;charset=utf-8 or STRING
// (Latin-1), and text the process copies is offered in those forms, the selection owned
// by our window until another program takes it over.
//
// It keeps a connection of its own with a hidden window to receive the data and the
// requests, so that SDL's event loop never sees (or eats) them; pump() must run regularly
// to answer other programs. Every wait has a deadline: an owner that does not answer
// makes no picture or text, never a hung program, and is not asked again for a while.
// Data sent in increments is taken, up to a limit.
#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
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
  bool offersText() override;
  std::optional<std::string> takeText() override;
  void publishText(const std::string* text) override;
  void catchUp() override { pump(); }

  // Answers other programs' requests and notes a lost selection; never waits.
  void pump();

 private:
  using Clock = std::chrono::steady_clock;
  using Deadline = Clock::time_point;
  using XId = unsigned long;  // an X window, atom or time

  X11Clipboard() = default;
  // Of the targets in `wanted`, those the owner offers, in the order of `wanted`.
  std::vector<XId> offered(const std::vector<XId>& wanted);
  // Asks the owner for `target` and reads the reply of at most `limit` bytes; false when
  // there is none in time, or the owner is our own window or one that let us wait lately.
  bool convert(XId target, uint64_t limit, std::vector<uint8_t>* bytes, XId* type, int* format);
  bool readProperty(uint64_t limit, std::vector<uint8_t>* bytes, XId* type, int* format, bool remove);
  bool readIncrements(uint64_t limit, std::vector<uint8_t>* bytes);
  // False when the deadline passes first (and timedOut_ is set).
  bool waitFor(int eventType, _XEvent* event, Deadline deadline);
  void handle(_XEvent* event);
  // Answers a SelectionRequest event.
  void answer(const _XEvent& request);
  // The server's time now, for taking the selection; CurrentTime when it does not say.
  XId serverTime();

  _XDisplay* display_ = nullptr;
  XId window_ = 0;
  XId clipboard_ = 0;
  XId targets_ = 0;
  XId incr_ = 0;
  XId property_ = 0;
  XId timeProperty_ = 0;
  std::vector<XId> metafileTargets_;
  std::vector<XId> bitmapTargets_;
  std::vector<XId> textTargets_;  // UTF-8 forms first, STRING last
  XId stringTarget_ = 0;
  // The text we offer while our window owns the selection, taken at that time.
  std::optional<std::string> ownText_;
  XId ownedSince_ = 0;
  // The last owner that did not answer in time, and when.
  XId silentOwner_ = 0;
  Deadline silentSince_{};
  bool timedOut_ = false;
};

}  // namespace platform::backend
