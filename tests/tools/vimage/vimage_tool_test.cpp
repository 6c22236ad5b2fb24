// The vimage tool as people who make data sets use it: encode and decode
// round trips, the facts it prints, and the check of a whole folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "picture_files.h"
#include "vimage_commands.h"
#include "vimage_encoder.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class VImageToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vimage_tool_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return vimage::RunVImage(args, out_, err_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const Bytes& bytes) {
    fs::create_directories((dir_ / name).parent_path());
    ASSERT_TRUE(vimage::WriteFileBytes(dir_ / name, bytes));
  }
  Bytes Read(const std::string& name) const { return vimage::ReadFileBytes(dir_ / name).value_or(Bytes{}); }

  fs::path dir_;
  std::ostringstream out_, err_;
};

// A 5x3 picture with a gradient and a flat stretch, so the stream has both
// literals and runs.
vimage::RgbPicture Gradient() {
  vimage::RgbPicture picture{5, 3, {}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) picture.colours.push_back(x < 2 ? 0x204060 : uint32_t(x * 50) << 16 | y * 80);
  return picture;
}

TEST_F(VImageToolTest, EncodeThenDecodeGivesBackTheSameBitmapBytes) {
  Bytes bmp = vimage::MakeBmp24(Gradient());
  Write("in.bmp", bmp);
  ASSERT_EQ(Run({"encode", Path("in.bmp"), Path("pic.v")}), 0) << err_.str();
  ASSERT_EQ(Run({"decode", Path("pic.v"), Path("out.bmp")}), 0) << err_.str();
  EXPECT_EQ(Read("out.bmp"), bmp);
  EXPECT_TRUE(err_.str().empty()) << err_.str();
}

TEST_F(VImageToolTest, PngGoesInAsTwentyFourBitBitmapAndComesOutUnchanged) {
  std::string error;
  ASSERT_TRUE(vimage::WritePng(dir_ / "in.png", Gradient(), error)) << error;
  ASSERT_EQ(Run({"encode", Path("in.png"), Path("pic.v")}), 0) << err_.str();
  ASSERT_EQ(Run({"decode", Path("pic.v"), Path("out.bmp")}), 0) << err_.str();
  EXPECT_EQ(Read("out.bmp"), vimage::MakeBmp24(Gradient()));
  ASSERT_EQ(Run({"decode", Path("pic.v"), Path("out.png")}), 0) << err_.str();
  auto back = vimage::ReadPng(dir_ / "out.png", error);
  ASSERT_TRUE(back.has_value()) << error;
  EXPECT_EQ(back->colours, Gradient().colours);
}

TEST_F(VImageToolTest, InfoTellsSizesBlocksAndTheBitmapAndWarnsOfShortStreams) {
  Bytes bmp = vimage::MakeBmp24(Gradient());  // 54 + 3 rows of 16 bytes = 102
  Bytes file = vimage::EncodeVImage(bmp);
  Write("pic.v", file);
  ASSERT_EQ(Run({"info", Path("pic.v")}), 0) << err_.str();
  const std::string facts = out_.str();
  EXPECT_NE(facts.find("decoded size: 102 bytes"), std::string::npos) << facts;
  EXPECT_NE(facts.find("blocks: 4, yielding 102 bytes"), std::string::npos) << facts;
  EXPECT_NE(facts.find("5x3 bottom-up, 24 bits"), std::string::npos) << facts;
  EXPECT_EQ(facts.find("warning"), std::string::npos) << facts;

  file.resize(file.size() - 5);
  Write("cut.v", file);
  ASSERT_EQ(Run({"info", Path("cut.v")}), 0);
  EXPECT_NE(out_.str().find("warning: short"), std::string::npos) << out_.str();
}

TEST_F(VImageToolTest, CheckNamesEveryBadPictureBelowTheFolder) {
  Bytes good = vimage::EncodeVImage(vimage::MakeBmp24(Gradient()));
  Write("main/pp0010.v", good);
  Write("system/YES.V", good);
  ASSERT_EQ(Run({"check", dir_.string()}), 0) << out_.str();
  EXPECT_TRUE(out_.str().empty());

  Bytes cut(good.begin(), good.end() - 7);
  Write("main/cut.v", cut);
  Write("anime/forged.v", {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF});
  Write("taiken/text.v", vimage::EncodeVImage(Bytes{'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'}));
  Write("taiken/notes.txt", {'x'});
  // 30 characters are the most a name may have ("Data\\" and the name fill 35).
  Write("Data/taiken/a_name_of_twentythree.v", good);
  Write("Data/taiken/a_name_of_twentyfour__.v", good);
  EXPECT_EQ(Run({"check", dir_.string()}), 1);
  const std::string report = out_.str();
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 4) << report;
  EXPECT_NE(report.find("the name taiken\\a_name_of_twentyfour__.v is longer than the 30"), std::string::npos)
      << report;
  EXPECT_NE(report.find("cut.v: short"), std::string::npos) << report;
  EXPECT_NE(report.find("forged.v: decoded size beyond"), std::string::npos) << report;
  EXPECT_NE(report.find("text.v: not a bitmap"), std::string::npos) << report;
}

TEST_F(VImageToolTest, RefusesWhatTheProgramCouldNotShowAndBadCommandLines) {
  Write("notes.bmp", {'B', 'M', 0, 0});
  EXPECT_EQ(Run({"encode", Path("notes.bmp"), Path("x.v")}), 1);
  EXPECT_NE(err_.str().find("not a bitmap"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "x.v"));
  EXPECT_EQ(Run({"decode", Path("missing.v"), Path("x.bmp")}), 1);
  EXPECT_EQ(Run({"frobnicate"}), 2);
  EXPECT_EQ(Run({"check", Path("no-such-folder")}), 2);
  EXPECT_EQ(Run({"preview", Path("a.v"), Path("a.png"), "--at", "10"}), 2);
}

}  // namespace

namespace {

// 3x2: the top-left colour (the key) again at the bottom right.
//   red   123456  white
//   blue  green   red
vimage::RgbPicture KeyedPicture() { return {3, 2, {0xFF0000, 0x123456, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000}}; }

uint32_t At(const vimage::RgbPicture& picture, int x, int y) { return picture.colours[size_t(y) * picture.width + x]; }

TEST_F(VImageToolTest, PreviewDrawsThroughTheProgramOntoABlackScreen) {
  Write("pic.v", vimage::EncodeVImage(vimage::MakeBmp24(KeyedPicture())));
  std::string error;

  ASSERT_EQ(Run({"preview", Path("pic.v"), Path("plain.png"), "--at", "100,50"}), 0) << err_.str();
  auto plain = vimage::ReadPng(dir_ / "plain.png", error);
  ASSERT_TRUE(plain.has_value()) << error;
  ASSERT_EQ(plain->width, 640);
  ASSERT_EQ(plain->height, 480);
  EXPECT_EQ(At(*plain, 100, 50), 0xFF0000u);
  EXPECT_EQ(At(*plain, 101, 50), 0x103452u) << "5-6-5, widened by repeating the top bits";
  EXPECT_EQ(At(*plain, 102, 51), 0xFF0000u);
  EXPECT_EQ(At(*plain, 99, 50), 0x000000u);
  EXPECT_EQ(At(*plain, 103, 51), 0x000000u);

  ASSERT_EQ(Run({"preview", Path("pic.v"), Path("keyed.png"), "--555", "--key", "--at", "638,478"}), 0) << err_.str();
  auto keyed = vimage::ReadPng(dir_ / "keyed.png", error);
  ASSERT_TRUE(keyed.has_value()) << error;
  EXPECT_EQ(At(*keyed, 638, 478), 0x000000u) << "the key colour is not drawn";
  EXPECT_EQ(At(*keyed, 639, 478), 0x103152u) << "5-5-5";
  EXPECT_EQ(At(*keyed, 638, 479), 0x0000FFu);
  EXPECT_EQ(At(*keyed, 639, 479), 0x00FF00u) << "the third column lies off the screen";

  ASSERT_EQ(Run({"preview", Path("pic.v"), Path("left.png"), "--at", "-2,-1"}), 0) << err_.str();
  auto left = vimage::ReadPng(dir_ / "left.png", error);
  ASSERT_TRUE(left.has_value()) << error;
  EXPECT_EQ(At(*left, 0, 0), 0xFF0000u) << "only the bottom-right pixel is on the screen";
  EXPECT_EQ(At(*left, 1, 0), 0x000000u);

  Write("text.v", vimage::EncodeVImage({'t', 'e', 'x', 't'}));
  EXPECT_EQ(Run({"preview", Path("text.v"), Path("text.png")}), 1);
  EXPECT_NE(err_.str().find("cannot load"), std::string::npos) << err_.str();
}

}  // namespace
