// A file the run writes, with every write checked. The bytes go through a
// buffer of the file's own straight to write(2), so that when a write
// fails it is known exactly how many reached the file: the owner can then
// cut the file back to its last whole record and mend its header. After
// the first failure the file takes no more writes (they return false at
// once) and Error() keeps the reason.
//
// Only a regular file is cut, rewritten in place or removed: a device or a
// pipe named as the file (/dev/null, /dev/full, a FIFO) is left alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kaze::host {

class CheckedFile {
 public:
  enum class Mode { Replace, New };  // New: fails with EEXIST when the name is taken

  CheckedFile() = default;
  ~CheckedFile();  // closes without flushing what is still buffered
  CheckedFile(const CheckedFile&) = delete;
  CheckedFile& operator=(const CheckedFile&) = delete;

  // Creates the file (or empties the one there, with Replace); false with
  // the reason in Error().
  bool Open(const std::string& path, Mode mode = Mode::Replace);
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }
  bool IsRegular() const { return regular_; }

  bool Write(const void* data, size_t size);
  bool Flush();
  // The bytes write(2) has taken: the file's size, for a regular file.
  uint64_t Written() const { return written_; }
  bool Failed() const { return error_ != 0; }
  int Error() const { return error_; }

  // Regular files only, and also after a failure (to mend the file): cut
  // it to `size` bytes, the next write going there (what is buffered is
  // dropped: Flush first to keep it); write in place.
  bool Truncate(uint64_t size);
  bool WriteAt(uint64_t offset, const void* data, size_t size);

  // Flushes and closes; false when any write or the close failed.
  bool Close();
  // Closes, dropping what is buffered, and removes a regular file.
  void Remove();

 private:
  bool WriteAll(const uint8_t* data, size_t size);
  bool Fail(int error);

  int fd_ = -1;
  std::string path_;
  bool regular_ = false;
  uint64_t written_ = 0;
  int error_ = 0;
  std::vector<uint8_t> buffer_;
};

}  // namespace kaze::host
