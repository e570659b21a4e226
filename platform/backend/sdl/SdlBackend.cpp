#include "platform/backend/sdl/SdlBackend.h"

#include <SDL.h>

#include "platform/backend/sdl/X11Clipboard.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/wm/BackendRegistry.h"
#include "platform/wm/CursorArt.h"
#include "platform/wm/Message.h"
#include "platform/wm/Utf8.h"

namespace platform::backend {

using wm::InputEvent;

uint32_t SdlClock::ticks() { return SDL_GetTicks(); }
void SdlClock::sleep(uint32_t ms) { SDL_Delay(ms); }

std::unique_ptr<SdlBackend> SdlBackend::Open(int width, int height) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return nullptr;
  std::unique_ptr<SdlBackend> b(new SdlBackend());
  // Placed at the desktop's origin so that screen points and our points agree.
  b->window_ = SDL_CreateWindow("tintwell", 0, 0, width, height, SDL_WINDOW_SHOWN);
  if (b->window_) b->renderer_ = SDL_CreateRenderer(b->window_, -1, SDL_RENDERER_SOFTWARE);
  if (b->renderer_)
    b->texture_ = SDL_CreateTexture(b->renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                    width, height);
  if (!b->texture_) return nullptr;
  SDL_StartTextInput();
  b->desktopClipboard_ = X11Clipboard::Open();
  if (b->desktopClipboard_) clipboard::SetDesktopSource(b->desktopClipboard_.get());
  return b;
}

SdlBackend::~SdlBackend() {
  if (desktopClipboard_) clipboard::SetDesktopSource(nullptr);
  for (auto& [shape, cursor] : cursors_) SDL_FreeCursor(cursor);
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

namespace {

uint8_t Modifiers(uint16_t mod) {
  uint8_t m = 0;
  if (mod & KMOD_SHIFT) m |= wm::kShift;
  if (mod & KMOD_CTRL) m |= wm::kCtrl;
  if (mod & KMOD_ALT) m |= wm::kAlt;
  return m;
}

uint16_t KeyCodeOf(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_LEFT: return wm::kKeyLeft;
    case SDLK_RIGHT: return wm::kKeyRight;
    case SDLK_UP: return wm::kKeyUp;
    case SDLK_DOWN: return wm::kKeyDown;
    case SDLK_HOME: return wm::kKeyHome;
    case SDLK_END: return wm::kKeyEnd;
    case SDLK_PAGEUP: return wm::kKeyPageUp;
    case SDLK_PAGEDOWN: return wm::kKeyPageDown;
    case SDLK_INSERT: return wm::kKeyInsert;
    case SDLK_DELETE: return wm::kKeyDelete;
    case SDLK_KP_ENTER: return wm::kKeyReturn;
    default: break;
  }
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return static_cast<uint16_t>(wm::kKeyF1 + (sym - SDLK_F1));
  if (sym > 0 && sym < 128) return static_cast<uint16_t>(sym);
  return 0;
}

}  // namespace

void SdlBackend::translate(const SDL_Event& e) {
  InputEvent in;
  switch (e.type) {
    case SDL_QUIT:
      in.type = InputEvent::Type::CloseRequest;
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED) exposed_ = true;
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
        in.type = InputEvent::Type::CloseRequest;
        break;
      }
      return;
    case SDL_MOUSEMOTION:
      in.type = InputEvent::Type::MouseMove;
      in.x = e.motion.x;
      in.y = e.motion.y;
      in.modifiers = Modifiers(keyModifiers_);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      in.type = e.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Type::MouseDown : InputEvent::Type::MouseUp;
      in.x = e.button.x;
      in.y = e.button.y;
      in.button = e.button.button;
      in.modifiers = Modifiers(keyModifiers_);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      in.type = e.type == SDL_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp;
      in.key = KeyCodeOf(e.key.keysym.sym);
      keyModifiers_ = e.key.keysym.mod;
      in.modifiers = Modifiers(keyModifiers_);
      if (in.key == 0) return;
      // Keys that type no text still give a character, as do Ctrl and Alt combinations
      // (text input stays silent for those).
      if (in.type == InputEvent::Type::KeyDown) {
        const bool control = in.modifiers & (wm::kCtrl | wm::kAlt);
        if (in.key == wm::kKeyReturn || in.key == wm::kKeyEscape || in.key == wm::kKeyBackspace ||
            in.key == wm::kKeyTab || (control && in.key < 128))
          in.character = in.key;
      }
      break;
    }
    case SDL_TEXTINPUT: {
      // The modifiers of the key press that typed the text, not of the keyboard now: when the
      // program reads its input late, Ctrl may already be down for a later key (Ctrl+V right
      // after typing), and reading the present state would drop the text typed before it.
      if (keyModifiers_ & (KMOD_CTRL | KMOD_ALT)) return;
      for (uint32_t code : wm::DecodeUtf8(e.text.text)) {
        InputEvent t;
        t.type = InputEvent::Type::Text;
        t.character = code;
        pending_.push_back(t);
      }
      return;
    }
    default:
      return;
  }
  pending_.push_back(in);
}

bool SdlBackend::nextInput(InputEvent* out) {
  // Other programs asking for the text we copied are answered between input events (the
  // event loop never waits long for input, so they are never kept waiting long).
  if (desktopClipboard_) desktopClipboard_->pump();
  SDL_Event e;
  while (pending_.empty() && SDL_PollEvent(&e)) translate(e);
  if (pending_.empty()) return false;
  *out = pending_.front();
  pending_.pop_front();
  return true;
}

void SdlBackend::waitForInput(uint32_t ms) {
  if (!pending_.empty()) return;
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, static_cast<int>(ms))) translate(e);
}

void SdlBackend::upload(const Bitmap& fb, const Rect& r) {
  const Rect a = r.intersected({0, 0, fb.width(), fb.height()});
  if (a.empty()) return;
  SDL_Rect area{a.left, a.top, a.width(), a.height()};
  if (fb.depth() == 32) {
    SDL_UpdateTexture(texture_, &area, fb.row32(a.top) + a.left, fb.stride());
    return;
  }
  // An indexed display: its colour table gives the colours the window shows.
  const std::vector<uint32_t>& table = fb.palette();
  rgb_.resize(static_cast<size_t>(a.width()) * a.height());
  uint32_t* out = rgb_.data();
  for (int y = a.top; y < a.bottom; ++y) {
    const uint8_t* in = fb.row(y);
    for (int x = a.left; x < a.right; ++x) *out++ = in[x] < table.size() ? table[in[x]] : 0;
  }
  SDL_UpdateTexture(texture_, &area, rgb_.data(), a.width() * 4);
}

void SdlBackend::present(const Bitmap& fb, const std::vector<Rect>& changed) {
  if (changed.empty() && !exposed_) return;
  // Only changed areas are uploaded; the texture keeps the rest.
  if (exposed_) {
    upload(fb, {0, 0, fb.width(), fb.height()});
  } else {
    for (const Rect& r : changed) upload(fb, r);
  }
  exposed_ = false;
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

namespace {

// One of the program's own cursors, from its drawing.
SDL_Cursor* CursorFromArt(const wm::CursorArt& art) {
  constexpr int kBytes = wm::CursorArt::kSize / 8;
  Uint8 data[wm::CursorArt::kSize * kBytes] = {};
  Uint8 mask[wm::CursorArt::kSize * kBytes] = {};
  for (int y = 0; y < wm::CursorArt::kSize; ++y) {
    for (int x = 0; x < wm::CursorArt::kSize; ++x) {
      const char c = art.rows[y][x];
      const Uint8 bit = static_cast<Uint8>(0x80 >> (x & 7));
      if (c != ' ') mask[y * kBytes + x / 8] |= bit;
      if (c == 'X') data[y * kBytes + x / 8] |= bit;
    }
  }
  return SDL_CreateCursor(data, mask, wm::CursorArt::kSize, wm::CursorArt::kSize, art.hotX, art.hotY);
}

}  // namespace

void SdlBackend::setCursor(wm::CursorShape shape) {
  SDL_Cursor*& cursor = cursors_[static_cast<int>(shape)];
  if (!cursor) {
    const wm::CursorArt* art = wm::ArtOf(shape);
    const SDL_SystemCursor id = shape == wm::CursorShape::Busy        ? SDL_SYSTEM_CURSOR_WAIT
                                : shape == wm::CursorShape::Crosshair ? SDL_SYSTEM_CURSOR_CROSSHAIR
                                : shape == wm::CursorShape::IBeam     ? SDL_SYSTEM_CURSOR_IBEAM
                                                                      : SDL_SYSTEM_CURSOR_ARROW;
    cursor = art ? CursorFromArt(*art) : SDL_CreateSystemCursor(id);
  }
  if (cursor) SDL_SetCursor(cursor);
}

void SdlBackend::warpPointer(int x, int y) { SDL_WarpMouseInWindow(window_, x, y); }

namespace {
// Linked whole into the program, so this runs before main and makes "sdl" available.
[[maybe_unused]] const bool registered = [] {
  wm::BackendRegistry::Register("sdl", [](int width, int height) -> std::unique_ptr<wm::ScreenBackend> {
    return SdlBackend::Open(width, height);
  });
  return true;
}();
}  // namespace

}  // namespace platform::backend
