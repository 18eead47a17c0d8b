#include "tool_test.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>

extern char** environ;

namespace tool_test {

namespace fs = std::filesystem;

std::string read_text(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> read_bytes(const fs::path& path) {
  const std::string text = read_text(path);
  return std::vector<unsigned char>(text.begin(), text.end());
}

void write_bytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

std::string with_times_masked(const std::string& text, std::vector<double>* times) {
  const auto digit = [&](std::size_t i) {
    return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
  };
  std::string masked;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i;
    while (digit(end)) ++end;
    if (end == i) {
      masked += text[i++];
      continue;
    }
    if (end < text.size() && text[end] == '.' && digit(end + 1) && digit(end + 2) &&
        digit(end + 3) && !digit(end + 4)) {
      times->push_back(std::stod(text.substr(i, end + 4 - i)));
      masked += 'T';
      i = end + 4;
    } else {
      masked.append(text, i, end - i);
      i = end;
    }
  }
  return masked;
}

void ToolTest::SetUp() {
  std::string pattern = (fs::path(testing::TempDir()) / "sirko-audio-cli-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
}

void ToolTest::TearDown() { fs::remove_all(dir_); }

ToolRun ToolTest::run(const std::vector<std::string>& arguments) const {
  const std::string out_path = (dir_ / ".stdout").string();
  const std::string err_path = (dir_ / ".stderr").string();
  std::vector<std::string> words = {SIRKO_AUDIO_BINARY};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot run " << argv[0];
    return {-1, "", ""};
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  return {WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1, read_text(out_path),
          read_text(err_path)};
}

}  // namespace tool_test
