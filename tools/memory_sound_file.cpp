#include "tools/memory_sound_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sirko_tool {

MemorySoundFile::MemorySoundFile(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

SoundFile MemorySoundFile::open(int mode, SF_INFO* info) {
  static SF_VIRTUAL_IO io = {length_of, seek, read, write, tell};
  position_ = 0;
  return SoundFile(sf_open_virtual(&io, mode, info, this));
}

sf_count_t MemorySoundFile::length_of(void* self) {
  return static_cast<sf_count_t>(static_cast<MemorySoundFile*>(self)->bytes_.size());
}

sf_count_t MemorySoundFile::seek(sf_count_t offset, int whence, void* self) {
  auto* file = static_cast<MemorySoundFile*>(self);
  sf_count_t base = 0;
  if (whence == SEEK_CUR) base = file->position_;
  if (whence == SEEK_END) base = static_cast<sf_count_t>(file->bytes_.size());
  if (offset < -base) return -1;
  file->position_ = base + offset;
  return file->position_;
}

sf_count_t MemorySoundFile::read(void* destination, sf_count_t count, void* self) {
  auto* file = static_cast<MemorySoundFile*>(self);
  const auto size = static_cast<sf_count_t>(file->bytes_.size());
  if (count <= 0 || file->position_ >= size) return 0;
  const sf_count_t taken = std::min(count, size - file->position_);
  std::memcpy(destination, file->bytes_.data() + file->position_, static_cast<std::size_t>(taken));
  file->position_ += taken;
  return taken;
}

sf_count_t MemorySoundFile::write(const void* source, sf_count_t count, void* self) {
  auto* file = static_cast<MemorySoundFile*>(self);
  if (count <= 0) return 0;
  const auto end = static_cast<std::size_t>(file->position_ + count);
  if (end > file->bytes_.size()) file->bytes_.resize(end);
  std::memcpy(file->bytes_.data() + file->position_, source, static_cast<std::size_t>(count));
  file->position_ += count;
  return count;
}

sf_count_t MemorySoundFile::tell(void* self) {
  return static_cast<MemorySoundFile*>(self)->position_;
}

}  // namespace sirko_tool
