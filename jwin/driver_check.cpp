// Driver warnings: one line for each missing capability, the advice last.
#include "jwin/driver_check.h"

#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jindep/string_resources.h"
#include "jwin/J_alert.h"

namespace {

const char* Text(uint16_t id) {
  const char* s = JResourceString(id);
  return s ? s : "";
}

// Appends a line to the list (null while empty).
char* AddLine(char* lines, uint16_t id) {
  if (!lines) return JStrDup(Text(id));
  char* joined = JFormatNew("%s%\n\r%s%", lines, Text(id));
  JFree(lines);
  return joined;
}

}  // namespace

char* JDriverWarningText(uint32_t caps, bool printer, bool stretchTestFails) {
  char* lines = nullptr;
  if (!(caps & kJCapsLargeBitmaps)) lines = AddLine(lines, kStrLackLargeBitmaps);
  if (!printer) {
    if (!(caps & kJCapsDibs)) lines = AddLine(lines, kStrLackDibs);
    if (!(caps & kJCapsStretch)) lines = AddLine(lines, kStrLackStretching);
  }
  if (!(caps & kJCapsStretchDibs) && stretchTestFails)
    lines = AddLine(lines, printer ? kStrLackDibPrinting : kStrLackDibStretching);
  if (!lines) return nullptr;
  lines = AddLine(lines, kStrDriverAdvice);
  char* text = JFormatNew("%s%\n\r\n\r%s% %s%", Text(printer ? kStrPrinterDriverIntro : kStrVideoDriverIntro), lines,
                          Text(kStrDriverConsequence));
  JFree(lines);
  return text;
}

uint32_t JScreenRasterCaps() { return kJCapsLargeBitmaps | kJCapsDibs | kJCapsStretch | kJCapsStretchDibs; }

bool JDriverCheck(uint32_t caps, bool printer, bool stretchTestFails) {
  char* text = JDriverWarningText(caps, printer, stretchTestFails);
  if (!text) return false;
  JAlertTitled(Text(printer ? kStrPrinterDriverTitle : kStrVideoDriverTitle), kJIconWarning, text, Text(kStrOkButton));
  JFree(text);
  return true;
}

bool JVideoDriverCheck() { return JDriverCheck(JScreenRasterCaps(), false, false); }
