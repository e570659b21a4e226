// What the program remembers between runs: whether to warn about a shallow display at
// start-up, and where the main window is and how large. The file lives in the user's
// configuration folder: $XDG_CONFIG_HOME/tintwell/settings, else ~/.config/tintwell/settings.
#pragma once
#include <cstdint>

struct WindowPlacement {
  int16_t left;
  int16_t top;
  int16_t width;
  int16_t height;
};

bool ShowDepthWarning();
void SetShowDepthWarning(bool on);  // in memory; SaveSettings writes it

// The settings file's path (JFree it).
char* SettingsPathNew();
// A placement kept reachable: at least 50 x 50, and at least 50 pixels of it inside an
// area of areaWidth x areaHeight.
WindowPlacement LimitPlacement(WindowPlacement wanted, int16_t areaWidth, int16_t areaHeight);

// Reads the file when there is one, then places and sizes the main window.
void LoadSettings();
// Rewrites the file from the current settings: a new file is written beside it and put in
// its place, so a failure leaves the old one. Failures end the save silently.
void SaveSettings();
// Saves whenever the main window is moved or resized, until the watch ends.
void WatchMainWindow();
void StopWatchingMainWindow();
