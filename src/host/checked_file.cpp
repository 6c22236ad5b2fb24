#include "host/checked_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kaze::host {

namespace {
// Small writes (a millisecond of sound, a trace line) gather up to this;
// a larger one (a video frame) goes out in one write of its own.
constexpr size_t kBufferBytes = 64 * 1024;
}  // namespace

CheckedFile::~CheckedFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool CheckedFile::Open(const std::string& path, Mode mode) {
  if (fd_ >= 0) ::close(fd_);
  path_ = path;
  regular_ = false;
  written_ = 0;
  error_ = 0;
  buffer_.clear();
  buffer_.reserve(kBufferBytes);
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == Mode::New ? O_EXCL : O_TRUNC);
  do {
    fd_ = ::open(path.c_str(), flags, 0666);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) return Fail(errno);
  struct stat status {};
  regular_ = ::fstat(fd_, &status) == 0 && S_ISREG(status.st_mode);
  return true;
}

bool CheckedFile::Write(const void* data, size_t size) {
  if (fd_ < 0 || Failed()) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (buffer_.size() + size > kBufferBytes && !Flush()) return false;
  if (size >= kBufferBytes) return WriteAll(bytes, size);
  buffer_.insert(buffer_.end(), bytes, bytes + size);
  return true;
}

bool CheckedFile::Flush() {
  if (fd_ < 0 || Failed()) return false;
  const bool written = WriteAll(buffer_.data(), buffer_.size());
  buffer_.clear();
  return written;
}

bool CheckedFile::WriteAll(const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t taken = ::write(fd_, data, std::min<size_t>(size, size_t{1} << 30));
    if (taken < 0 && errno == EINTR) continue;
    if (taken < 0) return Fail(errno);
    if (taken == 0) return Fail(EIO);
    written_ += static_cast<uint64_t>(taken);
    data += taken;
    size -= static_cast<size_t>(taken);
  }
  return true;
}

bool CheckedFile::Fail(int error) {
  if (error_ == 0) error_ = error;
  return false;
}

bool CheckedFile::Truncate(uint64_t size) {
  buffer_.clear();
  if (fd_ < 0 || !regular_) return false;
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return Fail(errno);
  if (::lseek(fd_, static_cast<off_t>(size), SEEK_SET) < 0) return Fail(errno);
  written_ = size;
  return true;
}

bool CheckedFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (fd_ < 0 || !regular_) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t taken = ::pwrite(fd_, bytes, size, static_cast<off_t>(offset));
    if (taken < 0 && errno == EINTR) continue;
    if (taken <= 0) return Fail(taken < 0 ? errno : EIO);
    bytes += taken;
    offset += static_cast<uint64_t>(taken);
    size -= static_cast<size_t>(taken);
  }
  return true;
}

bool CheckedFile::Close() {
  if (fd_ < 0) return !Failed();
  Flush();
  // Linux closes the descriptor even when close reports EINTR.
  if (::close(fd_) != 0 && errno != EINTR) Fail(errno);
  fd_ = -1;
  return !Failed();
}

void CheckedFile::Remove() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.clear();
  if (regular_) ::unlink(path_.c_str());
  regular_ = false;
}

}  // namespace kaze::host
