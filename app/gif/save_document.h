// File > Save as...: the document's current reduction written as a GIF file.
#pragma once

struct Document;
struct JFileSpec;

// Writes the document to the file `file spec` names; without a file spec the user is asked with
// the toolkit's save dialog (when the toolkit has none, nothing happens). A file that
// cannot be written is reported in an alert naming it and why, and whatever was there
// before is left as it was. Answers whether the file was written.
bool SaveDocumentAsGif(Document* document, const JFileSpec* fileSpec = nullptr);

// True while a save runs: idle-time size work shares the GIF writer and its byte sink
// and must not run a pass then.
bool GifSaveRunning();
