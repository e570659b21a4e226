// File > Save as...: the document's current reduction written as a GIF file.
#pragma once

struct Document;
struct JFileSpec;

// Writes the document to the file `fileSpec` names; without one the user chooses it in
// the toolkit's save dialog (which asks before a file is replaced), and cancelling does
// nothing. The file is written beside the target and put in its place only when whole:
// a file that cannot be written is reported in an alert naming it and why, and whatever
// was there before is left as it was. Answers whether the file was written.
bool SaveDocumentAsGif(Document* document, const JFileSpec* fileSpec = nullptr);
