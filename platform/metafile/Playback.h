// The player's working state, shared by the files that play each family of records:
// state and objects (Player.cpp), drawing (PlayDrawing.cpp), text (PlayText.cpp) and
// bitmaps (PlayBitmaps.cpp). Internal to the metafile layer.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "platform/dib/DibReader.h"
#include "platform/metafile/Mapping.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/Objects.h"
#include "platform/metafile/Player.h"
#include "platform/raster/DeviceContext.h"

namespace platform::wmf {

// What SAVEDC keeps besides the context's own attributes.
struct State {
  Mapping mapping;
  PenObject pen;
  FontObject font;
  bool hasFont = false;
  int textAlign = 0;
  int stretchMode = 1;  // 4: halftone, stretched smoothly
  int breakExtra = 0;   // justification: logical units spread over the next texts' breaks
  int breakCount = 0;
  std::vector<Colour> palette;
  bool smooth() const { return stretchMode == 4; }
};

// Pictures with partial transparency reach metafiles as two stretched bitmaps onto one
// box: the opacity as grey levels merged in (SRCPAINT), then the colours masked in
// (SRCAND), white where clear. Played literally, any partly clear colour but white comes
// out black; played as a pair, the colours are blended by the opacity, which matches
// the literal result wherever the opacity is all or nothing. So a merged-in bitmap is
// held until the next record shows whether it starts such a pair.
struct HeldBlit {
  int dx, dy, dw, dh, sx, sy, sw, sh;
  std::unique_ptr<Bitmap> bitmap;
  bool sameBox(const HeldBlit& o) const {
    return dx == o.dx && dy == o.dy && dw == o.dw && dh == o.dh && sx == o.sx && sy == o.sy && sw == o.sw &&
           sh == o.sh && bitmap->width() == o.bitmap->width() && bitmap->height() == o.bitmap->height();
  }
};

class Playback {
 public:
  Playback(const Metafile& mf, DeviceContext& dc, const PlayOptions& options);
  void begin(const Rect& frame, const Rect& destination);
  void end();
  static bool Visit(const Record& r, void* data) {
    static_cast<Playback*>(data)->record(r);
    return true;
  }

 private:
  const Mapping& map() const { return st_.mapping; }
  void record(const Record& r);

  // State, objects and clipping (Player.cpp). Each family answers whether it took the record.
  bool stateRecord(const Record& r);
  bool objectRecord(const Record& r);
  bool clipRecord(const Record& r);
  Object* object(int index);
  void create(const Object& o);
  void selectObject(int index);
  Region deviceRegion(const Object& o) const;
  void restoreTo(int level);
  void palette(const Record& r);

  // Lines, shapes, fills and regions (PlayDrawing.cpp).
  bool lineRecord(const Record& r);
  bool drawRecord(const Record& r);
  void applyPen();
  std::vector<Point> points(const Record& r, size_t first, size_t count) const;
  void floodFill(int lx, int ly, Colour colour, bool surface);
  void region(const Record& r);

  // Text (PlayText.cpp).
  bool textRecord(const Record& r);
  void applyFont();
  void text(int lx, int ly, const uint8_t* bytes, size_t length, const Record* r, size_t dxAt);
  std::vector<int> characterLefts(const uint8_t* bytes, size_t length, const Record* dx, size_t dxAt);
  int angledText(Point at, const uint8_t* bytes, size_t length, const std::vector<int>& lefts);
  void textOut(const Record& r);
  void extTextOut(const Record& r);

  // Bitmaps and transfers (PlayBitmaps.cpp).
  bool bitmapRecord(const Record& r);
  std::unique_ptr<Bitmap> recordBitmap(const Record& r, size_t at, bool paletteIndices, dib::DibInfo* info);
  std::unique_ptr<Bitmap> packedBitmap(const uint8_t* data, size_t size, bool paletteIndices, dib::DibInfo* info);
  std::unique_ptr<Bitmap> bitmap16(const Record& r, size_t at);
  void blit(int dx, int dy, int dw, int dh, const Bitmap* src, int sx, int sy, int sw, int sh, uint32_t rop);
  void bitBlt(const Record& r, bool dibForm);
  void stretchBlt(const Record& r, bool dibForm);
  static int SourceTop(const dib::DibInfo& info, int y, int h);
  void stretchDib(const Record& r);
  void drawHeldOpacity();
  void blendWithOpacity(const HeldBlit& opacity, const HeldBlit& colours);
  void setDibToDev(const Record& r);

  DeviceContext& dc_;
  PlayOptions options_;
  std::vector<Object> objects_;
  State st_;
  std::vector<State> saved_;
  std::shared_ptr<Font> font_;
  FontSpec fontSpec_;
  std::optional<HeldBlit> heldOpacity_;
};

}  // namespace platform::wmf
