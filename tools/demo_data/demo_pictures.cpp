#include "demo_pictures.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "art_text.h"
#include "demo_layout.h"
#include "file_writes.h"
#include "picture_set.h"
#include "vimage_encoder.h"

namespace demo {

namespace {

// "main\st0011.v" -> "main/st0011.v"
std::string PathOf(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

}  // namespace

std::vector<std::string> PicturePaths() {
  std::vector<std::string> paths;
  for (const Placement& place : Placements()) paths.push_back(PathOf(place.name));
  return paths;
}

bool PictureFiles(std::vector<DemoFile>& files, std::string& error) {
  try {
    for (const NamedPicture& named : DrawPictureSet())
      files.push_back({PathOf(named.name), vimage::EncodeVImage(vimage::MakeBmp24(named.picture))});
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  return true;
}

bool WritePictures(const std::filesystem::path& dataDir, std::string& error) {
  std::vector<DemoFile> files;
  if (!PictureFiles(files, error)) return false;
  for (const DemoFile& file : files) {
    const std::filesystem::path path = dataDir / file.path;
    std::error_code code;
    std::filesystem::create_directories(path.parent_path(), code);
    if (code) {
      error = "cannot make " + path.parent_path().string() + ": " + code.message();
      return false;
    }
    if (!WriteWholeFile(path, file.bytes, error)) return false;
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
