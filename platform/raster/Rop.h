// Raster operations. A binary operation (ROP2, codes 1 to 16) combines the pen or brush
// colour P with the destination D; a ternary one (ROP3) combines the pattern P, the
// source S and the destination D. Both act on the bits of the stored pixel values:
// 0x00RRGGBB words on 32-bit targets, palette indices on 8-bit, bits on 1-bit.
#pragma once
#include <cstdint>

namespace platform {

namespace rop2 {
constexpr int Black = 1;        // 0
constexpr int NotMergePen = 2;  // ~(D | P)
constexpr int MaskNotPen = 3;   // D & ~P
constexpr int NotCopyPen = 4;   // ~P
constexpr int MaskPenNot = 5;   // P & ~D
constexpr int Not = 6;          // ~D
constexpr int XorPen = 7;       // D ^ P
constexpr int NotMaskPen = 8;   // ~(D & P)
constexpr int MaskPen = 9;      // D & P
constexpr int NotXorPen = 10;   // ~(D ^ P)
constexpr int Nop = 11;         // D
constexpr int MergeNotPen = 12; // D | ~P
constexpr int CopyPen = 13;     // P
constexpr int MergePenNot = 14; // P | ~D
constexpr int MergePen = 15;    // D | P
constexpr int White = 16;       // 1
}  // namespace rop2

// Ternary operations: bits 16 to 23 hold the truth table, indexed by P * 4 + S * 2 + D.
namespace rop3 {
constexpr uint32_t Blackness = 0x000042;
constexpr uint32_t NotSrcErase = 0x1100A6;  // ~(S | D)
constexpr uint32_t NotSrcCopy = 0x330008;   // ~S
constexpr uint32_t SrcErase = 0x440328;     // S & ~D
constexpr uint32_t DstInvert = 0x550009;    // ~D
constexpr uint32_t PatInvert = 0x5A0049;    // P ^ D
constexpr uint32_t SrcInvert = 0x660046;    // S ^ D
constexpr uint32_t SrcAnd = 0x8800C6;       // S & D
constexpr uint32_t Dst = 0xAA0029;          // D
constexpr uint32_t MergePaint = 0xBB0226;   // ~S | D
constexpr uint32_t MergeCopy = 0xC000CA;    // P & S
constexpr uint32_t SrcCopy = 0xCC0020;      // S
constexpr uint32_t SrcPaint = 0xEE0086;     // S | D
constexpr uint32_t PatCopy = 0xF00021;      // P
constexpr uint32_t PatOrSrc = 0xFC008A;     // P | S
constexpr uint32_t PatPaint = 0xFB0A09;     // P | ~S | D
constexpr uint32_t Whiteness = 0xFF0062;
}  // namespace rop3

constexpr uint8_t Rop3Table(uint32_t rop) { return static_cast<uint8_t>(rop >> 16); }
constexpr bool Rop3UsesSource(uint8_t t) { return ((t >> 2) & 0x33) != (t & 0x33); }
constexpr bool Rop3UsesPattern(uint8_t t) { return (t >> 4) != (t & 0x0F); }

// Applies a ternary truth table bitwise to whole words.
constexpr uint32_t ApplyRop3(uint8_t table, uint32_t p, uint32_t s, uint32_t d) {
  switch (table) {
    case 0x00: return 0;
    case 0xFF: return ~0u;
    case 0xCC: return s;
    case 0xF0: return p;
    case 0xAA: return d;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    case 0xBB: return ~s | d;
    case 0x33: return ~s;
    case 0x55: return ~d;
    case 0x5A: return p ^ d;
    case 0xFC: return p | s;
    case 0xC0: return p & s;
    default: break;
  }
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if ((table >> i) & 1) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r;
}

// Applies a binary operation (1..16); codes outside that range act as CopyPen.
constexpr uint32_t ApplyRop2(int code, uint32_t p, uint32_t d) {
  switch (code) {
    case rop2::CopyPen: return p;
    case rop2::XorPen: return p ^ d;
    case rop2::Not: return ~d;
    case rop2::Nop: return d;
    case rop2::MaskPen: return p & d;
    case rop2::MergePen: return p | d;
    default: break;
  }
  if (code < 1 || code > 16) return p;
  const unsigned table = static_cast<unsigned>(code - 1);
  uint32_t r = 0;
  for (int i = 0; i < 4; ++i) {
    if ((table >> i) & 1) r |= ((i & 2) ? p : ~p) & ((i & 1) ? d : ~d);
  }
  return r;
}

}  // namespace platform
