// Reading a picture into a new document: making its maps at the picture's size, drawing
// the picture into the picture map and running the colour pipeline. The window and the
// batch mode both read pictures this way.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/colour/Pipeline.h"

struct Document;
struct JClipPicture;
struct JPicture;

// Sets the size and makes the 32-bit picture map and the working buffer. False (and
// nothing made) when the platform refuses a map of that size; *problem then says why.
bool MakePictureMaps(Document* document, int16_t width, int16_t height, const char** problem);
// From a picture file, under the "Reading File" progress report. False with a one-line
// reason when the maps cannot be made, the picture cannot be drawn whole, or the engine
// refuses it; the document's maps are left for FreeDocumentContents. With
// kPipelineFreesPixels (a document only written to a file) the picture map and the working
// buffer are let go as soon as the engine has read them, which lowers the peak of memory.
bool ReadPictureFileIntoDocument(Document* document, JPicture* picture, char* reason, size_t reasonSize,
                                 PipelinePixels pixels = kPipelineKeepsPixels);
// From a clipboard picture (no progress report). A picture whose frame is empty is refused.
bool ReadClipPictureIntoDocument(Document* document, JClipPicture* picture, char* reason, size_t reasonSize);
// A PNG's fully transparent pixels come as one colour found nowhere else in the picture
// (JPicture's transparentColour): marked transparent on a document with its new settings,
// as a click on it would, so they stay transparent in the GIF.
void MarkPictureTransparentColour(Document* document, uint32_t colour);
// Frees everything the document owns (maps, colour results, file spec, name), each once,
// and leaves the record itself to its owner.
void FreeDocumentContents(Document* document);
