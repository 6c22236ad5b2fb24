// RIFF reading through mmio: finding chunks, and never reading past the
// file or the parent chunk whatever the sizes claim. The chunk walks read
// bytes in memory, the way the fuzzer does; the sound bank's tests read files.
#include <mmsystem.h>
#include <unistd.h>

#include "platform/winmm/mmio_memory.h"
#include "platform/winmm/mmio_work.h"
#include "support/audio_fixture.h"

namespace kaze::test {
namespace {

class MmioTest : public AudioTest {
 protected:
  void TearDown() override {
    platform::SetMmioMemoryFile(std::nullopt);
    AudioTest::TearDown();
  }

  HMMIO Open(const Bytes& bytes) {
    bytes_ = bytes;
    platform::SetMmioMemoryFile(bytes_);
    char path[] = "memory";
    return mmioOpen(path, nullptr, MMIO_READ | MMIO_ALLOCBUF);
  }

  // Writes Data/sound/<name> as `head` followed by zeros up to `length`
  // bytes: a hole in the file, which takes no disk space.
  void WriteSparse(const std::string& name, const Bytes& head, uint64_t length) {
    const std::filesystem::path path = root_ / "Data" / "sound" / name;
    WriteFile(path, head);
    std::filesystem::resize_file(path, length);
  }

  static MMCKINFO Wanted(const char* id) {
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC(id[0], id[1], id[2], id[3]);
    chunk.fccType = chunk.ckid;
    return chunk;
  }

  Bytes bytes_;
};

uint64_t FileCalls() {
  const platform::MmioFileWork work = platform::MmioFileWorkSoFar();
  return work.reads + work.seeks;
}

TEST_F(MmioTest, FindsFilesInAnyLetterCaseAndNoneOutsideTheDataFolder) {
  WriteFile(root_ / "Data" / "sound" / "T.WAV", Bytes{1, 2, 3});
  char path[] = "data\\Sound\\t.wav";
  HMMIO file = mmioOpen(path, nullptr, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(file, nullptr);
  char bytes[8] = {};
  EXPECT_EQ(mmioRead(file, bytes, 8), 3);
  EXPECT_EQ(mmioRead(file, bytes, 8), 0);
  EXPECT_EQ(mmioClose(file, 0), MMSYSERR_NOERROR);
  char missing[] = "DATA\\SOUND\\none.wav";
  EXPECT_EQ(mmioOpen(missing, nullptr, MMIO_READ), nullptr);
  char escaping[] = "DATA\\..\\..\\etc\\passwd";
  EXPECT_EQ(mmioOpen(escaping, nullptr, MMIO_READ), nullptr);
}

TEST_F(MmioTest, DescendsFindsAndAscendsOverOddSizedChunks) {
  HMMIO file = Open(Riff("WAVE", {Chunk("odd ", Bytes{7, 7, 7}), Chunk("data", Bytes{9, 8})}));
  ASSERT_NE(file, nullptr);
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
  EXPECT_EQ(riff.dwDataOffset, 8u);
  MMCKINFO first{};
  ASSERT_EQ(mmioDescend(file, &first, &riff, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(first.ckid, mmioFOURCC('o', 'd', 'd', ' '));
  EXPECT_EQ(first.cksize, 3u);
  ASSERT_EQ(mmioAscend(file, &first, 0), MMSYSERR_NOERROR);  // past the pad byte
  MMCKINFO data{};
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  ASSERT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
  char bytes[2] = {};
  EXPECT_EQ(mmioRead(file, bytes, 2), 2);
  EXPECT_EQ(bytes[0], 9);
  mmioClose(file, 0);
}

TEST_F(MmioTest, ASearchStaysInsideItsParentChunk) {
  // The RIFF chunk holds only its "fmt " chunk; a "data" chunk follows
  // outside it.
  Bytes file = Riff("WAVE", {Chunk("fmt ", Bytes(16, 0))});
  Bytes data = Chunk("data", Bytes(4, 1));
  file.insert(file.end(), data.begin(), data.end());
  HMMIO io = Open(file);
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  ASSERT_EQ(mmioDescend(io, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
  MMCKINFO chunk{};
  chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
  EXPECT_EQ(mmioDescend(io, &chunk, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
  mmioClose(io, 0);
}

TEST_F(MmioTest, AChunkClaimingMoreThanTheFileIsReadOnlyToTheEndOfTheFile) {
  HMMIO file = Open(Riff("WAVE", {Chunk("data", Bytes(10, 5), 0x7FFFFFF0)}));
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
  MMCKINFO data{};
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  ASSERT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
  EXPECT_EQ(data.cksize, 0x7FFFFFF0u);
  std::vector<char> buffer(64, 0);
  EXPECT_EQ(mmioRead(file, buffer.data(), 64), 10);
  EXPECT_EQ(mmioAscend(file, &data, 0), MMIOERR_CANNOTSEEK);
  // A search past chunks whose sizes overrun the file ends cleanly.
  MMCKINFO other{};
  other.ckid = mmioFOURCC('n', 'o', 'n', 'e');
  EXPECT_EQ(mmioDescend(file, &other, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
  mmioClose(file, 0);
}

// A file of zeros is a chain of 8-byte empty chunks, two million to 16 MiB:
// a search steps over a few thousand and gives up, where each step costs a
// seek and a read. The same for a search for "data" in a RIFF chunk that
// claims 4 GiB over zeros. A valid file with many chunks is still read.
TEST_F(MmioTest, ASearchGivesUpOnAChainOfEmptyChunksAfterAFewThousand) {
  constexpr uint64_t kMostCalls = 2 * 4096 + 16;
  WriteSparse("zeros.wav", {}, uint64_t{16} << 20);
  Bytes header = Riff("WAVE", {Chunk("fmt ", FormatBody(1, 1, 22050, 8))});
  header[4] = header[5] = header[6] = header[7] = 0xFF;  // the RIFF chunk claims 4 GiB
  WriteSparse("header.wav", header, uint64_t{16} << 20);

  char zeros[] = "DATA\\SOUND\\zeros.wav";
  HMMIO file = mmioOpen(zeros, nullptr, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(file, nullptr);
  uint64_t before = FileCalls();
  MMCKINFO riff = Wanted("WAVE");
  EXPECT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), MMIOERR_CHUNKNOTFOUND);
  EXPECT_LE(FileCalls() - before, kMostCalls);
  mmioClose(file, 0);

  char withHeader[] = "DATA\\SOUND\\header.wav";
  file = mmioOpen(withHeader, nullptr, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
  before = FileCalls();
  MMCKINFO data = Wanted("data");
  EXPECT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
  EXPECT_LE(FileCalls() - before, kMostCalls);
  mmioClose(file, 0);

  std::vector<Bytes> chunks(1000, Chunk("junk", Bytes(2, 0)));
  chunks.push_back(Chunk("data", Bytes{9}));
  file = Open(Riff("WAVE", chunks));
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
  EXPECT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
  mmioClose(file, 0);
}

// The trace tells a missing file from one that is there but cannot be
// read: a file larger than any RIFF file, or one the user may not read (not
// when the tests run as root, who may read anything).
TEST_F(MmioTest, TheTraceTellsAMissingFileFromOneThatCannotBeRead) {
  const std::filesystem::path folder = root_ / "Data" / "sound";
  WriteSparse("huge.wav", {}, uint64_t{5} << 30);
  WriteFile(folder / "small.wav", SmallWav());
  WriteFile(folder / "locked.wav", SmallWav());
  std::filesystem::permissions(folder / "locked.wav", std::filesystem::perms::none);
  // Per file: found, readable, reason.
  std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"none", {"false", "", ""}},
      {"huge", {"true", "false", "larger than a RIFF file can be"}},
      {"small", {"true", "true", ""}}};
  if (::geteuid() != 0) cases.push_back({"locked", {"true", "false", "Permission denied"}});
  for (const auto& [name, expected] : cases) {
    std::string path = "DATA\\SOUND\\" + name + ".wav";
    HMMIO file = mmioOpen(path.data(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    EXPECT_EQ(file != nullptr, expected[1] == "true") << name;
    if (file != nullptr) mmioClose(file, 0);
    const TraceRecord open = host_.SoundEvents("open").back();
    EXPECT_EQ(open["file"], path);
    EXPECT_EQ((std::vector<std::string>{open["found"], open["readable"], open["reason"]}), expected) << name;
  }
}

}  // namespace
}  // namespace kaze::test
