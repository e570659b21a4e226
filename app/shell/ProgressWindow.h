// The progress window of long work: installs the windowing procedures that progress
// reports use to show a busy cursor and, after a while, a window with a label and a bar.
#pragma once

void InstallProgressWindows();
void RemoveProgressWindows();
