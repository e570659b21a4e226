// The start-up check of the display: on a display of 8 bits a pixel or fewer the colours
// a person sees are not the picture's, so the program says so once (unless told not to).
#pragma once

// True when the start may go on quietly (the warning is turned off, or the display is
// deeper than 8 bits); false after the warning was shown and answered.
bool CheckDisplayDepth();
