// Runs a test inside a fresh temporary directory so that the debug channel's log
// file "debug" can be read back, and restores the working directory afterwards.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = std::filesystem::current_path();
    char pattern[] = "/tmp/tintwell-jindep-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(oldDir_);
    std::filesystem::remove_all(dir_);
  }
  std::vector<std::string> LogLines() const {
    std::ifstream in(dir_ / "debug");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::string LogText() const {
    std::ifstream in(dir_ / "debug");
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }

 private:
  std::filesystem::path oldDir_;
  std::filesystem::path dir_;
};
