// The out-of-memory alert: what the user is told before the program ends for want of
// memory. The allocator calls it once, after giving back its emergency reserve, and ends
// the process when it returns.
#pragma once

// Installs the alert as the allocator's out-of-memory procedure (start of the main routine).
void InstallOutOfMemoryAlert();
// A beep, then "Out of memory" with Ok and More Info; More Info explains in a second alert.
void OutOfMemoryAlert(void* data, int quitCount);
