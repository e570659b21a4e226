// A picture file drawn into a new document's picture map: the document side of opening.
#pragma once
#include <cstdint>

struct JFileSpec;
struct JPicture;
struct JPixMap;

// Opens a picture file for a document. Only metafiles and bitmap files are pictures: for
// any other type (the open request also lets "pct" files through) the answer is null and
// nothing is shown.
JPicture* OpenPictureFile(const JFileSpec* fileSpec);

// The picture's size in pixels, from its frame.
void PictureFileSize(const JPicture* picture, int16_t* width, int16_t* height);

// Draws the picture into `map` (made at the picture's size) under a progress report with
// `label` and the file's size as its total. The map is the drawing area while drawing;
// afterwards drawing goes back to the main window. Pixels the picture leaves unpainted
// keep the map's white. Answers whether the whole picture was drawn.
bool DrawPictureFile(JPicture* picture, JPixMap* map, const char* label);
