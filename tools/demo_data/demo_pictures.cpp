#include "demo_pictures.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "art_text.h"
#include "picture_set.h"
#include "vimage_encoder.h"

namespace demo {

namespace {

// "main\st0011.v" -> dataDir/main/st0011.v
std::filesystem::path FileOf(const std::filesystem::path& dataDir, const std::string& name) {
  const size_t slash = name.find('\\');
  return dataDir / name.substr(0, slash) / name.substr(slash + 1);
}

}  // namespace

bool WritePictures(const std::filesystem::path& dataDir, std::string& error) {
  try {
    for (const NamedPicture& named : DrawPictureSet()) {
      const std::filesystem::path file = FileOf(dataDir, named.name);
      std::error_code ec;
      std::filesystem::create_directories(file.parent_path(), ec);
      if (!vimage::WriteFileBytes(file, vimage::EncodeVImage(vimage::MakeBmp24(named.picture)))) {
        error = "cannot write " + file.string();
        return false;
      }
    }
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  return true;
}

bool WriteContactSheet(const std::filesystem::path& png, std::string& error) {
  try {
    const std::vector<NamedPicture> set = DrawPictureSet();
    const Font label(SansPath(), 11);
    constexpr int kSheetWidth = 1960, kGap = 12, kLabel = 16;
    // Shelves: pictures left to right, a new shelf when the row is full.
    struct Spot {
      int x, y;
    };
    std::vector<Spot> spots;
    int x = kGap, y = kGap, shelf = 0;
    for (const NamedPicture& named : set) {
      const int w = std::max(named.picture.width, 90);
      if (x + w + kGap > kSheetWidth) {
        x = kGap;
        y += shelf + kLabel + kGap;
        shelf = 0;
      }
      spots.push_back({x, y});
      x += w + kGap;
      shelf = std::max(shelf, named.picture.height);
    }
    Canvas sheet(kSheetWidth, y + shelf + kLabel + kGap, {58, 58, 64});
    for (size_t i = 0; i < set.size(); ++i) {
      PaintMask(sheet, label.Horizontal(set[i].name), spots[i].x, spots[i].y + set[i].picture.height + 1,
                {230, 230, 230});
    }
    vimage::RgbPicture picture = Dither(sheet);
    for (size_t i = 0; i < set.size(); ++i) {
      const vimage::RgbPicture& p = set[i].picture;
      for (int j = 0; j < p.height; ++j) {
        std::copy_n(&p.colours[static_cast<size_t>(j) * p.width], p.width,
                    &picture.colours[static_cast<size_t>(spots[i].y + j) * picture.width + spots[i].x]);
      }
    }
    return vimage::WritePng(png, picture, error);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

}  // namespace demo
