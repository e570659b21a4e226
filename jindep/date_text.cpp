#include "jindep/date_text.h"

#include <time.h>

#include "jindep/Ji_prinf.h"
#include "jindep/string_lists.h"

namespace {

tm Local(int64_t seconds) {
  time_t t = static_cast<time_t>(seconds);
  tm local = {};
  localtime_r(&t, &local);
  return local;
}

}  // namespace

char* JFormatDate(int64_t seconds, int style) {
  tm local = Local(seconds);
  int year = local.tm_year + 1900;
  int month = local.tm_mon;  // 0 to 11
  if (style == 3)
    return JFormatNew("%s% %ds% %ds%", JStr(static_cast<JStringId>(kStrJanuary + month)), local.tm_mday, year);
  int shownYear = year >= 1900 && year <= 1999 ? year - 1900 : year;
  if (style == 1) return JFormatNew("%ds%/%ds%/%ds%", month + 1, local.tm_mday, shownYear);
  return JFormatNew("%s% %ds% %ds%", JStr(static_cast<JStringId>(kStrJan + month)), local.tm_mday, shownYear);
}

char* JFormatTime(int64_t seconds, bool withSeconds) {
  tm local = Local(seconds);
  int hour = local.tm_hour % 12;
  if (hour == 0) hour = 12;
  const char* half = JStr(local.tm_hour < 12 ? kStrAm : kStrPm);
  if (withSeconds) return JFormatNew("%ds%:%ds02%:%ds02% %s%", hour, local.tm_min, local.tm_sec, half);
  return JFormatNew("%ds%:%ds02% %s%", hour, local.tm_min, half);
}
