// The preview window: the document's picture map at actual size, scrolled when the
// window is smaller than the picture and centred when it is larger, the rest in the
// document's background colour. Clicks mark and unmark transparent colours; closing
// it closes the document.
#pragma once
#include <cstdint>

struct Document;

// Creates, places, shows and activates the window titled "<name> (Preview)".
void OpenPreview(Document* document);
// Scroll bars, scroll position and centring for the window's present size.
void LayoutPreview(Document* document);
// Repaints the whole picture (after the picture or the transparency changed).
void RedrawPreview(Document* document);

// Where the picture goes in a content area of the given size: the part of the area
// that is not scroll bars, and which bars are needed.
struct PreviewView {
  int16_t width;   // content less the vertical bar when shown
  int16_t height;  // content less the horizontal bar when shown
  bool horizontalBar;
  bool verticalBar;
};
PreviewView PreviewViewFor(int32_t contentWidth, int32_t contentHeight, int32_t pictureWidth,
                           int32_t pictureHeight, int32_t barThickness);
// The window's first content size: the picture and a 20-pixel margin, within the
// document area (and 200 pixels narrower than it), at least 1 pixel each way.
void PreviewWindowSize(int32_t pictureWidth, int32_t pictureHeight, int32_t areaWidth, int32_t areaHeight,
                       int16_t* width, int16_t* height);
