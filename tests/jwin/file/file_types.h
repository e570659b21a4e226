// The file-type texts as the string resources hold them, for tests that need the table.
#pragma once

inline const char* TestFileTypeText(int id, void*) {
  static const char* const kRows[23] = {
      "txt .txt Text Files (.TXT)",
      "prf .prf Preferences (.PRF)",
      "gif .gif GIF Files (.GIF)",
      "jpg .jpg JPEG Files (.JPG)",
      "tmp .tmp Temporary Files (.TMP)",
      "pct .pct PICT Files (.PCT)",
      nullptr,
      nullptr,
      "res .res Resource Files (.RES)",
      "exe .exe Executables (.EXE)",
      nullptr,
      "ps  .ps  Postscript Files (.PS)",
      "dta .dta Data Files (.DTA)",
      "wmf .wmf Windows Meta-Files (.WMF)",
      nullptr,
      nullptr,
      "    .*   All Files (.*)",
      "bmp .bmp Windows Bitmap Files (.BMP)",
      "bat .bat Batch Files (.BAT)",
      "rc  .rc  Resource Source Files (.RC)",
      nullptr,
      nullptr,
      nullptr,
  };
  const int i = id - 200;
  return i >= 0 && i < 23 ? kRows[i] : nullptr;
}
