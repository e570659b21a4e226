// Picture files: metafiles (type 13), bitmap files (type 17), PNG (7) and JPEG (3) files
// opened, framed and drawn into pixel maps. Opening reads and checks the headers (and holds a metafile in memory);
// a bitmap's pixel bits are read only when it is drawn.
#pragma once
#include <cstddef>
#include <cstdint>

#include "jwin/J_rect.h"

struct JFile;
struct JFileSpec;
struct JPixMap;
namespace platform::dib {
struct DibInfo;
}
namespace platform::wmf {
class Metafile;
}

struct JPicture {
  JFile* file;
  uint16_t type;  // kJFileTypeMetafile, kJFileTypeBitmap, kJFileTypePng or kJFileTypeJpeg
  uint8_t writing;
  // Bitmap files.
  uint16_t colourCount;
  uint8_t fileHeader[14];
  uint8_t* bitmapInfo;  // the information header followed by colourCount 4-byte entries
  uint32_t bitmapInfoSize;
  platform::dib::DibInfo* dib;  // the checked header values the decoder works from
  // PNG and JPEG files: the whole file; a PNG's fully transparent pixels are drawn in
  // transparentColour (a colour found nowhere else), partly transparent ones composed
  // over alphaBackground (0x00RRGGBB, white unless changed before drawing).
  uint8_t* photo;
  size_t photoSize;
  uint32_t alphaBackground;
  uint8_t hasTransparentColour;
  uint32_t transparentColour;
  // Metafiles.
  platform::wmf::Metafile* metafile;
  // Told of the bytes read so far while drawing (JPictureSetProgress); null for none.
  void (*progress)(void* data, uint64_t done);
  void* progressData;
  // The picture's box in its own coordinates: top, left, bottom, right.
  int32_t frame[4];
  // Its size in pixels: the box's, or for a placeable metafile the box at 96 pixels an inch.
  int32_t width;
  int32_t height;
  uint64_t fileSize;
};

// Null when the file cannot be opened, is not of type 13, 17, 7 or 3, or is damaged.
JPicture* JPictureOpen(const JFileSpec* fileSpec, uint16_t mode);
// The same, with a one-line reason for a refusal written into `reason` (cut to fit).
JPicture* JPictureOpenWithReason(const JFileSpec* fileSpec, uint16_t mode, char* reason, size_t reasonSize);
void JPictureClose(JPicture* picture);

// The frame moved to the origin: top = left = 0, bottom = height, right = width.
void JPictureFrame(const JPicture* picture, JRect* frame);
uint64_t JPictureSize(const JPicture* picture);

// Draws the picture onto the rectangle (map coordinates, right and bottom excluded) of
// a pixel map. False with a reason when the bits cannot be read or are damaged; a
// metafile whose records are damaged part way is drawn up to the damage and answers false.
bool JPictureDrawInto(JPicture* picture, JPixMap* map, int16_t top, int16_t left, int16_t bottom,
                      int16_t right, char* reason, size_t reasonSize);

// Draws the picture onto the rectangle (top-left, bottom-right) of the current drawing
// area, in its local coordinates. Answers as JPictureDrawInto; false when there is no area.
bool JPictureDraw(JPicture* picture, JPoint topLeft, JPoint bottomRight);

// While a picture is drawn the procedure is told how many bytes of the file have been read
// so far: bitmaps read in bands report after each band; other pictures once, at the end.
typedef void (*JPictureProgressProc)(void* data, uint64_t done);
void JPictureSetProgress(JPicture* picture, JPictureProgressProc proc, void* data);

// Opens a bitmap, metafile, PNG or JPEG file named by a path, recognised by its content
// whatever its name says; a bare name is in the current directory. Null with a reason when
// it cannot.
JPicture* JPictureOpenPath(const char* path, char* reason, size_t reasonSize);
// Reads a bitmap, metafile, PNG or JPEG file (recognised by its content) into a new 32-bit
// pixel map of the picture's size, without any window. Null with a reason when it cannot.
JPixMap* JPictureReadFile(const char* path, char* reason, size_t reasonSize);
