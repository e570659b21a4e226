// The settings file: its lines byte for byte, reading that stops where it must, and the
// settings surviving a save and a load through the main window.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "../../jwin/window/toolkit_fixture.h"
#include "app/shell/Settings.h"
#include "app/shell/SettingsFile.h"
#include "config_home.h"
#include "jindep/memory.h"
#include "jwin/J_file.h"
#include "jwin/J_window.h"

namespace {

const std::string kWarnKey = "When appropriate, show depth warning on startup";

std::string SettingsPath() {
  char* p = SettingsPathNew();
  std::string s = p;
  JFree(p);
  return s;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return in ? s.str() : "<missing>";
}

void Spill(const std::string& path, const std::string& bytes) {
  mkdir((kTestConfigHome + "/tintwell").c_str(), 0700);
  std::ofstream(path, std::ios::binary) << bytes;
}

JFile* OpenPath(const std::string& path, uint16_t mode) {
  JFileSpec* spec = JFileSpecFromPath(path.c_str());
  JFile* f = JFileOpen(spec, mode);
  JFileSpecFree(spec);
  return f;
}

std::string Written(const std::string& key, const std::string& value) {
  const std::string path = kTestConfigHome + "/written";
  Spill(path, "");
  JFile* f = OpenPath(path, kJFileWrite);
  EXPECT_TRUE(WriteSetting(f, key.c_str(), value.c_str()));
  JFileClose(f);
  return Slurp(path);
}

std::vector<std::pair<std::string, std::string>> ReadAll(const std::string& bytes) {
  const std::string path = kTestConfigHome + "/read";
  Spill(path, bytes);
  JFile* f = OpenPath(path, kJFileRead);
  std::vector<std::pair<std::string, std::string>> lines;
  char key[kSettingKeyMax + 1], value[kSettingValueMax + 1];
  while (lines.size() < 100 && ReadSettingLine(f, key, value)) lines.emplace_back(key, value);
  JFileClose(f);
  return lines;
}

TEST(SettingsFile, LinesAreWrittenByteForByte) {
  const std::string hundred(100, 'v');
  const std::string slashes(79, '\\');
  const struct {
    const char* key;
    std::string value;
    std::string bytes;
  } cases[] = {
      {"Display", "10,20 640x480", "Display:10,20 640x480\r\n"},
      {"K", "", ""},
      {"K", "a\\b", "K:a\\\\b\r\n"},
      {"K", "one\ntwo\r", "K:one\\ntwo\r\r\n"},
      {"K", hundred, "K:" + std::string(79, 'v') + "\r\nK:" + std::string(21, 'v') + "\r\n"},
      // Escaped pieces stay within what reading accepts: 40 backslashes are 80 characters.
      {"K", slashes, "K:" + std::string(80, '\\') + "\r\nK:" + std::string(78, '\\') + "\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Written(c.key, c.value), c.bytes) << c.value;
}

TEST(SettingsFile, ReadingStopsAtTheEndAndAtAMalformedLine) {
  using Lines = std::vector<std::pair<std::string, std::string>>;
  const std::string key50(50, 'k'), value80(80, 'v');
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"A:1\r\nB:2\r\n", {{"A", "1"}, {"B", "2"}}},
      {"A:1\r\nB:2", {{"A", "1"}, {"B", "2"}}},  // the last line may lack its end
      {"A:1\r\nno colon\r\nB:2\r\n", {{"A", "1"}}},
      {"A:1\r\n" + key50 + "k:x\r\nB:2\r\n", {{"A", "1"}}},
      {key50 + ":" + value80 + "\r\n", {{key50, value80}}},
      {"A:" + value80 + "v\r\nB:2\r\n", {}},
      {"A:x\\ny\\\\z\\q\\\r\n", {{"A", "x\ny\\zq"}}},  // a backslash ending the value is dropped
      {"A:\r\n:\r\n", {{"A", ""}, {"", ""}}},
      {"A", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadAll(c.bytes), c.lines) << c.bytes;
}

TEST(SettingsFile, RandomValuesComeBackWhole) {
  std::mt19937 random(20);
  const char alphabet[] = "ab:\\\n\r x";
  for (int round = 0; round < 200; ++round) {
    std::string value(random() % 200, ' ');
    for (char& ch : value) ch = alphabet[random() % (sizeof alphabet - 1)];
    std::string joined;
    for (const auto& line : ReadAll(Written("Key", value))) {
      EXPECT_EQ(line.first, "Key");
      joined += line.second;
    }
    EXPECT_EQ(joined, value);
  }
}

class Settings : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    std::remove(SettingsPath().c_str());
    SetShowDepthWarning(true);
  }
  WindowPlacement place() {
    WindowPlacement p;
    JGetMainWindowPlace(&p.left, &p.top, &p.width, &p.height);
    return p;
  }
};

TEST_F(Settings, LiveInTheConfigurationFolder) {
  EXPECT_EQ(SettingsPath(), kTestConfigHome + "/tintwell/settings");
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(SettingsPath(), "/home/someone/.config/tintwell/settings");
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", kTestConfigHome.c_str(), 1);
}

TEST_F(Settings, PlacementStaysReachable) {
  const struct {
    WindowPlacement wanted, kept;
  } cases[] = {
      {{10, 20, 640, 480}, {10, 20, 640, 480}},
      {{-5000, 0, 640, 480}, {-590, 0, 640, 480}},
      {{0, 0, 10, 10}, {0, 0, 50, 50}},
      {{5000, 5000, 300, 200}, {750, 550, 300, 200}},
  };
  for (const auto& c : cases) {
    const WindowPlacement p = LimitPlacement(c.wanted, 800, 600);
    EXPECT_EQ(std::vector<int>({p.left, p.top, p.width, p.height}),
              std::vector<int>({c.kept.left, c.kept.top, c.kept.width, c.kept.height}));
  }
}

TEST_F(Settings, LoadPlacesTheMainWindowAndSaveWritesTheFile) {
  Spill(SettingsPath(), kWarnKey + ":No\r\nDisplay:10,20 640x480\r\n");
  LoadSettings();
  EXPECT_FALSE(ShowDepthWarning());
  const WindowPlacement p = place();
  EXPECT_EQ(std::vector<int>({p.left, p.top, p.width, p.height}), std::vector<int>({10, 20, 640, 480}));
  // A truncated value keeps the fields it lacks.
  Spill(SettingsPath(), kWarnKey + ":Yes\r\nDisplay:30,40 700");
  LoadSettings();
  EXPECT_TRUE(ShowDepthWarning());
  const WindowPlacement q = place();
  EXPECT_EQ(std::vector<int>({q.left, q.top, q.width, q.height}), std::vector<int>({30, 40, 700, 480}));
  SetShowDepthWarning(false);
  SaveSettings();
  EXPECT_EQ(Slurp(SettingsPath()), kWarnKey + ":No\r\nDisplay:30,40 700x480\r\n");
}

TEST_F(Settings, RandomPlacementsSurviveASaveAndALoad) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    const WindowPlacement p = {static_cast<int16_t>(random() % 600 - 300), static_cast<int16_t>(random() % 400),
                               static_cast<int16_t>(200 + random() % 500), static_cast<int16_t>(150 + random() % 300)};
    const bool warn = random() % 2;
    JSetMainWindowPlace(p.left, p.top, p.width, p.height);
    SetShowDepthWarning(warn);
    SaveSettings();
    JSetMainWindowPlace(0, 0, 800, 600);
    SetShowDepthWarning(!warn);
    LoadSettings();
    const WindowPlacement q = place();
    EXPECT_EQ(std::vector<int>({q.left, q.top, q.width, q.height}),
              std::vector<int>({p.left, p.top, p.width, p.height}));
    EXPECT_EQ(ShowDepthWarning(), warn);
  }
}

// Moving the main window rewrites the file; a save that cannot finish leaves the old one.
TEST_F(Settings, MovesAreSavedAndAFailedSaveKeepsTheOldFile) {
  WatchMainWindow();
  JSetMainWindowPlace(12, 34, 600, 500);
  drain();
  StopWatchingMainWindow();
  const std::string saved = Slurp(SettingsPath());
  EXPECT_EQ(saved, kWarnKey + ":Yes\r\nDisplay:12,34 600x500\r\n");
  const std::string blocker = SettingsPath() + ".new";
  ASSERT_EQ(mkdir(blocker.c_str(), 0700), 0);  // the new file cannot be made
  JSetMainWindowPlace(56, 78, 600, 500);
  SaveSettings();
  EXPECT_EQ(Slurp(SettingsPath()), saved);
  rmdir(blocker.c_str());
}

}  // namespace
