// libsndfile over bytes held in memory. Files are read whole before they are
// looked at, so that one without a header can be taken again as raw samples
// (pipes included); a WAV file is built whole and then written like any other.
// Opening through memory also keeps libsndfile from guessing a format from
// the file's name, which would turn a headerless "x.au" into mu-law.
#pragma once

#include <sndfile.h>

#include <memory>
#include <utility>
#include <vector>

namespace sirko_tool {

struct SoundFileCloser {
  void operator()(SNDFILE* sound) const { sf_close(sound); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

class MemorySoundFile {
 public:
  explicit MemorySoundFile(std::vector<unsigned char> bytes = {});
  MemorySoundFile(const MemorySoundFile&) = delete;
  MemorySoundFile& operator=(const MemorySoundFile&) = delete;

  // As sf_open; null on failure, with sf_error(nullptr) saying why. The
  // sound refers to this object, which must outlive it.
  SoundFile open(int mode, SF_INFO* info);

  // What a closed sound left written; the bytes given, while reading.
  const std::vector<unsigned char>& bytes() const { return bytes_; }
  std::vector<unsigned char> release() { return std::move(bytes_); }

 private:
  static sf_count_t length_of(void* self);
  static sf_count_t seek(sf_count_t offset, int whence, void* self);
  static sf_count_t read(void* destination, sf_count_t count, void* self);
  static sf_count_t write(const void* source, sf_count_t count, void* self);
  static sf_count_t tell(void* self);

  std::vector<unsigned char> bytes_;
  sf_count_t position_ = 0;  // may lie past the end after a seek
};

}  // namespace sirko_tool
