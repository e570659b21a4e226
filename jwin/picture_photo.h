// PNG and JPEG files as pictures. Both are compressed whole, so an opened file is held
// in memory and decoded when drawn; a PNG's alpha is settled then (see PngReader.h).
#pragma once
#include <cstddef>
#include <cstdint>

struct JPicture;
namespace platform {
class Bitmap;
class DeviceContext;
struct Rect;
}  // namespace platform

bool JPictureIsPhoto(int16_t type);
// The type a file's first bytes show: PNG, JPEG or -1.
int16_t JPhotoTypeOf(const uint8_t* head, size_t size);
// Reads the whole file and checks its size. False with a reason.
bool JPhotoOpen(JPicture* picture, int* width, int* height, char* reason, size_t reasonSize);
// Draws onto `dest`; `direct` is the context's own 32-bit bitmap when it may be decoded into.
bool JPhotoDraw(JPicture* picture, platform::DeviceContext& dc, platform::Bitmap* direct,
                const platform::Rect& dest, char* reason, size_t reasonSize);
