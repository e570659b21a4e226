#include "app/gif/GifWriter.h"

#include "app/colour/ColourTable.h"
#include "app/colour/IndexImage.h"
#include "app/colour/Passes.h"
#include "app/document/Document.h"
#include "app/gif/GifColourTable.h"
#include "app/gif/GifPixels.h"
#include "app/gif/GifSink.h"
#include "app/gif/LzwCodes.h"
#include "app/gif/LzwEncoder.h"
#include "jindep/memory.h"

namespace {

// Table entry per colour index for the pass being written. It grows with the
// largest picture seen and is kept, so writing allocates nothing after that.
uint8_t* gPaletteOf = nullptr;
uint32_t gPaletteCapacity = 0;

uint8_t* PaletteScratch(const ColourTable* table) {
  if (gPaletteCapacity < table->count) {
    gPaletteOf = static_cast<uint8_t*>(JRealloc(gPaletteOf, table->count));
    gPaletteCapacity = table->count;
  }
  return gPaletteOf;
}

void PutByte(uint8_t byte) { GifSinkWrite(1, &byte); }

void PutWord(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void WriteHeader() {
  static const uint8_t kHeader[6] = {'G', 'I', 'F', '8', '9', 'a'};
  GifSinkWrite(6, kHeader);
}

// globalBits 0: no global table.
void WriteScreenDescriptor(uint32_t width, uint32_t height, uint32_t globalBits) {
  uint8_t d[7];
  PutWord(d, width);
  PutWord(d + 2, height);
  d[4] = globalBits ? static_cast<uint8_t>(0x80 | (globalBits - 1) << 4 | (globalBits - 1)) : 0;
  d[5] = 0;     // background colour index
  d[6] = 0x31;  // square pixels: (49 + 15) / 64 = 1
  GifSinkWrite(7, d);
}

void WriteColourTable(const uint8_t* rgb, uint32_t bits) { GifSinkWrite(3u << bits, rgb); }

// Disposal 1 (leave in place) so that later passes draw over earlier ones.
void WriteGraphicControl(bool transparent, uint32_t transparentIndex) {
  uint8_t d[8] = {0x21, 0xF9, 0x04, static_cast<uint8_t>(1 << 2 | (transparent ? 1 : 0)), 0, 0,
                  static_cast<uint8_t>(transparent ? transparentIndex : 0), 0};
  GifSinkWrite(8, d);
}

// localBits 0: the image uses the global table.
void WriteImageDescriptor(uint32_t width, uint32_t height, bool interlaced, uint32_t localBits) {
  uint8_t d[10] = {0x2C, 0, 0, 0, 0};
  PutWord(d + 5, width);
  PutWord(d + 7, height);
  d[9] = static_cast<uint8_t>((localBits ? 0x80 | (localBits - 1) : 0) | (interlaced ? 0x40 : 0));
  GifSinkWrite(10, d);
}

// A global table holds at most 256 colours; more cannot be shown with it.
uint32_t ColoursShown(const Document* document, uint32_t n) {
  return document->useGlobalTable && n > kGifMaxTableEntries ? kGifMaxTableEntries : n;
}

}  // namespace

uint32_t GifStreamPasses(const Document* document, uint32_t n) {
  return PassesForColours(document, ColoursShown(document, n));
}

bool GifWritePass(const Document* document, const uint32_t* tally, uint32_t n, uint32_t k) {
  const GifPassScratch scratch = {PaletteScratch(document->colourTable), lzw::Slots()};
  return GifWritePassWith(document, tally, n, k, &scratch);
}

bool GifWritePassWith(const Document* document, const uint32_t* tally, uint32_t n, uint32_t k,
                      const GifPassScratch* scratch) {
  const IndexImage* image = document->indexImage;
  n = ColoursShown(document, n);
  const bool global = document->useGlobalTable && n > 0;
  const uint32_t globalBits = GifGlobalTableBits(document, n);
  uint8_t rgb[kGifMaxTableEntries * 3];

  if (k <= 1) {
    WriteHeader();
    WriteScreenDescriptor(image->width, image->height, globalBits);
    if (global) {
      GifPassTable all = {true, 0, n, false, 0};
      GifBuildColourTable(document, tally, &all, rgb, scratch->paletteOf);
      WriteColourTable(rgb, globalBits);
    }
    k = 1;
  }
  uint32_t before = ColoursForPasses(document, k - 1);
  if (before >= n) {
    // No colours: the stream ends after the screen. A pass past the last writes nothing.
    if (k == 1) PutByte(0x3B);
    return false;
  }
  uint32_t after = ColoursForPasses(document, k);
  const bool last = after >= n;
  if (last) after = n;

  const bool first = k == 1;
  const bool interlaced = first ? document->interlaceFirst : document->interlaceLater;
  GifPassTable pass;
  pass.global = global;
  pass.before = before;
  pass.after = after;
  pass.transparent = first ? document->transparencyOn != 0 : true;
  pass.transparentIndex = pass.transparent && global && first ? after - before : 0;
  const uint32_t bits = global ? globalBits : GifTableBits(after - before + (pass.transparent ? 1 : 0));

  uint8_t* paletteOf = scratch->paletteOf;
  GifBuildColourTable(document, tally, &pass, rgb, paletteOf);
  const GifImageFrame frame = {pass.transparent, pass.transparentIndex, interlaced, !global, bits, rgb};
  const uint32_t codeSize = GifWriteImageHead(document, &frame);
  GifPixelCursor cursor;
  GifPixelCursorStart(&cursor, image, paletteOf, interlaced);
  LzwCompressWith(scratch->slots, static_cast<int>(codeSize) + 1, static_cast<uint32_t>(image->width) * image->height,
                  GifNextPixels, &cursor);
  GifWriteImageTail(last);
  return !last;
}

uint32_t GifWriteImageHead(const Document* document, const GifImageFrame* frame) {
  const IndexImage* image = document->indexImage;
  WriteGraphicControl(frame->transparent, frame->transparentIndex);
  WriteImageDescriptor(image->width, image->height, frame->interlaced, frame->local ? frame->bits : 0);
  if (frame->local) WriteColourTable(frame->rgb, frame->bits);
  const uint32_t codeSize = frame->bits < 2 ? 2 : frame->bits;
  PutByte(static_cast<uint8_t>(codeSize));
  return codeSize;
}

void GifWriteImageTail(bool last) {
  PutByte(0);
  if (last) PutByte(0x3B);
}

void GifWriterRelease() {
  JFree(gPaletteOf);
  gPaletteOf = nullptr;
  gPaletteCapacity = 0;
}
