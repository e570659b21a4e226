#include "platform/backend/sdl/X11Clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/clipboard/Latin1.h"
#include "platform/clipboard/PictureFromBitmap.h"
#include "platform/clipboard/PictureFromMetafile.h"

namespace platform::backend {

namespace {

// How long an owner may take to answer one request (or to send one increment).
constexpr std::chrono::milliseconds kAnswerTime{500};
// An owner that let us wait that long is not asked again before this has passed, so that
// a hung program costs one wait, not one for every question of a key press.
constexpr std::chrono::milliseconds kSilentOwnerPause{3000};
// Bytes of one transfer taken at most: more than the largest bitmap the player draws.
constexpr uint64_t kMaxPictureBytes = uint64_t{512} << 20;
// Text goes into one-line fields; more than this is not taken at all.
constexpr uint64_t kMaxTextBytes = uint64_t{16} << 20;
// 32-bit units asked for with each property read.
constexpr long kReadUnits = 1L << 20;

// Preferred first: a metafile is the clipboard's own picture form.
constexpr const char* kMetafileNames[] = {"image/x-wmf", "image/wmf"};
constexpr const char* kBitmapNames[] = {"image/bmp", "image/x-bmp", "image/x-MS-bmp"};
// UTF-8 forms before Latin-1 (STRING, added apart: it is a predefined atom).
constexpr const char* kTextNames[] = {"UTF8_STRING", "text/plain;charset=utf-8"};

// Xlib ends the program on a protocol error unless a handler says otherwise. Errors on
// our own connection come from other programs' windows that went away while we wrote
// to them or read from them; they cost that one transfer. Others go where they went.
Display* ownDisplay = nullptr;
XErrorHandler previousHandler = nullptr;
bool handlerInstalled = false;

int IgnoreOwnErrors(Display* display, XErrorEvent* error) {
  if (display == ownDisplay) return 0;
  return previousHandler ? previousHandler(display, error) : 0;
}

}  // namespace

std::unique_ptr<X11Clipboard> X11Clipboard::Open() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<X11Clipboard> c(new X11Clipboard());
  c->display_ = display;
  ownDisplay = display;
  if (!handlerInstalled) {
    previousHandler = XSetErrorHandler(IgnoreOwnErrors);
    handlerInstalled = true;
  }
  // Never mapped: it receives the owners' replies, the increments' notices and, while it
  // owns the selection, the requests of other programs.
  c->window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display, c->window_, PropertyChangeMask);
  c->clipboard_ = XInternAtom(display, "CLIPBOARD", False);
  c->targets_ = XInternAtom(display, "TARGETS", False);
  c->incr_ = XInternAtom(display, "INCR", False);
  c->property_ = XInternAtom(display, "TINTWELL_CLIPBOARD", False);
  c->timeProperty_ = XInternAtom(display, "TINTWELL_TIME", False);
  for (const char* name : kMetafileNames) c->metafileTargets_.push_back(XInternAtom(display, name, False));
  for (const char* name : kBitmapNames) c->bitmapTargets_.push_back(XInternAtom(display, name, False));
  for (const char* name : kTextNames) c->textTargets_.push_back(XInternAtom(display, name, False));
  c->stringTarget_ = XA_STRING;
  c->textTargets_.push_back(c->stringTarget_);
  return c;
}

X11Clipboard::~X11Clipboard() {
  if (!display_) return;
  XDestroyWindow(display_, window_);
  XCloseDisplay(display_);
  // The handler stays: with no display of ours it passes every error on.
  if (ownDisplay == display_) ownDisplay = nullptr;
}

void X11Clipboard::pump() {
  XEvent e;
  while (XPending(display_)) {
    XNextEvent(display_, &e);
    handle(&e);
  }
}

// Requests and the loss of the selection are dealt with; anything else arriving here is a
// reply or notice of a request that already timed out, and is dropped.
void X11Clipboard::handle(XEvent* e) {
  if (e->type == SelectionRequest && e->xselectionrequest.owner == window_) {
    answer(*e);
  } else if (e->type == SelectionClear && e->xselectionclear.window == window_ &&
             e->xselectionclear.selection == clipboard_ && ownText_) {
    // Ours again already when we took it back after the other program.
    if (XGetSelectionOwner(display_, clipboard_) == window_) return;
    ownText_.reset();
    clipboard::DesktopChanged();
  }
}

void X11Clipboard::answer(const XEvent& event) {
  const XSelectionRequestEvent& r = event.xselectionrequest;
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = display_;
  reply.requestor = r.requestor;
  reply.selection = r.selection;
  reply.target = r.target;
  reply.time = r.time;
  reply.property = None;
  // Requestors from before the conventions name no property: the target is used.
  const Atom property = r.property != None ? r.property : r.target;
  const bool current = r.time == CurrentTime || ownedSince_ == CurrentTime || r.time >= ownedSince_;
  if (r.selection == clipboard_ && ownText_ && current) {
    if (r.target == targets_) {
      std::vector<Atom> offered{targets_};
      offered.insert(offered.end(), textTargets_.begin(), textTargets_.end());
      XChangeProperty(display_, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered.data()), static_cast<int>(offered.size()));
      reply.property = property;
    } else if (std::find(textTargets_.begin(), textTargets_.end(), r.target) != textTargets_.end()) {
      const std::string bytes = r.target == stringTarget_ ? clipboard::Latin1FromUtf8(*ownText_) : *ownText_;
      // Text too long for one request would need an incremental transfer; it is refused.
      long units = XExtendedMaxRequestSize(display_);
      if (units == 0) units = XMaxRequestSize(display_);
      if (bytes.size() + 1024 <= static_cast<uint64_t>(units) * 4) {
        XChangeProperty(display_, r.requestor, property, r.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
        reply.property = property;
      }
    }
  }
  XSendEvent(display_, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(display_);
}

X11Clipboard::XId X11Clipboard::serverTime() {
  // Appending nothing to a property of our own window still makes the server send a
  // notice, stamped with its time.
  XChangeProperty(display_, window_, timeProperty_, XA_INTEGER, 8, PropModeAppend, nullptr, 0);
  const Deadline deadline = Clock::now() + kAnswerTime;
  XEvent e;
  while (waitFor(PropertyNotify, &e, deadline))
    if (e.xproperty.atom == timeProperty_) return e.xproperty.time;
  return CurrentTime;
}

void X11Clipboard::publishText(const std::string* text) {
  if (!text) {
    // Given up only if still ours: at the time we took it, so that a later owner keeps it.
    if (ownText_ && XGetSelectionOwner(display_, clipboard_) == window_)
      XSetSelectionOwner(display_, clipboard_, None, ownedSince_);
    ownText_.reset();
    XFlush(display_);
    return;
  }
  ownedSince_ = serverTime();
  XSetSelectionOwner(display_, clipboard_, window_, ownedSince_);
  if (XGetSelectionOwner(display_, clipboard_) == window_)
    ownText_ = *text;
  else
    ownText_.reset();
}

bool X11Clipboard::waitFor(int eventType, XEvent* event, Deadline deadline) {
  XFlush(display_);
  for (;;) {
    if (XCheckTypedWindowEvent(display_, window_, eventType, event)) return true;
    // Other programs' requests are answered meanwhile.
    XEvent other;
    while (XCheckTypedEvent(display_, SelectionRequest, &other) || XCheckTypedEvent(display_, SelectionClear, &other))
      handle(&other);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      timedOut_ = true;
      return false;
    }
    pollfd fd{ConnectionNumber(display_), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  }
}

bool X11Clipboard::readProperty(uint64_t limit, std::vector<uint8_t>* bytes, XId* type, int* format, bool remove) {
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
    const bool tooLarge = bytes->size() + got + after > limit;
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
bool X11Clipboard::readIncrements(uint64_t limit, std::vector<uint8_t>* bytes) {
  bytes->clear();
  // The notice of the marker itself is already queued and must not count as a piece.
  pump();
  XDeleteProperty(display_, window_, property_);
  Deadline deadline = Clock::now() + kAnswerTime;
  for (;;) {
    XEvent e;
    if (!waitFor(PropertyNotify, &e, deadline)) return false;
    if (e.xproperty.atom != property_ || e.xproperty.state != PropertyNewValue) continue;
    std::vector<uint8_t> piece;
    XId type = 0;
    int format = 0;
    if (!readProperty(limit, &piece, &type, &format, true)) return false;
    if (piece.empty()) return true;
    if (bytes->size() + piece.size() > limit) return false;
    bytes->insert(bytes->end(), piece.begin(), piece.end());
    deadline = Clock::now() + kAnswerTime;
  }
}

bool X11Clipboard::convert(XId target, uint64_t limit, std::vector<uint8_t>* bytes, XId* type, int* format) {
  const XId owner = XGetSelectionOwner(display_, clipboard_);
  // Our own window would be waiting on itself.
  if (owner == None || owner == window_) return false;
  if (owner == silentOwner_ && Clock::now() - silentSince_ < kSilentOwnerPause) return false;
  // Replies to an earlier request that timed out must not be taken for this one.
  pump();
  XDeleteProperty(display_, window_, property_);
  XConvertSelection(display_, clipboard_, target, property_, window_, CurrentTime);
  const Deadline deadline = Clock::now() + kAnswerTime;
  timedOut_ = false;
  XEvent e;
  bool got = false;
  do {
    got = waitFor(SelectionNotify, &e, deadline);
  } while (got && (e.xselection.selection != clipboard_ || e.xselection.target != target));
  if (got && e.xselection.property != None && readProperty(limit, bytes, type, format, false)) {
    if (*type != incr_) {
      XDeleteProperty(display_, window_, property_);
      return true;
    }
    *format = 8;
    if (readIncrements(limit, bytes)) return true;
  }
  // A refusal or data too large is an answer; only silence makes the owner one to avoid.
  if (timedOut_) {
    silentOwner_ = owner;
    silentSince_ = Clock::now();
  }
  return false;
}

std::vector<X11Clipboard::XId> X11Clipboard::offered(const std::vector<XId>& wanted) {
  std::vector<XId> found;
  std::vector<uint8_t> bytes;
  XId type = 0;
  int format = 0;
  if (!convert(targets_, kMaxTextBytes, &bytes, &type, &format) || format != 32) return found;
  std::vector<XId> offers(bytes.size() / sizeof(XId));
  std::memcpy(offers.data(), bytes.data(), offers.size() * sizeof(XId));
  for (XId t : wanted)
    if (std::find(offers.begin(), offers.end(), t) != offers.end()) found.push_back(t);
  return found;
}

bool X11Clipboard::offersPicture() {
  std::vector<XId> wanted = metafileTargets_;
  wanted.insert(wanted.end(), bitmapTargets_.begin(), bitmapTargets_.end());
  return !offered(wanted).empty();
}

std::optional<clipboard::MetafilePicture> X11Clipboard::takePicture() {
  std::vector<XId> wanted = metafileTargets_;
  wanted.insert(wanted.end(), bitmapTargets_.begin(), bitmapTargets_.end());
  // A form that cannot be read (damaged, too large) gives way to the next one offered.
  for (XId target : offered(wanted)) {
    std::vector<uint8_t> bytes;
    XId type = 0;
    int format = 0;
    if (!convert(target, kMaxPictureBytes, &bytes, &type, &format) || format != 8) continue;
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

bool X11Clipboard::offersText() {
  if (XGetSelectionOwner(display_, clipboard_) == window_) return ownText_.has_value();
  return !offered(textTargets_).empty();
}

std::optional<std::string> X11Clipboard::takeText() {
  // The text we offer ourselves is the one the process copied: no question to ask.
  if (XGetSelectionOwner(display_, clipboard_) == window_) return ownText_;
  for (XId target : offered(textTargets_)) {
    std::vector<uint8_t> bytes;
    XId type = 0;
    int format = 0;
    if (!convert(target, kMaxTextBytes, &bytes, &type, &format) || format != 8) continue;
    std::string text(bytes.begin(), bytes.end());
    return target == stringTarget_ ? clipboard::Utf8FromLatin1(text) : text;
  }
  return std::nullopt;
}

}  // namespace platform::backend
