// The window manager: owns the windows and their z-order, turns raw input into
// messages for the right window (moving and sizing windows by their frames on the way),
// tracks activation and invalid areas, and composes dirty areas onto the screen.
//
// Stacking, bottom to top: the main frame with its document windows (clipped to its
// document area), the other ordinary windows, then the windows kept above.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/wm/Compositor.h"
#include "platform/wm/Cursor.h"
#include "platform/wm/DirtyRegion.h"
#include "platform/wm/Menu.h"
#include "platform/wm/MenuPopup.h"
#include "platform/wm/MessageQueue.h"
#include "platform/wm/Screen.h"
#include "platform/wm/ScreenBackend.h"
#include "platform/wm/Window.h"

namespace platform::wm {

struct HitResult {
  WindowId window = 0;
  HitPart part = HitPart::Nowhere;
  uint8_t edges = 0;
  int menuIndex = -1;  // the menu-bar title under the point, for HitPart::MenuBar
};

class WindowManager {
 public:
  WindowManager(ScreenBackend& backend, int width, int height);
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  Screen& screen() { return screen_; }
  ScreenBackend& backend() { return backend_; }
  MessageQueue& queue() { return queue_; }

  // --- windows ---------------------------------------------------------------------------
  // Only one main frame exists; a document window needs it. Answers 0 when refused.
  WindowId createWindow(WindowKind kind, const WindowStyle& style, std::string title,
                        const Rect& frame);
  void destroyWindow(WindowId id);
  Window* window(WindowId id);
  const Window* window(WindowId id) const;
  WindowId mainFrame() const { return mainFrame_; }
  size_t windowCount() const { return windows_.size(); }

  void show(WindowId id, bool activate);
  void hide(WindowId id);
  void setTitle(WindowId id, std::string title);
  // Places a window (document windows: in document-area coordinates); posts Size and
  // Move when the client's size or position changed.
  void setFrame(WindowId id, const Rect& frame);
  // Places a window so that its client area has this rectangle.
  void setClientRect(WindowId id, const Rect& client);
  void minimize(WindowId id);
  void maximize(WindowId id);
  void restore(WindowId id);
  void raise(WindowId id);
  void activate(WindowId id);
  WindowId activeWindow() const { return active_; }

  Rect screenFrame(const Window& w) const;
  Rect screenClientRect(const Window& w) const;
  // The main frame's document area on the screen (empty without a main frame).
  Rect documentArea() const;
  // Windows from bottom to top as they are drawn.
  std::vector<WindowId> paintOrder() const;
  HitResult hitTest(int x, int y) const;
  // Screen rectangle of a window's client area that is really visible (not covered is
  // not considered; only the clipping of document windows to their area).
  Rect visibleClientRect(const Window& w) const;

  // --- invalid areas and painting --------------------------------------------------------
  void invalidate(WindowId id, const Rect& clientArea);
  void invalidateAll(WindowId id);
  void validate(WindowId id, const Rect& clientArea);
  // The area being painted by the current paint message (client coordinates).
  const DirtyRegion* paintRegion(WindowId id) const;
  // The program drew into a window's backing outside a paint: show it at the next compose.
  void contentChanged(WindowId id, const Rect& clientArea);
  // Merges every changed area onto the framebuffer and hands it to the backend.
  void compose();
  const DirtyRegion& screenDirty() const { return screenDirty_; }

  // --- input and messages ----------------------------------------------------------------
  // Feeds waiting backend input through handleInput.
  void pumpInput();
  void handleInput(const InputEvent& e);
  // The next message, for one window only when `filter` is not 0: posted messages first,
  // then paints, then due timers. Key messages go to the window active now. A paint
  // message moves the window's invalid area into its paint region (erasing it to the
  // background first when the window asks for that).
  bool nextMessage(Message* out, WindowId filter, bool remove);
  // Only a paint message, whatever else waits.
  bool nextPaint(Message* out, WindowId filter, bool remove = true);
  void post(Message m);
  WindowId captureWindow() const { return capture_; }
  void releaseCapture() { capture_ = 0; }
  Point pointer() const { return pointer_; }
  // Moves the pointer (on the desktop too, where the backend can).
  void warpPointer(int x, int y);
  uint8_t modifiers() const { return modifiers_; }

  void setTimer(WindowId id, uint32_t timerId, uint32_t period);
  void killTimer(WindowId id, uint32_t timerId);

  // --- menus --------------------------------------------------------------------------------
  // The main frame's menu bar. Choosing an item posts a Command message with its command
  // to the main frame; an open menu closes when the bar is replaced.
  void setMenus(std::vector<Menu> menus);
  const std::vector<Menu>& menus() const { return menus_; }
  // The system menus' own items, as menu labels ('&' before the mnemonic, a tab before the
  // shortcut). The toolkit sets them from its string resources when it starts.
  struct SystemMenuTexts {
    std::string closeDocument;  // a document window's Close (Ctrl+F4)
    std::string nextWindow;     // a document window's Next (Ctrl+F6)
    std::string closeWindow;    // any other window's Close (Alt+F4)
  };
  void setSystemMenuTexts(SystemMenuTexts texts) { systemTexts_ = std::move(texts); }
  // Items appended, after a separator, to the main frame's system menu.
  void setSystemMenuExtras(std::vector<MenuItem> items);
  // Title rectangles in frame-local coordinates of the main frame.
  std::vector<Rect> menuTitleRects() const;
  const MenuPopup& popup() const { return popup_; }
  void openBarMenu(int index);
  void openSystemMenu(WindowId id);
  // Called just before a menu of the bar or the main frame's system menu opens, so that
  // the program can bring the menus up to date (it may call setMenus from there).
  void setMenuOpeningHook(std::function<void()> hook) { menuOpening_ = std::move(hook); }
  void closeMenu();
  // Brings the bottom document window to the top and activates it: repeated, this
  // visits every document in turn.
  void activateNextDocument();

  // --- clock, cursor, beep ---------------------------------------------------------------
  uint32_t ticks() { return backend_.clock().ticks(); }
  void sleep(uint32_t ms) { backend_.clock().sleep(ms); }
  void setCursor(CursorShape shape);
  CursorShape cursor() const { return cursor_.shape(); }
  void beep();
  int beepCount() const { return beeps_; }

 private:
  struct Drag {
    WindowId window = 0;
    uint8_t edges = 0;  // 0: moving by the caption
    Point start;
    Rect startFrame;
  };
  struct PressedBox {
    WindowId window = 0;
    HitPart part = HitPart::Nowhere;
  };
  struct Timer {
    WindowId window;
    uint32_t id;
    uint32_t period;
    uint32_t next;
  };

  Rect parentArea(const Window& w) const;  // what a window is placed in, in its own coordinates
  void markFrameDirty(const Window& w);
  void applyFrame(Window& w, const Rect& frame);
  // Input (WindowManagerInput.cpp).
  WindowId pointerTarget(const InputEvent& e) const;
  void pointerMoved(const InputEvent& e);
  void pointerPressed(const InputEvent& e);
  void pointerReleased(const InputEvent& e);
  void keyInput(const InputEvent& e);
  void dragTo(int x, int y);
  void boxAction(Window& w, HitPart part);
  void pickNewActive(WindowId leaving);
  void removeFromOrder(WindowId id);
  Message messageFor(MessageType type, const Window& w) const;
  Message pointerMessageFor(MessageType type, const Window& w, const InputEvent& e) const;
  bool hitWindow(const Window& w, int x, int y, HitResult* out) const;
  // Menus (WindowManagerMenus.cpp).
  void markPopupDirty();
  // Input while a menu is open; answers whether the menu took it.
  bool menuInput(const InputEvent& e);
  void chooseMenuItem(int index);

  ScreenBackend& backend_;
  Screen screen_;
  Compositor compositor_;
  MessageQueue queue_;
  Cursor cursor_;
  std::map<WindowId, std::unique_ptr<Window>> windows_;
  std::vector<WindowId> documents_;  // bottom to top
  std::vector<WindowId> topLevel_;   // bottom to top, main frame excluded
  std::map<WindowId, DirtyRegion> painting_;
  std::vector<Timer> timers_;
  std::vector<Menu> menus_;
  std::vector<MenuItem> systemExtras_;
  SystemMenuTexts systemTexts_;
  std::function<void()> menuOpening_;
  MenuPopup popup_;
  bool popupPressed_ = false;  // the button went down inside the open menu
  DirtyRegion screenDirty_;
  WindowId nextId_ = 1;
  WindowId mainFrame_ = 0;
  WindowId active_ = 0;
  WindowId capture_ = 0;
  Drag drag_;
  PressedBox pressed_;
  Point pointer_;
  uint8_t modifiers_ = 0;
  int beeps_ = 0;
};

}  // namespace platform::wm
