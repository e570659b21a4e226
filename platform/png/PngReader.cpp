#include "platform/png/PngReader.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform::png {

namespace {

bool Fail(std::string* reason, const std::string& text) {
  if (reason) *reason = text;
  return false;
}

// libpng reports errors by calling the error function, which must not return: it jumps
// back to the setjmp of the call in progress. Nothing with a destructor lives between.
struct Reader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t at = 0;
  std::jmp_buf jump;
  char message[160] = "";
};

[[noreturn]] void OnError(png_structp png, png_const_charp text) {
  Reader* r = static_cast<Reader*>(png_get_error_ptr(png));
  std::snprintf(r->message, sizeof r->message, "%s", text);
  std::longjmp(r->jump, 1);
}

// Warnings are about ancillary chunks, which are skipped: nothing to tell.
void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, size_t count) {
  Reader* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (count > r->size - r->at) png_error(png, "the data is cut short");
  std::memcpy(out, r->data + r->at, count);
  r->at += count;
}

bool Begin(Reader* r, const uint8_t* data, size_t size, std::string* reason) {
  if (!IsPng(data, size)) return Fail(reason, "the file is not a PNG picture");
  r->data = data;
  r->size = size;
  r->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, r, OnError, OnWarning);
  r->info = r->png ? png_create_info_struct(r->png) : nullptr;
  if (!r->info) return Fail(reason, "there is not enough memory for the picture");
  png_set_read_fn(r->png, r, OnRead);
  // Text and profile chunks may inflate to anything; none is needed.
  png_set_chunk_malloc_max(r->png, 8u << 20);
  return true;
}

void End(Reader* r) {
  if (r->png) png_destroy_read_struct(&r->png, r->info ? &r->info : nullptr, nullptr);
}

bool Damaged(const Reader* r, std::string* reason) {
  return Fail(reason, std::string("the PNG data is damaged (") + r->message + ")");
}

bool CheckSize(Reader* r, std::string* reason, const DecodeLimits& limits) {
  if (setjmp(r->jump)) return Damaged(r, reason);
  png_read_info(r->png, r->info);
  const uint64_t width = png_get_image_width(r->png, r->info), height = png_get_image_height(r->png, r->info);
  if (width > dib::kMaxSide || height > dib::kMaxSide)
    return Fail(reason, "the PNG picture is larger than 32767 pixels across or down");
  if (width * height > limits.maxPixels) return Fail(reason, "the PNG picture has more pixels than can be handled");
  return true;
}

// Every colour type and depth arrives as bytes B, G, R, A: one 0xAARRGGBB word a pixel.
bool ReadPixels(Reader* r, Bitmap* target, std::string* reason) {
  if (setjmp(r->jump)) return Damaged(r, reason);
  png_set_expand(r->png);  // palette and low-depth grey to 8 bits, tRNS to alpha
  png_set_scale_16(r->png);
  png_set_gray_to_rgb(r->png);
  png_set_add_alpha(r->png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(r->png);
  const int passes = png_set_interlace_handling(r->png);
  png_read_update_info(r->png, r->info);
  if (target->depth() != 32 || target->width() != static_cast<int>(png_get_image_width(r->png, r->info)) ||
      target->height() != static_cast<int>(png_get_image_height(r->png, r->info)) ||
      png_get_rowbytes(r->png, r->info) != static_cast<size_t>(target->width()) * 4)
    return Fail(reason, "the PNG picture does not fit the bitmap given for it");
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < target->height(); ++y) png_read_row(r->png, target->row(y), nullptr);
  png_read_end(r->png, nullptr);
  return true;
}

uint8_t Over(uint32_t colour, uint32_t background, int shift, uint32_t alpha) {
  const uint32_t c = colour >> shift & 0xFF, b = background >> shift & 0xFF;
  return static_cast<uint8_t>((c * alpha + b * (255 - alpha) + 127) / 255);
}

// The unused colour nearest the background (Manhattan distance, then a fixed order), so
// that whatever stands in for transparent pixels looks like what they stood over.
bool UnusedColourNear(const std::vector<uint64_t>& used, uint32_t background, uint32_t* colour) {
  const int r0 = background >> 16 & 0xFF, g0 = background >> 8 & 0xFF, b0 = background & 0xFF;
  for (int d = 0; d <= 765; ++d) {
    for (int dr = -d; dr <= d; ++dr) {
      const int r = r0 + dr;
      if (r < 0 || r > 255) continue;
      const int rest = d - (dr < 0 ? -dr : dr);
      for (int dg = -rest; dg <= rest; ++dg) {
        const int g = g0 + dg;
        if (g < 0 || g > 255) continue;
        const int db = rest - (dg < 0 ? -dg : dg);
        for (int b : {b0 - db, b0 + db}) {
          if (b < 0 || b > 255) continue;
          const uint32_t key = static_cast<uint32_t>(r << 16 | g << 8 | b);
          if (!(used[key >> 6] >> (key & 63) & 1)) {
            *colour = key;
            return true;
          }
          if (db == 0) break;
        }
      }
    }
  }
  return false;
}

// Pixels arrive as 0xAARRGGBB; they leave as 0x00RRGGBB with the alpha settled.
bool SettleAlpha(Bitmap* target, Alpha* alpha, std::string* reason) {
  bool anyClear = false;
  for (int y = 0; y < target->height(); ++y) {
    uint32_t* row = target->row32(y);
    for (int x = 0; x < target->width(); ++x) {
      const uint32_t p = row[x], a = p >> 24;
      if (a == 0) {
        anyClear = true;
        row[x] = 0;  // no top byte: transparent
        continue;
      }
      const uint32_t c = a == 255 ? p & 0xFFFFFF
                                  : static_cast<uint32_t>(Over(p, alpha->background, 16, a)) << 16 |
                                        static_cast<uint32_t>(Over(p, alpha->background, 8, a)) << 8 |
                                        Over(p, alpha->background, 0, a);
      row[x] = c | 0xFF000000u;
    }
  }
  alpha->hasTransparent = anyClear;
  if (anyClear) {
    std::vector<uint64_t> used((1u << 24) / 64, 0);
    for (int y = 0; y < target->height(); ++y) {
      const uint32_t* row = target->row32(y);
      for (int x = 0; x < target->width(); ++x)
        if (row[x] >> 24) used[(row[x] & 0xFFFFFF) >> 6] |= uint64_t{1} << (row[x] & 63);
    }
    if (!UnusedColourNear(used, alpha->background, &alpha->transparentColour))
      return Fail(reason, "the PNG picture uses every colour, so none is left for its transparent pixels");
  }
  for (int y = 0; y < target->height(); ++y) {
    uint32_t* row = target->row32(y);
    for (int x = 0; x < target->width(); ++x) row[x] = row[x] >> 24 ? row[x] & 0xFFFFFF : alpha->transparentColour;
  }
  return true;
}

}  // namespace

bool IsPng(const uint8_t* data, size_t size) { return size >= 8 && png_sig_cmp(data, 0, 8) == 0; }

bool ReadSize(const uint8_t* data, size_t size, int* width, int* height, std::string* reason,
              const DecodeLimits& limits) {
  Reader r;
  const bool ok = Begin(&r, data, size, reason) && CheckSize(&r, reason, limits);
  if (ok) {
    *width = static_cast<int>(png_get_image_width(r.png, r.info));
    *height = static_cast<int>(png_get_image_height(r.png, r.info));
  }
  End(&r);
  return ok;
}

bool Decode(const uint8_t* data, size_t size, Bitmap* target, Alpha* alpha, std::string* reason,
            const DecodeLimits& limits) {
  Reader r;
  const bool ok = Begin(&r, data, size, reason) && CheckSize(&r, reason, limits) && ReadPixels(&r, target, reason);
  End(&r);
  return ok && SettleAlpha(target, alpha, reason);
}
std::unique_ptr<Bitmap> DecodeFile(const uint8_t* data, size_t size, Alpha* alpha, std::string* reason,
                                   const DecodeLimits& limits) {
  int width = 0, height = 0;
  if (!ReadSize(data, size, &width, &height, reason, limits)) return nullptr;
  std::unique_ptr<Bitmap> bitmap = Bitmap::Create(width, height, 32);
  if (!bitmap) return Fail(reason, "there is not enough memory for the picture"), nullptr;
  if (!Decode(data, size, bitmap.get(), alpha, reason, limits)) return nullptr;
  return bitmap;
}

}  // namespace platform::png
