// Every program that includes this keeps its settings in a fresh temporary folder, set
// before any test runs (and inherited by programs the tests start): a test never reads
// or writes the settings of the person running it.
#pragma once
#include <cstdlib>
#include <string>

inline std::string MakeTestConfigHome() {
  char folder[] = "/tmp/tintwell-config-XXXXXX";
  const char* made = mkdtemp(folder);
  const std::string path = made ? made : "/tmp";
  setenv("XDG_CONFIG_HOME", path.c_str(), 1);
  return path;
}

inline const std::string kTestConfigHome = MakeTestConfigHome();
