// Texts the documents and saving show that have no string resource of their own; the
// others come from the resources by their ids.
#pragma once

inline constexpr const char* kReadingFileLabel = "Reading File";
// A picture file that cannot be read: its file name, then why.
inline constexpr const char* kPictureCannotBeOpened = "Sorry, but \"%s%\" cannot be opened. %s%";
// A GIF file that cannot be written: its file name, then why.
inline constexpr const char* kGifCannotBeSaved = "Sorry, but \"%s%\" cannot be saved. %s%";
inline constexpr const char* kOkButton = "Ok";
