// Marking parts of a window for (or removing them from) its next paint.
#pragma once
#include "jwin/J_rect.h"

struct JWindow;

void JInvalidateRect(JWindow* window, JRect r);
void JValidateRect(JWindow* window, JRect r);
