// Headerless files of 8-bit samples at 8000 per second, one byte each.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace sirko_tool {

// A file that cannot be read or written; the message names it and says why.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::vector<unsigned char> read_sample_file(const std::string& path);
void write_sample_file(const std::string& path, const std::vector<unsigned char>& samples);

}  // namespace sirko_tool
