#include "vimage_commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "image/image_slot.h"
#include "image/vimage_decoder.h"
#include "picture_files.h"
#include "preview.h"
#include "vimage_encoder.h"

namespace vimage {

namespace {

namespace fs = std::filesystem;
using kaze::image::VImageStreamFacts;

struct Decoded {
  std::vector<uint8_t> image;
  VImageStreamFacts facts;
};

// `error` is set when the file cannot be read or its decoded size is refused.
std::optional<Decoded> DecodeFile(const fs::path& path, std::string& error) {
  std::optional<std::vector<uint8_t>> file = ReadFileBytes(path);
  if (!file) {
    error = "cannot read the file";
    return std::nullopt;
  }
  Decoded decoded;
  std::optional<std::vector<uint8_t>> image =
      kaze::image::DecodeVImageBytes(file->data(), file->size(), &decoded.facts);
  if (!image) {
    error = file->size() < 4 ? "too short to hold the decoded size"
                             : "decoded size beyond what a file of " + std::to_string(file->size()) + " bytes can hold";
    return std::nullopt;
  }
  decoded.image = std::move(*image);
  return decoded;
}

// What is wrong with the stream's length, or an empty text.
std::string StreamProblem(const Decoded& decoded) {
  const uint64_t size = decoded.image.size();
  std::string problem;
  if (decoded.facts.yielded < size)
    problem = "short: the blocks yield " + std::to_string(decoded.facts.yielded) + " of " + std::to_string(size) +
              " bytes (the rest is zero)";
  if (decoded.facts.yielded > size)
    problem = "long: the blocks yield " + std::to_string(decoded.facts.yielded) + " bytes, " + std::to_string(size) +
              " are kept";
  if (decoded.facts.endedInFlags)
    problem += std::string(problem.empty() ? "" : "; ") + "the file ends inside a block's flag bytes";
  return problem;
}

int Encode(const fs::path& in, const fs::path& out, std::ostream& err) {
  std::vector<uint8_t> bmp;
  if (HasExtension(in, ".png")) {
    std::string error;
    std::optional<RgbPicture> picture = ReadPng(in, error);
    if (!picture) {
      err << in.string() << ": " << error << "\n";
      return 1;
    }
    bmp = MakeBmp24(*picture);
  } else {
    std::optional<std::vector<uint8_t>> file = ReadFileBytes(in);
    if (!file) {
      err << in.string() << ": cannot read the file\n";
      return 1;
    }
    bmp = std::move(*file);
  }
  if (!PictureOfBmp(bmp)) {
    err << in.string() << ": not a bitmap the program can load\n";
    return 1;
  }
  if (!WriteFileBytes(out, EncodeVImage(bmp))) {
    err << out.string() << ": cannot write the file\n";
    return 1;
  }
  return 0;
}

int Decode(const fs::path& in, const fs::path& out, std::ostream& err) {
  std::string error;
  std::optional<Decoded> decoded = DecodeFile(in, error);
  if (!decoded) {
    err << in.string() << ": " << error << "\n";
    return 1;
  }
  if (std::string problem = StreamProblem(*decoded); !problem.empty())
    err << in.string() << ": warning: " << problem << "\n";
  if (HasExtension(out, ".png")) {
    std::optional<RgbPicture> picture = PictureOfBmp(decoded->image);
    if (!picture) {
      err << in.string() << ": the decoded image is not a bitmap the program can load\n";
      return 1;
    }
    if (!WritePng(out, *picture, error)) {
      err << out.string() << ": " << error << "\n";
      return 1;
    }
    return 0;
  }
  if (!WriteFileBytes(out, decoded->image)) {
    err << out.string() << ": cannot write the file\n";
    return 1;
  }
  return 0;
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
  if (at + 4 > bytes.size()) return 0;
  return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
         uint32_t{bytes[at + 3]} << 24;
}

uint16_t Le16(const std::vector<uint8_t>& bytes, size_t at) {
  if (at + 2 > bytes.size()) return 0;
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void PrintBmpFacts(const std::vector<uint8_t>& image, std::ostream& out) {
  if (image.size() < 54) {
    out << "bitmap: too short for the file and info headers\n";
    return;
  }
  const char signature[3] = {char(image[0]), char(image[1]), 0};
  const int32_t height = static_cast<int32_t>(Le32(image, 22));
  out << "bitmap: signature \"" << (std::isprint(image[0]) && std::isprint(image[1]) ? signature : "??") << "\""
      << ", file size field " << Le32(image, 2) << ", pixel offset " << Le32(image, 10) << "\n"
      << "        header " << Le32(image, 14) << " bytes, " << static_cast<int32_t>(Le32(image, 18)) << "x"
      << (height < 0 ? -int64_t{height} : height) << (height < 0 ? " top-down" : " bottom-up") << ", "
      << Le16(image, 28) << " bits, compression " << Le32(image, 30) << ", colours used " << Le32(image, 46) << "\n";
}

int Info(const fs::path& in, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<std::vector<uint8_t>> file = ReadFileBytes(in);
  std::optional<Decoded> decoded = DecodeFile(in, error);
  if (!file || !decoded) {
    err << in.string() << ": " << error << "\n";
    return 1;
  }
  const double ratio = file->empty() ? 0.0 : double(decoded->image.size()) / double(file->size());
  out << "file: " << in.string() << ", " << file->size() << " bytes\n"
      << "decoded size: " << decoded->image.size() << " bytes\n"
      << "blocks: " << decoded->facts.blocks << ", yielding " << decoded->facts.yielded << " bytes\n";
  out.setf(std::ios::fixed);
  out.precision(2);
  out << "compression: " << ratio << " : 1\n";
  PrintBmpFacts(decoded->image, out);
  if (std::string problem = StreamProblem(*decoded); !problem.empty()) out << "warning: " << problem << "\n";
  if (!PictureOfBmp(decoded->image)) out << "warning: the program cannot load this bitmap\n";
  return 0;
}

// The longest name the program loads: "Data\" + name + NUL fill a slot's path.
constexpr size_t kLongestName = kSlotPathSize - sizeof("Data\\");

// The name the program loads a picture by: its path below the Data folder
// (DIR itself, or a Data folder directly in it), '\' between folders.
std::string ProgramName(const fs::path& dir, const fs::path& file) {
  fs::path relative = file.lexically_relative(dir);
  std::vector<std::string> parts;
  for (const fs::path& part : relative) parts.push_back(part.string());
  auto isData = [](std::string part) {
    std::transform(part.begin(), part.end(), part.begin(), [](unsigned char c) { return std::tolower(c); });
    return part == "data";
  };
  size_t first = parts.size() > 1 && isData(parts.front()) ? 1 : 0;
  std::string name;
  for (size_t i = first; i < parts.size(); ++i) name += (i > first ? "\\" : "") + parts[i];
  return name;
}

int Check(const fs::path& dir, std::ostream& out, std::ostream& err) {
  std::error_code code;
  if (!fs::is_directory(dir, code)) {
    err << dir.string() << ": not a folder\n";
    return 2;
  }
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator it(dir, code), end; !code && it != end; it.increment(code))
    if (it->is_regular_file() && HasExtension(it->path(), ".v")) files.push_back(it->path());
  std::sort(files.begin(), files.end());
  int bad = 0;
  for (const fs::path& path : files) {
    std::string problem;
    const std::string name = ProgramName(dir, path);
    if (name.size() > kLongestName) {
      out << path.string() << ": the name " << name << " is longer than the " << kLongestName
          << " characters the program loads\n";
      ++bad;
      continue;
    }
    std::optional<Decoded> decoded = DecodeFile(path, problem);
    if (decoded) problem = StreamProblem(*decoded);
    if (decoded && problem.empty() && !PictureOfBmp(decoded->image)) problem = "not a bitmap the program can load";
    if (!problem.empty()) {
      out << path.string() << ": " << problem << "\n";
      ++bad;
    }
  }
  err << files.size() << " pictures checked, " << bad << " bad\n";
  return bad == 0 ? 0 : 1;
}

}  // namespace

void PrintUsage(std::ostream& out) {
  out << "usage: vimage encode IN.bmp|IN.png OUT.v\n"
         "       vimage decode IN.v OUT.bmp|OUT.png\n"
         "       vimage info FILE.v\n"
         "       vimage check DIR\n"
         "       vimage preview IN.v OUT.png [--555] [--at X,Y] [--key]\n";
}

int RunVImage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::string command = args.empty() ? "" : args[0];
  if (command == "encode" && args.size() == 3) return Encode(args[1], args[2], err);
  if (command == "decode" && args.size() == 3) return Decode(args[1], args[2], err);
  if (command == "info" && args.size() == 2) return Info(args[1], out, err);
  if (command == "check" && args.size() == 2) return Check(args[1], out, err);
  if (command == "preview" && args.size() >= 3) {
    std::optional<PreviewOptions> options = ParsePreviewOptions(args, err);
    return options ? RunPreview(*options, err) : 2;
  }
  if (command == "--help" || command == "-h") {
    PrintUsage(out);
    return 0;
  }
  PrintUsage(err);
  return 2;
}

}  // namespace vimage
