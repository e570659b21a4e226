#include "platform/png/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform::png {

namespace {

struct Output {
  std::FILE* file = nullptr;
  bool failed = false;
};

void Write(png_structp png, png_bytep data, png_size_t length) {
  Output* out = static_cast<Output*>(png_get_io_ptr(png));
  if (!out->failed && std::fwrite(data, 1, length, out->file) != length) out->failed = true;
}

void Flush(png_structp png) {
  Output* out = static_cast<Output*>(png_get_io_ptr(png));
  if (!out->failed && std::fflush(out->file) != 0) out->failed = true;
}

// libpng reports errors by long jump; everything it touches is plain data.
bool Encode(const Bitmap& bitmap, Output* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_byte> row(static_cast<size_t>(bitmap.width()) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, Write, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width()), static_cast<png_uint_32>(bitmap.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < bitmap.height(); ++y) {
    const uint32_t* pixels = bitmap.row32(y);
    for (int x = 0; x < bitmap.width(); ++x) {
      row[3 * x] = static_cast<png_byte>(pixels[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(pixels[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(pixels[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return !out->failed;
}

}  // namespace

bool WritePng(const Bitmap& bitmap, const std::string& path, std::string* reason) {
  if (bitmap.depth() != 32 || bitmap.width() < 1 || bitmap.height() < 1) {
    if (reason) *reason = "not a 32-bit picture";
    return false;
  }
  const std::string temporary = path + ".part";
  Output out;
  out.file = std::fopen(temporary.c_str(), "wb");
  if (!out.file) {
    if (reason) *reason = std::strerror(errno);
    return false;
  }
  bool ok = Encode(bitmap, &out);
  const int writeError = out.failed ? (errno ? errno : EIO) : 0;
  ok = std::fclose(out.file) == 0 && ok;
  if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  const int error = writeError ? writeError : (errno ? errno : EIO);
  std::remove(temporary.c_str());
  if (reason) *reason = std::strerror(error);
  return false;
}

}  // namespace platform::png
