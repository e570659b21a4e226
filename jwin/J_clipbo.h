// The clipboard: pictures are read from it (the metafile picture only; it is copied out at
// once, so a picture taken stays valid whatever happens to the clipboard afterwards), and
// text goes both ways for the text fields' Cut, Copy and Paste.
#pragma once
#include <cstdint>

#include "jwin/J_rect.h"

namespace platform::wmf {
class Metafile;
}

struct JClipPicture {
  uint16_t width;   // the picture's horizontal extent in pixels
  uint16_t height;  // its vertical extent
  platform::wmf::Metafile* metafile;  // private copy
};

// True when the clipboard offers a metafile picture. False while the toolkit itself
// holds the clipboard open, or when it cannot be opened.
bool JClipboardHasPicture();
// A copy of the clipboard's picture, or null when there is none or it cannot be copied.
// A picture in another mapping mode than pixels is reported on the debug channel and
// comes back with a 0 x 0 frame.
JClipPicture* JClipboardGetPicture();
// (0, 0, height, width) as top, left, bottom, right.
void JClipPictureFrame(const JClipPicture* picture, JRect* frame);
// Plays the picture into the current drawing area at its own coordinates. False when
// there is no area or the records are damaged (what was drawn before the damage stays).
bool JClipPictureDraw(JClipPicture* picture);
void JClipPictureFree(JClipPicture* picture);

// Whether the clipboard holds text.
bool JClipboardHasText();
// A new JAlloc copy of the clipboard's text, or null when it holds none.
char* JClipboardGetText();
// Replaces the clipboard's contents with the text; false when it cannot be opened.
bool JClipboardPutText(const char* text);
