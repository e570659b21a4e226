#include "platform/wm/Compositor.h"

#include "platform/wm/FramePainter.h"
#include "platform/wm/Metrics.h"
#include "platform/wm/WindowManager.h"

namespace platform::wm {

void Compositor::compose(WindowManager& wm, const std::vector<Rect>& rects) {
  Bitmap& fb = wm.screen().composition();
  const std::vector<WindowId> order = wm.paintOrder();
  const Rect docArea = wm.documentArea();
  // The main frame looks active while one of its documents is.
  const Window* active = wm.window(wm.activeWindow());
  const bool frameActive = active && (active->kind() == WindowKind::Document || active->id() == wm.mainFrame());
  for (const Rect& dirty : rects) {
    const Rect r = dirty.intersected(wm.screen().bounds());
    if (r.empty()) continue;
    pixels_ += static_cast<uint64_t>(r.width()) * r.height();
    FramePainter(fb, r).fill(r, Palette::kDesktop);
    for (WindowId id : order) {
      const Window* w = wm.window(id);
      const Rect f = wm.screenFrame(*w);
      Rect clip = r.intersected(f);
      if (w->kind() == WindowKind::Document) clip = clip.intersected(docArea);
      if (clip.empty()) continue;
      FramePainter painter(fb, clip);
      painter.decoration(*w, f, id == wm.mainFrame() ? frameActive : wm.activeWindow() == id);
      if (w->hasMenuBar()) {
        std::vector<Rect> titles = wm.menuTitleRects();
        for (Rect& t : titles) t = t.translated(f.left, f.top);
        const MenuPopup& open = wm.popup();
        painter.menuBar(w->menuBarRect().translated(f.left, f.top), wm.menus(), titles,
                        open.isOpen() ? open.barIndex() : -1);
      }
      if (w->state() != WindowState::Minimized) painter.client(*w, wm.screenClientRect(*w));
    }
    // An open menu lies over everything.
    if (wm.popup().isOpen() && !r.intersected(wm.popup().bounds()).empty())
      FramePainter(fb, r).popup(wm.popup());
    wm.screen().showComposed(r);
  }
}

}  // namespace platform::wm
