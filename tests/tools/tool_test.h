// Runs the built sirko-audio binary as a user would, each test in a
// directory of its own for the files it makes and the tool's output.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tool_test {

struct ToolRun {
  int status;  // exit status, or -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

std::string read_text(const std::filesystem::path& path);
std::vector<unsigned char> read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
std::string joined(const std::vector<std::string>& words);

// Replaces each time in seconds ("1.304": digits, a point, three digits)
// with "T", so that output can be compared whole; the times go to *times.
std::string with_times_masked(const std::string& text, std::vector<double>* times);

class ToolTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  // The tool inherits this process's environment (a test microphone's, say).
  ToolRun run(const std::vector<std::string>& arguments) const;

  std::filesystem::path dir_;
};

}  // namespace tool_test
