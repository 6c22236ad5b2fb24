// mmio: reading RIFF files chunk by chunk. Every size in a chunk header is
// outside data: reads stop at the end of the file whatever a chunk claims,
// and a search never leaves its parent chunk or the file.
#include <mmsystem.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "host/host.h"
#include "platform/setup/faults.h"
#include "platform/kernel32/files.h"
#include "platform/winmm/mmio_memory.h"
#include "platform/winmm/mmio_work.h"

// A file, or bytes in memory read the same way.
struct HMMIO__ {
  std::FILE* file = nullptr;
  const uint8_t* memory = nullptr;  // when there is no file
  uint64_t size = 0;                // bytes in the file
  uint64_t position = 0;            // where the next read starts
};

namespace {

std::optional<std::span<const uint8_t>> gMemoryFile;

std::atomic<uint64_t> gFileReads{0};
std::atomic<uint64_t> gFileSeeks{0};
std::atomic<uint64_t> gFileBytes{0};

constexpr uint32_t kChunkHeaderBytes = 8;
constexpr uint32_t kFormTypeBytes = 4;
// RIFF offsets are 32-bit: a larger file cannot be a RIFF file.
constexpr uint64_t kLargestRiffFile = 0xFFFFFFFFu;
// The most chunks one search steps over before it gives up. A WAV file has
// a handful before its samples; a file of zeros is a chain of 8-byte empty
// chunks, 134 million to a gigabyte, and each step costs a seek and a read,
// so without a bound a large file stalled the loading (and the quit that
// waits for it) for minutes.
constexpr uint32_t kMostChunksStepped = 4096;

bool SeekTo(HMMIO__& io, uint64_t position) {
  if (position > io.size) return false;
  if (io.file != nullptr) {
    gFileSeeks.fetch_add(1, std::memory_order_relaxed);
    if (std::fseek(io.file, static_cast<long>(position), SEEK_SET) != 0) return false;
  }
  io.position = position;
  return true;
}

// Reads up to `bytes` from the current position, never past the end of the
// file; the number of bytes read.
uint64_t ReadAtMost(HMMIO__& io, void* buffer, uint64_t bytes) {
  uint64_t available = io.size - io.position;
  if (bytes > available) bytes = available;
  if (bytes == 0) return 0;
  size_t got = bytes;
  if (io.file != nullptr) {
    got = std::fread(buffer, 1, bytes, io.file);
    gFileReads.fetch_add(1, std::memory_order_relaxed);
    gFileBytes.fetch_add(got, std::memory_order_relaxed);
  } else {
    std::memcpy(buffer, io.memory + io.position, bytes);
  }
  io.position += got;
  return got;
}

uint32_t LittleEndian32(const uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// Reads the chunk header at the current position into `chunk` (with the
// form type of a RIFF or LIST chunk), provided it lies before `end`.
bool ReadChunkHeader(HMMIO__& io, uint64_t end, MMCKINFO& chunk) {
  uint64_t start = io.position;
  uint8_t header[kChunkHeaderBytes + kFormTypeBytes];
  if (start + kChunkHeaderBytes > end || ReadAtMost(io, header, kChunkHeaderBytes) != kChunkHeaderBytes) {
    return false;
  }
  chunk.ckid = LittleEndian32(header);
  chunk.cksize = LittleEndian32(header + 4);
  chunk.dwDataOffset = static_cast<DWORD>(start + kChunkHeaderBytes);
  chunk.dwFlags = 0;
  chunk.fccType = 0;
  if (chunk.ckid == FOURCC_RIFF || chunk.ckid == FOURCC_LIST) {
    if (io.position + kFormTypeBytes > end ||
        ReadAtMost(io, header + kChunkHeaderBytes, kFormTypeBytes) != kFormTypeBytes) {
      return false;
    }
    chunk.fccType = LittleEndian32(header + kChunkHeaderBytes);
  }
  return true;
}

// The first byte after the chunk, with the pad byte that follows a chunk of
// odd size.
uint64_t ChunkEnd(const MMCKINFO& chunk) {
  return static_cast<uint64_t>(chunk.dwDataOffset) + chunk.cksize + (chunk.cksize & 1);
}

bool Matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT flags) {
  if (flags & MMIO_FINDRIFF) return found.ckid == FOURCC_RIFF && found.fccType == wanted.fccType;
  if (flags & MMIO_FINDLIST) return found.ckid == FOURCC_LIST && found.fccType == wanted.fccType;
  if (flags & MMIO_FINDCHUNK) return found.ckid == wanted.ckid;
  return true;
}

}  // namespace

kaze::platform::MmioFileWork kaze::platform::MmioFileWorkSoFar() {
  return {gFileReads.load(), gFileSeeks.load(), gFileBytes.load()};
}

void kaze::platform::SetMmioMemoryFile(std::optional<std::span<const uint8_t>> bytes) { gMemoryFile = bytes; }

namespace {

// The trace tells a missing file from one that is there but cannot be read
// or is too large to be a RIFF file, and says why.
void TraceOpen(std::string_view name, bool found, const char* unreadable = nullptr) {
  kaze::host::Host& host = kaze::host::TheHost();
  if (!found) {
    host.Trace("sound", {{"op", "open"}, {"file", name}, {"found", false}});
  } else if (unreadable != nullptr) {
    host.Trace("sound", {{"op", "open"},
                         {"file", name},
                         {"found", true},
                         {"readable", false},
                         {"reason", std::string_view(unreadable)}});
  } else {
    host.Trace("sound", {{"op", "open"}, {"file", name}, {"found", true}, {"readable", true}});
  }
}

constexpr char kTooLarge[] = "larger than a RIFF file can be";

// The length of a file, left at its start; nothing when it cannot be told.
std::optional<uint64_t> LengthOf(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return std::nullopt;
  const long length = std::ftell(file);
  if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return std::nullopt;
  return static_cast<uint64_t>(length);
}

HMMIO OpenFile(std::string_view name, const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    TraceOpen(name, true, std::strerror(errno));
    return nullptr;
  }
  const std::optional<uint64_t> length = LengthOf(file);
  const char* unreadable = !length ? "its length cannot be told" : *length > kLargestRiffFile ? kTooLarge : nullptr;
  TraceOpen(name, true, unreadable);
  if (unreadable != nullptr) {
    std::fclose(file);
    return nullptr;
  }
  return new HMMIO__{file, nullptr, *length, 0};
}

}  // namespace

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags) {
  if (kaze::platform::CheckFault("mmioOpen")) return nullptr;
  if (fileName == nullptr || info != nullptr || (flags & ~MMIO_ALLOCBUF) != MMIO_READ) return nullptr;
  const std::string_view name(fileName);
  if (gMemoryFile) {
    const bool fits = gMemoryFile->size() <= kLargestRiffFile;
    TraceOpen(name, true, fits ? nullptr : kTooLarge);
    return fits ? new HMMIO__{nullptr, gMemoryFile->data(), gMemoryFile->size(), 0} : nullptr;
  }
  const std::optional<std::filesystem::path> path = kaze::platform::ResolveDataPath(fileName);
  if (!path) {
    TraceOpen(name, false);
    return nullptr;
  }
  return OpenFile(name, *path);
}

MMRESULT mmioClose(HMMIO file, UINT flags) {
  if (file == nullptr) return MMSYSERR_INVALHANDLE;
  if (file->file != nullptr) std::fclose(file->file);
  delete file;
  return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO file, HPSTR buffer, LONG bytes) {
  if (file == nullptr || bytes < 0 || (buffer == nullptr && bytes > 0)) return -1;
  return static_cast<LONG>(ReadAtMost(*file, buffer, static_cast<uint64_t>(bytes)));
}

MMRESULT mmioDescend(HMMIO file, LPMMCKINFO chunk, LPCMMCKINFO parent, UINT flags) {
  if (file == nullptr || chunk == nullptr) return MMSYSERR_INVALPARAM;
  uint64_t end = file->size;
  if (parent != nullptr && static_cast<uint64_t>(parent->dwDataOffset) + parent->cksize < end) {
    end = static_cast<uint64_t>(parent->dwDataOffset) + parent->cksize;
  }
  const MMCKINFO wanted = *chunk;
  MMCKINFO found{};
  for (uint32_t stepped = 0; ReadChunkHeader(*file, end, found); ++stepped) {
    if (Matches(found, wanted, flags)) {
      *chunk = found;
      return MMSYSERR_NOERROR;
    }
    if (!(flags & (MMIO_FINDRIFF | MMIO_FINDLIST | MMIO_FINDCHUNK))) break;
    if (stepped == kMostChunksStepped || ChunkEnd(found) >= end || !SeekTo(*file, ChunkEnd(found))) break;
  }
  return MMIOERR_CHUNKNOTFOUND;
}

MMRESULT mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags) {
  if (file == nullptr || chunk == nullptr) return MMSYSERR_INVALPARAM;
  // A missing pad byte at the very end of the file is forgiven; a chunk that
  // claims to run past the end of the file is not.
  uint64_t dataEnd = static_cast<uint64_t>(chunk->dwDataOffset) + chunk->cksize;
  if (dataEnd > file->size) return MMIOERR_CANNOTSEEK;
  uint64_t end = ChunkEnd(*chunk);
  return SeekTo(*file, end <= file->size ? end : file->size) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}
