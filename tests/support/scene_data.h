// A small data folder for scenario tests: pictures of chosen sizes and
// colours and silent effect files, written where the program looks for them.
//
//   TempDir dir;
//   SceneData data(dir.path());                  // dir/Data
//   data.Picture("opening\\op0010.v", 40, 20, 0xFF0000);
//   data.Picture("taiken\\tik022.v", Striped(32, 8, 0x00FF00, 0x000000));
//   data.Effects();                              // the seven effect files
//   RunKaze({"--data", dir.path().string(), ...});
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "picture_files.h"  // vimage::RgbPicture

namespace kaze::test {

class SceneData {
 public:
  explicit SceneData(const std::filesystem::path& root);

  // Writes Data/<name> ('\' separates folders) as a VImage picture.
  void Picture(const std::string& name, const vimage::RgbPicture& picture) const;
  void Picture(const std::string& name, int32_t width, int32_t height, uint32_t colour) const;

  // Writes Data/SOUND/<name>.wav: `samples` frames of 8-bit mono silence at 11025 Hz.
  void Sound(const std::string& name, uint32_t samples = 2205) const;
  // Writes Data/SOUND/<name>.wav as given.
  void Sound(const std::string& name, const std::vector<uint8_t>& wav) const;
  // The seven effect files the program loads at start.
  void Effects() const;
  // Every picture of the intro, the opening and the title, small and grey,
  // so that a run meets no missing picture (whose box would hold a window).
  void ScenePictures() const;

  const std::filesystem::path& data() const { return data_; }

 private:
  std::filesystem::path data_;
};

// A width x height picture of one colour (0xRRGGBB).
vimage::RgbPicture Solid(int32_t width, int32_t height, uint32_t colour);
// Alternating rows of two colours: each row tells where a picture was cut.
vimage::RgbPicture Striped(int32_t width, int32_t height, uint32_t even, uint32_t odd);

}  // namespace kaze::test
