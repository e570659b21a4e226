// A device context: where drawing goes and with what. One painter for every primitive.
//
// A context draws into a target bitmap (depth 1, 8 or 32). Logical coordinates are the
// bitmap's coordinates minus the origin, so a window's context can use client
// coordinates while the pixels land in a backing bitmap or on the screen framebuffer.
// What may be touched is the target's bounds, intersected with the visible region (set by
// whoever owns the surface, in bitmap coordinates) and with the clip region chosen by the
// caller (logical coordinates). Coordinates are integers; every rectangle is half-open.
//
// Colours are 0x00RRGGBB. On 1-bit and 8-bit targets a colour becomes the nearest palette
// entry, and raster operations act on the stored index bits.
#pragma once
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/raster/Font.h"
#include "platform/raster/Geometry.h"
#include "platform/raster/Region.h"
#include "platform/raster/Rop.h"

namespace platform {

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null, InsideFrame };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;  // 0 draws as 1, at most 65535; wide pens have round ends and are drawn solid
  Colour colour = 0;
};

enum class BrushStyle { Solid, Hollow, Pattern, Hatched, ColourPattern };

// Hatch styles of hatched brushes.
enum class Hatch { Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

// Patterns are 8 x 8 and tile from the target bitmap's pixel (0, 0).
struct Brush {
  BrushStyle style = BrushStyle::Solid;
  Colour colour = 0xFFFFFF;
  // Pattern and Hatched: one byte a row, leftmost pixel in the top bit. A Pattern brush
  // is a monochrome bitmap: 0 bits take the text colour, 1 bits the background colour.
  // A Hatched brush paints its colour on 1 bits and the background colour on 0 bits only
  // in opaque background mode.
  uint8_t bits[8] = {};
  Colour colours[64] = {};  // ColourPattern: row-major

  static Brush Solid(Colour c);
  static Brush Hollow();
  static Brush Pattern(const uint8_t rows[8]);
  static Brush Hatched(Hatch hatch, Colour c);
  static Brush ColourPattern(const Colour colours[64]);
};

enum class BackgroundMode { Transparent = 1, Opaque = 2 };
enum class FillRule { Alternate = 1, Winding = 2 };
enum class TextHAlign { Left, Centre, Right };
enum class TextVAlign { Top, Baseline, Bottom };

// Internal to the raster: how a span is painted, and spans gathered for one shape.
struct SpanPaint;
class SpanCollector;

struct TextExtent {
  int width = 0;
  int ascent = 0;
  int descent = 0;
};

class DeviceContext {
 public:
  // A context on the whole bitmap with origin (0, 0). The bitmap must outlive the context.
  explicit DeviceContext(Bitmap* target);
  // A context on part of a bitmap: logical (0, 0) is bitmap pixel `origin`; drawing is
  // limited to `visible` (bitmap coordinates).
  DeviceContext(Bitmap* target, Point origin, const Region& visible);
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;
  ~DeviceContext();

  // --- surface -------------------------------------------------------------------------
  Bitmap* target() const { return target_; }
  // Selects another bitmap (or none: nothing is drawn) and resets the visible region to
  // its bounds and the origin to (0, 0); the previous bitmap is returned.
  Bitmap* selectTarget(Bitmap* target);
  Point origin() const { return origin_; }
  void setOrigin(Point origin) { origin_ = {Limit(origin.x), Limit(origin.y)}; }
  void setVisibleRegion(const Region& visible);  // bitmap coordinates

  // --- clipping (logical coordinates) ----------------------------------------------------
  bool hasClip() const { return hasClip_; }
  const Region& clipRegion() const { return clip_; }
  void setClipRect(const Rect& r);
  void setClipRegion(const Region& r);
  void removeClip();
  void intersectClipRect(const Rect& r);
  void excludeClipRect(const Rect& r);
  // Every pixel drawing may touch, in bitmap coordinates.
  const Region& effectiveClip() const;

  // Saves every attribute below and the clip; restore() brings back the last saved set.
  // Restoring with nothing saved does nothing and answers false.
  void save();
  bool restore();

  // --- attributes ------------------------------------------------------------------------
  const Pen& pen() const { return pen_; }
  void setPen(const Pen& pen) {
    pen_ = pen;
    pen_.width = pen.width < 0 ? 0 : pen.width > 65535 ? 65535 : pen.width;
  }
  const Brush& brush() const { return brush_; }
  void setBrush(const Brush& brush) { brush_ = brush; }
  Colour textColour() const { return textColour_; }
  void setTextColour(Colour c) { textColour_ = c & 0xFFFFFF; }
  Colour backgroundColour() const { return backgroundColour_; }
  void setBackgroundColour(Colour c) { backgroundColour_ = c & 0xFFFFFF; }
  BackgroundMode backgroundMode() const { return backgroundMode_; }
  void setBackgroundMode(BackgroundMode m) { backgroundMode_ = m; }
  int rop2() const { return rop2_; }
  void setRop2(int code) { rop2_ = (code >= 1 && code <= 16) ? code : rop2::CopyPen; }
  FillRule fillRule() const { return fillRule_; }
  void setFillRule(FillRule r) { fillRule_ = r; }
  Point currentPosition() const { return position_; }
  void moveTo(int x, int y) { position_ = {x, y}; }

  const std::shared_ptr<Font>& font() const { return font_; }
  void setFont(std::shared_ptr<Font> font) { font_ = std::move(font); }
  TextHAlign textHAlign() const { return hAlign_; }
  TextVAlign textVAlign() const { return vAlign_; }
  void setTextAlign(TextHAlign h, TextVAlign v) { hAlign_ = h; vAlign_ = v; }
  int characterExtra() const { return charExtra_; }
  void setCharacterExtra(int extra) { charExtra_ = extra; }

  // --- pixels and lines (pen, ROP2) ------------------------------------------------------
  // Pixel colour in logical coordinates; false outside the clip.
  bool setPixel(int x, int y, Colour c);
  bool getPixel(int x, int y, Colour* out) const;
  // Lines leave out their last pixel; the current position moves to (x, y).
  void lineTo(int x, int y);
  void line(int x0, int y0, int x1, int y1);
  void polyline(const Point* points, int count);

  // --- shapes (outline with the pen, inside with the brush, ROP2) -------------------------
  // Bounding rectangles are half-open; a 1-pixel pen draws on the rectangle's edge pixels.
  void rectangle(const Rect& r);
  void roundRect(const Rect& r, int cornerWidth, int cornerHeight);
  void ellipse(const Rect& r);
  void polygon(const Point* points, int count);
  void polyPolygon(const Point* points, const int* counts, int polygonCount);
  // Arcs go counter-clockwise from the ray towards `start` to the ray towards `end`.
  void arc(const Rect& r, Point start, Point end);
  void pie(const Rect& r, Point start, Point end);
  void chord(const Rect& r, Point start, Point end);
  // Fills with a brush, no outline, always a plain copy of the brush.
  void fillRect(const Rect& r, const Brush& brush);
  void fillRegion(const Region& logical, const Brush& brush);
  // Inverts the stored bits (palette indices on 1 and 8-bit targets).
  void invertRect(const Rect& r);

  // --- bit transfers ----------------------------------------------------------------------
  // `src` may be this context. The source rectangle is clipped to the source bitmap.
  // From a 1-bit source to a colour target: 0 takes this context's text colour and 1 its
  // background colour. From a colour source to a 1-bit target: pixels equal to the
  // source context's background colour become 1, all others 0.
  void patBlt(const Rect& r, uint32_t rop);
  void bitBlt(int x, int y, int w, int h, const DeviceContext& src, int sx, int sy, uint32_t rop);
  // Nearest-pixel stretch; negative widths or heights mirror.
  void stretchBlt(int x, int y, int w, int h, const DeviceContext& src, int sx, int sy, int sw,
                  int sh, uint32_t rop);
  // A device-independent transfer: a source of depth 1 or 8 is read through its own
  // palette; a colour becomes the nearest colour of a 1-bit or 8-bit target. `smooth`
  // copies between 32-bit bitmaps interpolate where they grow and average where they shrink.
  void stretchBitmap(int x, int y, int w, int h, const Bitmap& src, int sx, int sy, int sw,
                     int sh, uint32_t rop, bool smooth = false);
  // Where the 1-bit `mask` (same size and position as the source) is 1, `foreRop` applies;
  // where it is 0, `backRop`.
  void maskBlt(int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
               const Bitmap& mask, int mx, int my, uint32_t foreRop, uint32_t backRop);

  // --- text (text colour; background box in opaque mode) ----------------------------------
  // Strings are UTF-8 (invalid bytes are taken as Latin-1). Without a font nothing happens.
  void textOut(int x, int y, const char* text, int length);
  TextExtent textExtent(const char* text, int length) const;

  // Colour of a stored pixel value on this target (palette lookup for depths 1 and 8).
  Colour colourOfValue(uint32_t value) const;
  // Stored value for a colour on this target.
  uint32_t valueOfColour(Colour c) const;

 private:
  struct State;
  using Paint = SpanPaint;

  void invalidateClip() { effectiveValid_ = false; }
  // Coordinates are limited to +-2^28 before any arithmetic, so that no caller's values
  // (a metafile's, say) can overflow it; nothing that far out is ever visible.
  static int Limit(int64_t v) {
    constexpr int64_t kLimit = int64_t{1} << 28;
    return static_cast<int>(v < -kLimit ? -kLimit : v > kLimit ? kLimit : v);
  }
  static Rect LimitRect(const Rect& r) { return {Limit(r.left), Limit(r.top), Limit(r.right), Limit(r.bottom)}; }
  // Logical to bitmap coordinates; rectangles come out normalized.
  Point toDevice(int x, int y) const { return {Limit(x) + origin_.x, Limit(y) + origin_.y}; }
  Rect toDevice(const Rect& r) const {
    const Rect l = LimitRect(r);
    return Rect::Normalized(l.left, l.top, l.right, l.bottom).translated(origin_.x, origin_.y);
  }
  Paint penPaint() const;
  Paint brushPaint(const Brush& b, int rop) const;
  void fillSpan(int y, int x0, int x1, const Paint& paint);  // bitmap coordinates, clipped
  void paintSpans(SpanCollector& spans, const Paint& paint);
  void strokeSegment(SpanCollector& spans, int x0, int y0, int x1, int y1, int& dashPhase,
                     SpanCollector* gaps, bool lastPixel);
  // Gathers a polyline's pen pixels (and its dash gaps when they are painted, answering true).
  bool collectStroke(SpanCollector& spans, SpanCollector& gaps, const Point* points, int count,
                     bool closed);
  void paintStroke(SpanCollector& spans, SpanCollector& gaps, bool opaqueGaps);
  void strokePolyline(const Point* points, int count, bool closed);
  enum class ArcKind { Arc, Pie, Chord };
  void arcShape(const Rect& r, Point start, Point end, ArcKind kind);
  void fillAndOutline(SpanCollector& interior, SpanCollector& outline);
  // Splits a thin curved outline of a dashed pen into dashes and gaps by the distance
  // along the curve from its rightmost point; answers whether the gaps are painted.
  bool dashCurve(SpanCollector& outline, SpanCollector& gaps, double cx, double cy, double rx, double ry);
  // One bit transfer: where it goes, what it reads and how the two are combined.
  struct TransferRequest {
    int x = 0, y = 0, w = 0, h = 0;  // destination, logical; a negative size mirrors
    const Bitmap* source = nullptr;
    Point sourceOrigin{};             // bitmap pixel of the source's logical (0, 0)
    int sx = 0, sy = 0, sw = 0, sh = 0;
    uint32_t rop = 0;       // everywhere, or where the mask is 1
    uint32_t backRop = 0;   // where the mask is 0
    Colour sourceBackground = 0xFFFFFF;  // a colour source's 1s on a 1-bit target
    bool deviceIndependent = false;      // sources of depth 1 and 8 read through their own palette
    bool smooth = false;                 // interpolated and averaged, not nearest pixels
    const Bitmap* mask = nullptr;
    Point maskAt{};
  };
  struct TransferArea;
  void transfer(const TransferRequest& request);
  // Stored source value to stored target value, for sources of depth 1 and 8.
  std::vector<uint32_t> sourceValueTable(const TransferRequest& request, const Bitmap& src) const;
  void transferPixels(const TransferRequest& request, const TransferArea& a);

  Bitmap* target_ = nullptr;
  Point origin_;
  Region visible_;
  bool hasClip_ = false;
  Region clip_;
  mutable Region effective_;
  mutable bool effectiveValid_ = false;

  Pen pen_;
  Brush brush_;
  Colour textColour_ = 0x000000;
  Colour backgroundColour_ = 0xFFFFFF;
  BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
  int rop2_ = rop2::CopyPen;
  FillRule fillRule_ = FillRule::Alternate;
  Point position_;
  std::shared_ptr<Font> font_;
  TextHAlign hAlign_ = TextHAlign::Left;
  TextVAlign vAlign_ = TextVAlign::Top;
  int charExtra_ = 0;
  std::vector<State> saved_;
  // Nearest palette index by colour, for 1 and 8-bit targets; cleared when the target
  // changes (a palette changed while selected needs the bitmap selected again).
  mutable std::unordered_map<Colour, uint8_t> nearestCache_;
};

}  // namespace platform
