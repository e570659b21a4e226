// The clipboard: one process-wide store of data by format, opened by one owner at a
// time. Tests (and the desktop bridge of a backend) put data here; the toolkit reads it.
// A metafile picture is held as the metafile's bits with its mapping mode and extents,
// as a desktop hands it over.
//
// Where a backend reaches the desktop's own clipboard, text goes both ways: text put here
// is offered to other programs when the clipboard is closed, and once another program
// puts something on the desktop's clipboard, that is newer than the text held here, which
// is then dropped, so that reading asks the desktop.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::clipboard {

enum Format : uint32_t {
  kText = 1,
  kMetafilePicture = 3,
};

// The mapping mode in which extents are pixels.
constexpr int32_t kMappingText = 1;

struct MetafilePicture {
  int32_t mappingMode = kMappingText;
  int32_t xExtent = 0;
  int32_t yExtent = 0;
  std::vector<uint8_t> bits;  // the metafile proper: its 18-byte header, then the records
};

// Opening fails while another owner holds the clipboard open; owner 0 is no owner.
bool Open(uintptr_t owner);
// Closes it if `owner` holds it; answers whether it did.
bool Close(uintptr_t owner);
bool IsOpen();

// Changes need the clipboard open by their owner (false otherwise). Putting data of
// one format replaces what was held in that format and keeps the others.
bool Empty(uintptr_t owner);
bool SetText(uintptr_t owner, const std::string& text);
bool SetMetafilePicture(uintptr_t owner, const MetafilePicture& picture);

// Reading needs the clipboard open (by anyone).
bool HasFormat(Format format);
// The text held, or else the desktop's, or null; valid until the clipboard changes or
// is closed.
const std::string* GetText();
// The picture held, or null; valid until the clipboard changes.
const MetafilePicture* GetMetafilePicture();

// Clears everything and forgets the owner (start-up of the toolkit, tests). The desktop
// source stays: it belongs to the backend, which outlives both.
void Reset();

// The desktop's own clipboard, as a backend that can reach it offers it. It is asked for
// a picture or text only while the clipboard is open and the store itself holds none of
// that form, so what the process put here (and the desktop has not replaced since)
// always comes first.
class DesktopSource {
 public:
  virtual ~DesktopSource() = default;
  // Whether the desktop offers a picture in a form the source can convert.
  virtual bool offersPicture() = 0;
  // The desktop's picture converted to the held form, or none.
  virtual std::optional<MetafilePicture> takePicture() = 0;
  // Whether the desktop offers text, and that text as UTF-8. A source that cannot carry
  // text offers none.
  virtual bool offersText() { return false; }
  virtual std::optional<std::string> takeText() { return std::nullopt; }
  // The process changed its text and closed the clipboard: the desktop should offer this
  // text to other programs from now on (null: the process offers no text any more).
  virtual void publishText(const std::string* text) {}
  // Takes note of what happened on the desktop since it was last asked, without waiting;
  // called each time the clipboard is opened.
  virtual void catchUp() {}
};

// Installs the source (null: none). Not owned; the installer removes it before it goes.
void SetDesktopSource(DesktopSource* source);

// Told by the source when another program has put something on the desktop's clipboard:
// the text the process put here is no longer the newest, so it is dropped (on closing,
// while the clipboard is open: a reader's view does not change under it; text put while
// it is open is newer still and stays).
void DesktopChanged();

}  // namespace platform::clipboard
