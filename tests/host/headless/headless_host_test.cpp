// The trace's JSON, frame CRCs, snapshots and the audio of headless runs.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <fstream>

#include "host/headless/frame_files.h"
#include "host/headless/trace_writer.h"
#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

TEST(TraceJson, EscapesWhatJsonNeedsAndKeepsUtf8Text) {
  EXPECT_EQ(host::JsonString("plain"), "\"plain\"");
  EXPECT_EQ(host::JsonString("a\"b\\c\nd\te\x01"), "\"a\\\"b\\\\c\\nd\\te\\u0001\"");
  // Japanese message box text passes through as UTF-8.
  EXPECT_EQ(host::JsonString("\xE7\x94\xBB\xE5\x83\x8F"), "\"\xE7\x94\xBB\xE5\x83\x8F\"");
  // Bytes that are not UTF-8 (Shift_JIS, a cut sequence, a surrogate) become U+FFFD.
  EXPECT_EQ(host::JsonString("\x82\xA0"), "\"\\ufffd\\ufffd\"");
  EXPECT_EQ(host::JsonString("x\xE7\x94"), "\"x\\ufffd\\ufffd\"");
  EXPECT_EQ(host::JsonString("\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
  auto parsed = ParseTraceLine("{\"t\":5,\"ev\":\"msgbox\",\"text\":" + host::JsonString("\xE7\x94\xBB\"") + "}");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->Str("text"), "\xE7\x94\xBB\"");
}

TEST(FrameCrc, IsZlibsCrcOverLittleEndianWords) {
  std::vector<uint16_t> pixels = {0x3231, 0x3433, 0x3635, 0x3837, 0x0039};
  // The bytes "123456789\0": not the check value itself, but fixed by zlib.
  std::vector<uint16_t> check = {0x3231, 0x3433, 0x3635, 0x3837};
  EXPECT_EQ(host::FrameCrc(check), 0x9AE0DAAFu);  // CRC-32 of "12345678"
  EXPECT_NE(host::FrameCrc(pixels), host::FrameCrc(check));
  EXPECT_EQ(host::FrameCrc(std::vector<uint16_t>(640 * 480, 0)), 0xC656B350u);
}

class HeadlessFiles : public HeadlessTest {};

class Tone final : public host::AudioSource {
 public:
  void Mix(int16_t* stereo, size_t frames) override {
    for (size_t i = 0; i < frames; ++i) stereo[2 * i] = stereo[2 * i + 1] = 1000;
    mixed += frames;
  }
  size_t mixed = 0;
};

TEST_F(HeadlessFiles, AudioIsPulledSampleExactAlongTheClockAndWrittenAsWav) {
  TempDir dir;
  host::HeadlessOptions options;
  options.audioOutPath = (dir.path() / "out.wav").string();
  StartHost(options);
  Tone tone;
  EXPECT_EQ(host().OpenAudio(&tone), 44100u);
  for (int i = 0; i < 100; ++i) host().Sleep(7);  // 700 ms in uneven steps
  host().CloseAudio();
  host().Sleep(300);
  EXPECT_EQ(tone.mixed, 30870u);  // 0.7 s at 44100 Hz, nothing lost to rounding
  host().Finish(0);
  std::ifstream wav(options.audioOutPath, std::ios::binary | std::ios::ate);
  EXPECT_EQ(static_cast<size_t>(wav.tellg()), 44u + 44100u * 4);  // silence after CloseAudio
}

TEST_F(HeadlessFiles, SnapshotsHoldTheFrameShownAtTheirTime) {
  TempDir dir;
  host::HeadlessOptions options;
  options.snapTimes = {50, 10};
  options.snapDir = dir.path().string();
  StartHost(options);
  std::vector<uint16_t> frame(640 * 480, 0xF800);  // red in 5-6-5
  host().PresentFrame(host::Frame{frame.data(), 1280, platform::PixelLayout::Rgb565});
  host().Sleep(30);
  std::fill(frame.begin(), frame.end(), 0x001F);
  host().PresentFrame(host::Frame{frame.data(), 1280, platform::PixelLayout::Rgb565});
  host().Sleep(30);
  for (const auto& [name, red, blue] : {std::tuple{"snap-10.png", 255, 0}, std::tuple{"snap-50.png", 0, 255}}) {
    SCOPED_TRACE(name);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir.path() / name).c_str()));
    EXPECT_EQ(image.width, 640u);
    EXPECT_EQ(image.height, 480u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    EXPECT_EQ(rgb[0], red);
    EXPECT_EQ(rgb[2], blue);
  }
  auto frames = TraceOf("frame");
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[1].Int("flip"), 2);
  EXPECT_EQ(TraceOf("snap").size(), 2u);
}

}  // namespace
}  // namespace kaze::test
