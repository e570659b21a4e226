#include "app/shell/Settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell/AboutBox.h"
#include "app/shell/SettingsFile.h"
#include "jindep/Ji_prinf.h"
#include "jindep/memory.h"
#include "jwin/J_file.h"
#include "jwin/J_window.h"

namespace {

constexpr const char* kDepthWarningKey = "When appropriate, show depth warning on startup";
constexpr const char* kDisplayKey = "Display";
constexpr const char* kDisplayFormat = "%ds%,%ds% %ds%x%ds%";
constexpr int16_t kReachable = 50;
constexpr int16_t kWindowChangeResized = 1;
constexpr int16_t kWindowChangeMoved = 5;

bool gShowDepthWarning = true;

// The folder that holds the file: the configuration base, then our own folder in it.
char* SettingsFolderNew(bool create) {
  const char* base = std::getenv("XDG_CONFIG_HOME");
  char* baseFolder = nullptr;
  if (base && base[0] == '/') {
    baseFolder = JStrDup(base);
  } else {
    const char* home = std::getenv("HOME");
    baseFolder = JFormatNew("%s%/.config", home && *home ? home : "");
  }
  if (create) JFileCreateDirectory(baseFolder);
  char* folder = JFormatNew("%s%/tintwell", baseFolder);
  JFree(baseFolder);
  if (create) JFileCreateDirectory(folder);
  return folder;
}

char* PathInFolderNew(bool create, const char* name) {
  char* folder = SettingsFolderNew(create);
  char* path = JFormatNew("%s%/%s%", folder, name);
  JFree(folder);
  return path;
}

bool WriteAll(JFile* file) {
  int16_t left, top, width, height;
  JGetMainWindowPlace(&left, &top, &width, &height);
  char* display = JFormatNew(kDisplayFormat, left, top, width, height);
  const bool ok = WriteSetting(file, kDepthWarningKey, gShowDepthWarning ? "Yes" : "No") &&
                  WriteSetting(file, kDisplayKey, display) && JFileFlush(file);
  JFree(display);
  return ok;
}

void MainWindowChanged(void*, int16_t code) {
  if (code == kWindowChangeResized || code == kWindowChangeMoved) SaveSettings();
}

}  // namespace

bool ShowDepthWarning() { return gShowDepthWarning; }
void SetShowDepthWarning(bool on) { gShowDepthWarning = on; }

char* SettingsPathNew() { return PathInFolderNew(false, "settings"); }

WindowPlacement LimitPlacement(WindowPlacement p, int16_t areaWidth, int16_t areaHeight) {
  p.width = std::max(p.width, kReachable);
  p.height = std::max(p.height, kReachable);
  // The lower bound wins when the area is too small for both.
  p.left = std::max<int16_t>(static_cast<int16_t>(kReachable - p.width),
                             std::min<int16_t>(p.left, static_cast<int16_t>(areaWidth - kReachable)));
  p.top = std::max<int16_t>(static_cast<int16_t>(kReachable - p.height),
                            std::min<int16_t>(p.top, static_cast<int16_t>(areaHeight - kReachable)));
  return p;
}

void LoadSettings() {
  WindowPlacement p;
  JGetMainWindowPlace(&p.left, &p.top, &p.width, &p.height);
  const int16_t areaWidth = p.width, areaHeight = p.height;
  char* path = SettingsPathNew();
  JFileSpec* settingsFile = JFileSpecFromPath(path);
  JFree(path);
  if (JFile* file = settingsFile ? JFileOpen(settingsFile, kJFileRead) : nullptr) {
    char key[kSettingKeyMax + 1];
    char value[kSettingValueMax + 1];
    while (ReadSettingLine(file, key, value)) {
      if (std::strcmp(key, kDepthWarningKey) == 0) {
        gShowDepthWarning = std::strcmp(value, "Yes") == 0;
      } else if (std::strcmp(key, kDisplayKey) == 0) {
        // Fields that do not scan keep the current placement.
        JScan(value, kDisplayFormat, &p.left, &p.top, &p.width, &p.height);
      }
    }
    JFileClose(file);
  }
  if (settingsFile) JFileSpecFree(settingsFile);
  p = LimitPlacement(p, areaWidth, areaHeight);
  CaptureAboutBackdrop(p.left, p.top, p.width, p.height);
  JSetMainWindowPlace(p.left, p.top, p.width, p.height);
}

void SaveSettings() {
  char* path = PathInFolderNew(true, "settings");
  char* temporary = PathInFolderNew(false, "settings.new");
  JFileSpec* settingsFile = JFileSpecFromPath(temporary);
  if (settingsFile && JFileExists(settingsFile)) JFileDelete(settingsFile);  // left by a save that was cut short
  bool written = false;
  if (settingsFile && JFileCreate(settingsFile)) {
    if (JFile* file = JFileOpen(settingsFile, kJFileWrite)) {
      written = WriteAll(file);
      JFileClose(file);
    }
    // Only a whole new file replaces the old one.
    if (!written || std::rename(temporary, path) != 0) JFileDelete(settingsFile);
  }
  if (settingsFile) JFileSpecFree(settingsFile);
  JFree(temporary);
  JFree(path);
}

void WatchMainWindow() { JAddWindowChangeListener(MainWindowChanged, nullptr); }
void StopWatchingMainWindow() { JRemoveWindowChangeListener(MainWindowChanged, nullptr); }
