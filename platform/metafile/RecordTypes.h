// Function numbers of the metafile records this layer reads.
#pragma once
#include <cstdint>

namespace platform::wmf::fn {

constexpr uint16_t Eof = 0x0000;
constexpr uint16_t SaveDC = 0x001E;
constexpr uint16_t RealizePalette = 0x0035;
constexpr uint16_t SetPalEntries = 0x0037;
constexpr uint16_t SetBkMode = 0x0102;
constexpr uint16_t SetMapMode = 0x0103;
constexpr uint16_t SetRop2 = 0x0104;
constexpr uint16_t SetRelAbs = 0x0105;
constexpr uint16_t SetPolyFillMode = 0x0106;
constexpr uint16_t SetStretchBltMode = 0x0107;
constexpr uint16_t SetTextCharExtra = 0x0108;
constexpr uint16_t RestoreDC = 0x0127;
constexpr uint16_t InvertRegion = 0x012A;
constexpr uint16_t PaintRegion = 0x012B;
constexpr uint16_t SelectClipRegion = 0x012C;
constexpr uint16_t SelectObject = 0x012D;
constexpr uint16_t SetTextAlign = 0x012E;
constexpr uint16_t ResizePalette = 0x0139;
constexpr uint16_t DibCreatePatternBrush = 0x0142;
constexpr uint16_t DeleteObject = 0x01F0;
constexpr uint16_t CreatePatternBrush = 0x01F9;
constexpr uint16_t SetBkColor = 0x0201;
constexpr uint16_t SetTextColor = 0x0209;
constexpr uint16_t SetTextJustification = 0x020A;
constexpr uint16_t SetWindowOrg = 0x020B;
constexpr uint16_t SetWindowExt = 0x020C;
constexpr uint16_t SetViewportOrg = 0x020D;
constexpr uint16_t SetViewportExt = 0x020E;
constexpr uint16_t OffsetWindowOrg = 0x020F;
constexpr uint16_t OffsetViewportOrg = 0x0211;
constexpr uint16_t LineTo = 0x0213;
constexpr uint16_t MoveTo = 0x0214;
constexpr uint16_t OffsetClipRgn = 0x0220;
constexpr uint16_t FillRegion = 0x0228;
constexpr uint16_t SetMapperFlags = 0x0231;
constexpr uint16_t SelectPalette = 0x0234;
constexpr uint16_t CreatePenIndirect = 0x02FA;
constexpr uint16_t CreateFontIndirect = 0x02FB;
constexpr uint16_t CreateBrushIndirect = 0x02FC;
constexpr uint16_t Polygon = 0x0324;
constexpr uint16_t Polyline = 0x0325;
constexpr uint16_t ScaleWindowExt = 0x0410;
constexpr uint16_t ScaleViewportExt = 0x0412;
constexpr uint16_t ExcludeClipRect = 0x0415;
constexpr uint16_t IntersectClipRect = 0x0416;
constexpr uint16_t Ellipse = 0x0418;
constexpr uint16_t FloodFill = 0x0419;
constexpr uint16_t FrameRegion = 0x0429;
constexpr uint16_t Rectangle = 0x041B;
constexpr uint16_t SetPixel = 0x041F;
constexpr uint16_t AnimatePalette = 0x0436;
constexpr uint16_t TextOut = 0x0521;
constexpr uint16_t PolyPolygon = 0x0538;
constexpr uint16_t ExtFloodFill = 0x0548;
constexpr uint16_t RoundRect = 0x061C;
constexpr uint16_t PatBlt = 0x061D;
constexpr uint16_t Escape = 0x0626;
constexpr uint16_t CreateRegion = 0x06FF;
constexpr uint16_t Arc = 0x0817;
constexpr uint16_t Pie = 0x081A;
constexpr uint16_t Chord = 0x0830;
constexpr uint16_t BitBlt = 0x0922;
constexpr uint16_t DibBitBlt = 0x0940;
constexpr uint16_t ExtTextOut = 0x0A32;
constexpr uint16_t StretchBlt = 0x0B23;
constexpr uint16_t DibStretchBlt = 0x0B41;
constexpr uint16_t SetDibToDev = 0x0D33;
constexpr uint16_t StretchDib = 0x0F43;
constexpr uint16_t CreatePalette = 0x00F7;

// The blit records come in two forms: without a bitmap (a raster operation on the
// destination only, with a reserved word before the destination fields) and with one.
// The form without a bitmap has exactly (function >> 8) + 3 words.
inline bool BlitHasBitmap(uint16_t function, uint32_t sizeWords) {
  return sizeWords != static_cast<uint32_t>((function >> 8) + 3);
}

}  // namespace platform::wmf::fn
