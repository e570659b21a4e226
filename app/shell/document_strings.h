// Texts the documents, the preview and saving show.
#pragma once

inline constexpr const char* kClipboardDocumentName = "From clipboard #%d%";
inline constexpr const char* kPreviewTitle = "%s% (Preview)";
inline constexpr const char* kReadingFileLabel = "Reading File";
inline constexpr const char* kNoClipboardPicture =
    "The clipboard doesn't hold a picture. You can put a picture in the clipboard by copying it from another "
    "program.";
inline constexpr const char* kClipboardPictureUnavailable =
    "The picture cannot be taken from the clipboard. Try making more memory available to tintwell by closing "
    "unnecessary windows.";
// A picture file that cannot be read: its file name, then why.
inline constexpr const char* kPictureCannotBeOpened = "Sorry, but \"%s%\" cannot be opened. %s%";
// A GIF file that cannot be written: its file name, then why.
inline constexpr const char* kGifCannotBeSaved = "Sorry, but \"%s%\" cannot be saved. %s%";
// A file of a type that is never a picture, named by its base name twice.
inline constexpr const char* kUnsupportedFileType =
    "Sorry, but \"%s%\" is not a supported file type, so it cannot be opened directly by tintwell. Try to "
    "convert \"%s%\" to the PICT format with another program.";
inline constexpr const char* kOkButton = "Ok";
