// The desktop's beep: sounded before the program tells the user that something could not
// be done, and by the toolkit where a key or a choice is refused.
#pragma once

// Does nothing when no desktop is running (batch mode, or after shut-down).
void JBeep();
