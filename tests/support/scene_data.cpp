#include "support/scene_data.h"

#include <gtest/gtest.h>

#include <vector>

#include "vimage_encoder.h"

namespace kaze::test {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutText(std::vector<uint8_t>& out, const char* text) {
  for (; *text != '\0'; ++text) out.push_back(static_cast<uint8_t>(*text));
}

std::vector<uint8_t> SilentWave(uint32_t samples) {
  constexpr uint32_t kRate = 11025;
  std::vector<uint8_t> out;
  PutText(out, "RIFF");
  Put32(out, 4 + 8 + 16 + 8 + samples + (samples & 1));
  PutText(out, "WAVEfmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, kRate);
  Put32(out, kRate);  // bytes per second
  Put16(out, 1);      // block align
  Put16(out, 8);      // bits
  PutText(out, "data");
  Put32(out, samples);
  out.insert(out.end(), samples, 0x80);
  if (samples & 1) out.push_back(0);
  return out;
}

std::filesystem::path Below(const std::filesystem::path& data, const std::string& name) {
  std::filesystem::path path = data;
  std::string part;
  for (char c : name) {
    if (c == '\\') {
      path /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  return path / part;
}

void WriteOrFail(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  ASSERT_TRUE(vimage::WriteFileBytes(path, bytes)) << path;
}

}  // namespace

SceneData::SceneData(const std::filesystem::path& root) : data_(root / "Data") {
  std::filesystem::create_directories(data_);
}

void SceneData::Picture(const std::string& name, const vimage::RgbPicture& picture) const {
  WriteOrFail(Below(data_, name), vimage::EncodeVImage(vimage::MakeBmp24(picture)));
}

void SceneData::Picture(const std::string& name, int32_t width, int32_t height, uint32_t colour) const {
  Picture(name, Solid(width, height, colour));
}

void SceneData::Sound(const std::string& name, uint32_t samples) const {
  WriteOrFail(data_ / "SOUND" / (name + ".wav"), SilentWave(samples));
}

void SceneData::Sound(const std::string& name, const std::vector<uint8_t>& wav) const {
  WriteOrFail(data_ / "SOUND" / (name + ".wav"), wav);
}

void SceneData::Effects() const {
  for (const char* name : {"kazese01", "kazese02", "kazese03", "kazese04", "kazese06", "opening", "taiken"}) {
    Sound(name);
  }
}

void SceneData::ScenePictures() const {
  for (const char* name :
       {"opening\\op0010.v", "opening\\op0030.v", "opening\\op0031.v", "opening\\op0032.v", "opening\\op_free.v",
        "taiken\\tik011.v", "taiken\\tik012.v", "taiken\\tik021.v", "taiken\\tik022.v", "taiken\\tik030.v",
        "taiken\\tik041.v", "taiken\\tik042.v", "taiken\\tik050.v", "taiken\\tik061.v", "taiken\\tik062.v",
        "taiken\\tik070.v", "taiken\\tik081.v", "main\\pp0010.v", "main\\pp0011.v"})
    Picture(name, 16, 16, 0x808080);
  for (int i = 1; i <= 30; ++i)
    Picture("anime\\MothA0" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".v", 16, 16, 0x808080);
}

vimage::RgbPicture Solid(int32_t width, int32_t height, uint32_t colour) {
  return Striped(width, height, colour, colour);
}

vimage::RgbPicture Striped(int32_t width, int32_t height, uint32_t even, uint32_t odd) {
  vimage::RgbPicture picture{width, height, {}};
  picture.colours.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) picture.colours.insert(picture.colours.end(), width, y % 2 == 0 ? even : odd);
  return picture;
}

}  // namespace kaze::test
