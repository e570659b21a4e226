// The settings file: its lines byte for byte, reading that stops where it must, and the
// settings surviving a save and a load through the main window.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../../jwin/window/toolkit_fixture.h"
#include "app/shell/Settings.h"
#include "app/shell/SettingsFile.h"
#include "config_home.h"
#include "jwin/J_file.h"
#include "jwin/J_window.h"

namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;
const std::string kFolder = kTestConfigHome + "/tintwell/", kPath = kFolder + "settings";
const std::string kWarn = "When appropriate, show depth warning on startup:";

std::string Slurp(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

void Spill(const std::string& path, const std::string& bytes) {
  mkdir(kFolder.c_str(), 0700);
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs `use` on the file at `path` opened with `mode`.
template <typename Use>
void WithFile(const std::string& path, uint16_t mode, Use use) {
  JFileSpec* settingsFile = JFileSpecFromPath(path.c_str());
  JFile* f = JFileOpen(settingsFile, mode);
  use(f);
  JFileClose(f);
  JFileSpecFree(settingsFile);
}

std::string Written(const std::string& value) {
  Spill(kFolder + "w", "");
  WithFile(kFolder + "w", kJFileWrite, [&](JFile* f) { EXPECT_TRUE(WriteSetting(f, "K", value.c_str())); });
  return Slurp(kFolder + "w");
}

Lines ReadAll(const std::string& bytes) {
  Spill(kFolder + "r", bytes);
  Lines lines;
  WithFile(kFolder + "r", kJFileRead, [&](JFile* f) {
    char key[kSettingKeyMax + 1], value[kSettingValueMax + 1];
    while (lines.size() < 100 && ReadSettingLine(f, key, value)) lines.emplace_back(key, value);
  });
  return lines;
}

TEST(SettingsFile, LinesAreWrittenByteForByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"10,20 640x480", "K:10,20 640x480\r\n"},
      {"", ""},
      {"a\\b", "K:a\\\\b\r\n"},
      {"one\ntwo\r", "K:one\\ntwo\r\r\n"},
      {std::string(100, 'v'), "K:" + std::string(79, 'v') + "\r\nK:" + std::string(21, 'v') + "\r\n"},
      // Escaped pieces stay within what reading accepts: 40 backslashes are 80 characters.
      {std::string(79, '\\'), "K:" + std::string(80, '\\') + "\r\nK:" + std::string(78, '\\') + "\r\n"},
  };
  for (const auto& [value, bytes] : cases) EXPECT_EQ(Written(value), bytes) << value;
}

TEST(SettingsFile, ReadingStopsAtTheEndAndAtAMalformedLine) {
  const std::string key50(50, 'k'), value80(80, 'v');
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"A:1\r\nB:2", {{"A", "1"}, {"B", "2"}}},  // the last line may lack its end
      {"A:1\r\nno colon\r\nB:2\r\n", {{"A", "1"}}},
      {"A:1\r\n" + key50 + "k:x\r\nB:2\r\n", {{"A", "1"}}},
      {key50 + ":" + value80 + "\r\nB:2\r\n", {{key50, value80}, {"B", "2"}}},
      {"A:" + value80 + "v\r\nB:2\r\n", {}},
      {"A:x\\ny\\\\z\\q\\\r\n:\r\n", {{"A", "x\ny\\zq"}, {"", ""}}},  // a final backslash is dropped
  };
  for (const auto& [bytes, lines] : cases) EXPECT_EQ(ReadAll(bytes), lines) << bytes;
}

class Settings : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    std::remove(kPath.c_str());
  }
  std::vector<int> place() {
    WindowPlacement p;
    JGetMainWindowPlace(&p.left, &p.top, &p.width, &p.height);
    return {p.left, p.top, p.width, p.height};
  }
};

// Each file is loaded into an 800 x 600 main window; what does not scan keeps its place.
TEST_F(Settings, LoadingPlacesTheMainWindowWithinReach) {
  const std::pair<std::string, std::vector<int>> cases[] = {
      {kWarn + "No\r\nDisplay:10,20 640x480\r\n", {10, 20, 640, 480}},
      {"Display:-5000,0 640x480\r\n", {-590, 0, 640, 480}},
      {"Display:5000,5000 300x200\r\n", {750, 550, 300, 200}},
      {"Display:30,40 700", {30, 40, 700, 600}},
  };
  for (const auto& [bytes, expected] : cases) {
    JSetMainWindowPlace(0, 0, 800, 600);
    Spill(kPath, bytes);
    SetShowDepthWarning(true);
    LoadSettings();
    EXPECT_EQ(place(), expected) << bytes;
    EXPECT_EQ(ShowDepthWarning(), bytes.find(":No") == std::string::npos);
  }
  const WindowPlacement small = LimitPlacement({0, 0, 10, 10}, 800, 600);
  EXPECT_EQ(small.width + small.height, 100);
}

// Moves are saved and come back; a save that cannot finish leaves the old file.
TEST_F(Settings, SavesSurviveAndAFailedSaveKeepsTheOldFile) {
  std::mt19937 random(7);
  WatchMainWindow();
  for (int round = 0; round < 10; ++round) {
    const std::vector<int> p = {int(random() % 600) - 300, int(random() % 400), 200 + int(random() % 500),
                                150 + int(random() % 300)};
    SetShowDepthWarning(round % 2);
    JSetMainWindowPlace(p[0], p[1], p[2], p[3]);
    drain();
    JSetMainWindowPlace(0, 0, 800, 600);
    SetShowDepthWarning(!(round % 2));
    LoadSettings();
    EXPECT_EQ(place(), p);
    EXPECT_EQ(ShowDepthWarning(), round % 2 == 1);
  }
  StopWatchingMainWindow();
  SetShowDepthWarning(true);
  JSetMainWindowPlace(12, 34, 600, 500);
  SaveSettings();
  EXPECT_EQ(Slurp(kPath), kWarn + "Yes\r\nDisplay:12,34 600x500\r\n");
  ASSERT_EQ(mkdir((kPath + ".new").c_str(), 0700), 0);  // the new file cannot be made
  JSetMainWindowPlace(56, 78, 600, 500);
  SaveSettings();
  EXPECT_EQ(Slurp(kPath), kWarn + "Yes\r\nDisplay:12,34 600x500\r\n");
  rmdir((kPath + ".new").c_str());
}

}  // namespace
