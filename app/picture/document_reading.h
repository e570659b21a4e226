// Reading a picture into a new document: making its maps at the picture's size,
// drawing the picture into the picture map and running the colour pipeline.
#pragma once
#include <cstddef>

struct Document;
struct JClipPicture;
struct JPicture;

// From a picture file, under the "Reading File" progress report. False with a one-line
// reason when the maps cannot be made, the picture cannot be drawn whole, or the engine
// refuses it; the document's maps are left for the caller to free.
bool ReadPictureFileIntoDocument(Document* document, JPicture* picture, char* reason, size_t reasonSize);
// From a clipboard picture (no progress report). A picture whose frame is empty is refused.
bool ReadClipPictureIntoDocument(Document* document, JClipPicture* picture, char* reason, size_t reasonSize);
