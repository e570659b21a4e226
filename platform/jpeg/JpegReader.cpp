#include "platform/jpeg/JpegReader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace platform::jpeg {

namespace {

// A progressive file may hold any number of scans, each a pass over the whole picture;
// real encoders write about ten. Far more is a file built to take forever.
constexpr int kMaxScans = 256;

// libjpeg reports errors by calling error_exit, which must not return: it jumps back
// to the setjmp of the call in progress. Nothing with a destructor lives between the two.
struct Reader {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr common) {
  Reader* r = reinterpret_cast<Reader*>(common->client_data);
  common->err->format_message(common, r->message);
  std::longjmp(r->jump, 1);
}

// Warnings (level -1) are about damaged data: refused like errors.
void OnMessage(j_common_ptr common, int level) {
  if (level < 0) OnError(common);
}

void OnProgress(j_common_ptr common) {
  Reader* r = reinterpret_cast<Reader*>(common->client_data);
  if (r->info.input_scan_number > kMaxScans) {
    std::snprintf(r->message, sizeof r->message, "it has more than %d scans", kMaxScans);
    std::longjmp(r->jump, 1);
  }
}

void Setup(Reader* r, const uint8_t* data, size_t size) {
  std::memset(r, 0, sizeof *r);
  r->info.err = jpeg_std_error(&r->errors);
  r->errors.error_exit = OnError;
  r->errors.emit_message = OnMessage;
  r->info.client_data = r;
  jpeg_create_decompress(&r->info);
  r->progress.progress_monitor = OnProgress;
  r->info.progress = &r->progress;
  jpeg_mem_src(&r->info, data, static_cast<unsigned long>(size));
}

bool Fail(std::string* reason, const std::string& text) {
  if (reason) *reason = text;
  return false;
}

// Checks what the headers say; called after jpeg_read_header.
bool CheckHeader(const jpeg_decompress_struct& info, std::string* reason, const DecodeLimits& limits) {
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
    return Fail(reason, "the JPEG picture is in CMYK colours, which cannot be read; save it in RGB colours");
  const uint64_t width = info.image_width, height = info.image_height;
  if (width > dib::kMaxSide || height > dib::kMaxSide)
    return Fail(reason, "the JPEG picture is larger than 32767 pixels across or down");
  if (width * height > limits.maxPixels) return Fail(reason, "the JPEG picture has more pixels than can be handled");
  return true;
}

// The jump target must stay alive while libjpeg runs, so each call that may fail
// sets it in its own frame.
bool ReadHeaderIn(Reader* r, std::string* reason, const DecodeLimits& limits) {
  if (setjmp(r->jump)) return Fail(reason, std::string("the JPEG data is damaged (") + r->message + ")");
  jpeg_read_header(&r->info, TRUE);
  return CheckHeader(r->info, reason, limits);
}

bool DecodeIn(Reader* r, Bitmap* target, std::string* reason) {
  if (setjmp(r->jump)) return Fail(reason, std::string("the JPEG data is damaged (") + r->message + ")");
  r->info.out_color_space = JCS_EXT_BGRX;  // one 0xXXRRGGBB word a pixel, grey or colour
  jpeg_start_decompress(&r->info);
  if (static_cast<int>(r->info.output_width) != target->width() ||
      static_cast<int>(r->info.output_height) != target->height() || r->info.output_components != 4)
    return Fail(reason, "the JPEG picture does not fit the bitmap given for it");
  while (r->info.output_scanline < r->info.output_height) {
    JSAMPROW row = target->row(static_cast<int>(r->info.output_scanline));
    jpeg_read_scanlines(&r->info, &row, 1);
  }
  jpeg_finish_decompress(&r->info);
  for (int y = 0; y < target->height(); ++y) {
    uint32_t* row = target->row32(y);
    for (int x = 0; x < target->width(); ++x) row[x] &= 0xFFFFFF;
  }
  return true;
}

}  // namespace

bool IsJpeg(const uint8_t* data, size_t size) { return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF; }

bool ReadSize(const uint8_t* data, size_t size, int* width, int* height, std::string* reason,
              const DecodeLimits& limits) {
  if (!IsJpeg(data, size)) return Fail(reason, "the file is not a JPEG picture");
  Reader r;
  Setup(&r, data, size);
  const bool ok = ReadHeaderIn(&r, reason, limits);
  if (ok) {
    *width = static_cast<int>(r.info.image_width);
    *height = static_cast<int>(r.info.image_height);
  }
  jpeg_destroy_decompress(&r.info);
  return ok;
}

bool Decode(const uint8_t* data, size_t size, Bitmap* target, std::string* reason, const DecodeLimits& limits) {
  if (!IsJpeg(data, size)) return Fail(reason, "the file is not a JPEG picture");
  if (target->depth() != 32) return Fail(reason, "the JPEG picture does not fit the bitmap given for it");
  Reader r;
  Setup(&r, data, size);
  const bool ok = ReadHeaderIn(&r, reason, limits) && DecodeIn(&r, target, reason);
  jpeg_destroy_decompress(&r.info);
  return ok;
}

std::unique_ptr<Bitmap> DecodeFile(const uint8_t* data, size_t size, std::string* reason,
                                   const DecodeLimits& limits) {
  int width = 0, height = 0;
  if (!ReadSize(data, size, &width, &height, reason, limits)) return nullptr;
  std::unique_ptr<Bitmap> bitmap = Bitmap::Create(width, height, 32);
  if (!bitmap) return Fail(reason, "there is not enough memory for the picture"), nullptr;
  if (!Decode(data, size, bitmap.get(), reason, limits)) return nullptr;
  return bitmap;
}

}  // namespace platform::jpeg
