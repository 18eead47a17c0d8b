#include "tools/sample_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace sirko_tool {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

FileError file_error(const char* what, const std::string& path, int error) {
  return FileError(std::string(what) + " " + path + ": " + std::strerror(error));
}

}  // namespace

std::vector<unsigned char> read_sample_file(const std::string& path) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) throw file_error("cannot open", path, errno);
  // A directory opens fine and fails only on reading; say so up front.
  struct stat status {};
  if (fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
    throw file_error("cannot open", path, EISDIR);
  }
  std::vector<unsigned char> samples;
  unsigned char chunk[1 << 16];
  std::size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    samples.insert(samples.end(), chunk, chunk + count);
  }
  if (std::ferror(file.get())) throw file_error("cannot read", path, errno);
  return samples;
}

void write_sample_file(const std::string& path, const std::vector<unsigned char>& samples) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) throw file_error("cannot write", path, errno);
  // An empty vector's data() may be null, which fwrite must not be given.
  if (!samples.empty() &&
      std::fwrite(samples.data(), 1, samples.size(), file.get()) != samples.size()) {
    throw file_error("cannot write", path, errno);
  }
  // Buffered data reaches the disk only at close, and so may its failure.
  if (std::fclose(file.release()) != 0) throw file_error("cannot write", path, errno);
}

}  // namespace sirko_tool
