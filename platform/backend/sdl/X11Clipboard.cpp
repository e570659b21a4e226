#include "platform/backend/sdl/X11Clipboard.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/clipboard/PictureFromBitmap.h"
#include "platform/clipboard/PictureFromMetafile.h"

namespace platform::backend {

namespace {

// How long an owner may take to answer one request (or to send one increment).
constexpr std::chrono::milliseconds kAnswerTime{500};
// Bytes of one transfer taken at most: more than the largest bitmap the player draws.
constexpr uint64_t kMaxBytes = uint64_t{512} << 20;
// 32-bit units asked for with each property read.
constexpr long kReadUnits = 1L << 20;

// Preferred first: a metafile is the clipboard's own picture form.
constexpr const char* kMetafileNames[] = {"image/x-wmf", "image/wmf"};
constexpr const char* kBitmapNames[] = {"image/bmp", "image/x-bmp", "image/x-MS-bmp"};

}  // namespace

std::unique_ptr<X11Clipboard> X11Clipboard::Open() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<X11Clipboard> c(new X11Clipboard());
  c->display_ = display;
  // Never mapped: it only receives the owner's replies and the increments' notices.
  c->window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display, c->window_, PropertyChangeMask);
  c->clipboard_ = XInternAtom(display, "CLIPBOARD", False);
  c->targets_ = XInternAtom(display, "TARGETS", False);
  c->incr_ = XInternAtom(display, "INCR", False);
  c->property_ = XInternAtom(display, "TINTWELL_CLIPBOARD", False);
  for (const char* name : kMetafileNames) c->metafileTargets_.push_back(XInternAtom(display, name, False));
  for (const char* name : kBitmapNames) c->bitmapTargets_.push_back(XInternAtom(display, name, False));
  return c;
}

X11Clipboard::~X11Clipboard() {
  if (!display_) return;
  XDestroyWindow(display_, window_);
  XCloseDisplay(display_);
}

void X11Clipboard::dropPendingEvents() {
  XEvent e;
  while (XPending(display_)) XNextEvent(display_, &e);
}

bool X11Clipboard::waitFor(int eventType, XEvent* event, Deadline deadline) {
  XFlush(display_);
  for (;;) {
    if (XCheckTypedWindowEvent(display_, window_, eventType, event)) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{ConnectionNumber(display_), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  }
}

bool X11Clipboard::readProperty(std::vector<uint8_t>* bytes, XId* type, int* format, bool remove) {
  bytes->clear();
  long offset = 0;
  for (;;) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, property_, offset, kReadUnits, False, AnyPropertyType, &actualType,
                           &actualFormat, &items, &after, &data) != Success)
      return false;
    // Xlib hands 32-bit items over as longs; 16-bit ones as shorts.
    const size_t itemSize = actualFormat == 32 ? sizeof(long) : actualFormat == 16 ? sizeof(short) : 1;
    const uint64_t got = uint64_t{items} * itemSize;
    const bool tooLarge = bytes->size() + got + after > kMaxBytes;
    if (!tooLarge && data && got) bytes->insert(bytes->end(), data, data + got);
    if (data) XFree(data);
    if (tooLarge) return false;
    *type = actualType;
    *format = actualFormat;
    if (after == 0 || items == 0) break;
    offset += static_cast<long>(items * actualFormat / 32);
  }
  if (remove) XDeleteProperty(display_, window_, property_);
  return true;
}

// The owner sends the data in pieces: each time the property is deleted it puts the next
// piece there, and an empty piece ends the transfer.
bool X11Clipboard::readIncrements(std::vector<uint8_t>* bytes) {
  bytes->clear();
  // The notice of the marker itself is already queued and must not count as a piece.
  dropPendingEvents();
  XDeleteProperty(display_, window_, property_);
  Deadline deadline = std::chrono::steady_clock::now() + kAnswerTime;
  for (;;) {
    XEvent e;
    if (!waitFor(PropertyNotify, &e, deadline)) return false;
    if (e.xproperty.atom != property_ || e.xproperty.state != PropertyNewValue) continue;
    std::vector<uint8_t> piece;
    XId type = 0;
    int format = 0;
    if (!readProperty(&piece, &type, &format, true)) return false;
    if (piece.empty()) return true;
    if (bytes->size() + piece.size() > kMaxBytes) return false;
    bytes->insert(bytes->end(), piece.begin(), piece.end());
    deadline = std::chrono::steady_clock::now() + kAnswerTime;
  }
}

bool X11Clipboard::convert(XId target, std::vector<uint8_t>* bytes, XId* type, int* format) {
  if (XGetSelectionOwner(display_, clipboard_) == None) return false;
  // Replies to an earlier request that timed out must not be taken for this one.
  dropPendingEvents();
  XDeleteProperty(display_, window_, property_);
  XConvertSelection(display_, clipboard_, target, property_, window_, CurrentTime);
  const Deadline deadline = std::chrono::steady_clock::now() + kAnswerTime;
  XEvent e;
  do {
    if (!waitFor(SelectionNotify, &e, deadline)) return false;
  } while (e.xselection.selection != clipboard_ || e.xselection.target != target);
  if (e.xselection.property == None) return false;
  if (!readProperty(bytes, type, format, false)) return false;
  if (*type == incr_) {
    *format = 8;
    return readIncrements(bytes);
  }
  XDeleteProperty(display_, window_, property_);
  return true;
}

std::vector<X11Clipboard::XId> X11Clipboard::pictureTargets() {
  std::vector<XId> found;
  std::vector<uint8_t> bytes;
  XId type = 0;
  int format = 0;
  if (!convert(targets_, &bytes, &type, &format) || format != 32) return found;
  std::vector<XId> offered(bytes.size() / sizeof(XId));
  std::memcpy(offered.data(), bytes.data(), offered.size() * sizeof(XId));
  for (const std::vector<XId>* kind : {&metafileTargets_, &bitmapTargets_})
    for (XId t : *kind)
      if (std::find(offered.begin(), offered.end(), t) != offered.end()) found.push_back(t);
  return found;
}

bool X11Clipboard::offersPicture() { return !pictureTargets().empty(); }

std::optional<clipboard::MetafilePicture> X11Clipboard::takePicture() {
  // A form that cannot be read (damaged, too large) gives way to the next one offered.
  for (XId target : pictureTargets()) {
    std::vector<uint8_t> bytes;
    XId type = 0;
    int format = 0;
    if (!convert(target, &bytes, &type, &format) || format != 8) continue;
    std::string reason;
    const bool metafile =
        std::find(metafileTargets_.begin(), metafileTargets_.end(), target) != metafileTargets_.end();
    std::optional<clipboard::MetafilePicture> picture =
        metafile ? clipboard::PictureFromMetafile(bytes.data(), bytes.size(), &reason)
                 : clipboard::PictureFromBitmap(bytes.data(), bytes.size(), &reason);
    if (picture) return picture;
  }
  return std::nullopt;
}

}  // namespace platform::backend
