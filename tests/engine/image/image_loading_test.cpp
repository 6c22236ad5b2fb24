// Loading pictures into image slots through the whole pipeline (VImage file,
// BMP image, bitmap, system-memory surface) on the headless host: slot
// rules, what a loaded slot records, the message for a picture that cannot
// be loaded, and what is left behind after every kind of load.
#include <ddraw.h>
#include <unistd.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "display/display_device.h"
#include "image/image_loading.h"
#include "platform/ddraw/ddraw_objects.h"
#include "picture_files.h"
#include "platform/setup/faults.h"
#include "platform/kernel32/files.h"
#include "platform/gdi32/gdi_objects.h"
#include "platform/setup/settings.h"
#include "support/headless_fixture.h"
#include "vimage_encoder.h"

namespace {

namespace fs = std::filesystem;
using kaze::host::PixelLayout;

class ImageLoadingTest : public kaze::test::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    StartHost();
    dataRoot_ = fs::temp_directory_path() / ("kaze_loading_" + std::to_string(getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dataRoot_);
    fs::create_directories(dataRoot_ / "Data");
    kaze::platform::SetDataRoot(dataRoot_);
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw_, nullptr), DD_OK);
    ASSERT_EQ(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    device_ = std::make_unique<DisplayDevice>();
    device_->ddraw = directDraw_;
    baseBitmaps_ = kaze::platform::LiveBitmapCount();
    baseDCs_ = kaze::platform::LiveDCCount();
  }

  void TearDown() override {
    EXPECT_EQ(kaze::platform::LiveBitmapCount(), baseBitmaps_) << "bitmaps left behind";
    EXPECT_EQ(kaze::platform::LiveDCCount(), baseDCs_) << "contexts left behind";
    device_.reset();
    if (directDraw_ != nullptr) directDraw_->Release();
    kaze::platform::SetDataRoot(".");
    fs::remove_all(dataRoot_);
    HeadlessTest::TearDown();
  }

  // Writes Data/<name> ("main\\pp0010.v") from raw bytes.
  void WriteData(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string relative = name;
    for (char& c : relative)
      if (c == '\\') c = '/';
    fs::path path = dataRoot_ / "Data" / relative;
    fs::create_directories(path.parent_path());
    ASSERT_TRUE(vimage::WriteFileBytes(path, bytes));
  }
  void WritePicture(const std::string& name, const vimage::RgbPicture& picture) {
    WriteData(name, vimage::EncodeVImage(vimage::MakeBmp24(picture)));
  }

  std::vector<std::pair<std::string, std::string>> Boxes() {
    std::vector<std::pair<std::string, std::string>> boxes;
    for (const auto& line : TraceOf("msgbox")) boxes.emplace_back(line.Str("caption"), line.Str("text"));
    return boxes;
  }

  fs::path dataRoot_;
  IDirectDraw* directDraw_ = nullptr;
  std::unique_ptr<DisplayDevice> device_;
  int baseBitmaps_ = 0, baseDCs_ = 0;
};

vimage::RgbPicture Flat(int width, int height, uint32_t colour) {
  return {width, height, std::vector<uint32_t>(size_t(width) * height, colour)};
}

uint16_t SurfacePixel(IDirectDrawSurface* surface, int x, int y) {
  return kaze::platform::StateOf(surface).pixels.Row(y)[x];
}

// Bytes this process has read from files so far.
uint64_t BytesReadByProcess() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  ADD_FAILURE() << "no rchar in /proc/self/io";
  return 0;
}

TEST_F(ImageLoadingTest, SlotNumbersOutsideTheTableAndLoadedSlotsAreRefused) {
  WritePicture("system\\yes.v", Flat(4, 3, 0xFFFFFF));
  EXPECT_EQ(device_->LoadImageSlot(256, "system\\yes.v", 0, -1), 0);
  EXPECT_EQ(device_->LoadImageSlot(-1, "system\\yes.v", 0, -1), 0);
  ASSERT_EQ(device_->LoadImageSlot(7, "system\\yes.v", 0, -1), 1);
  IDirectDrawSurface* first = device_->slots[7].surface;
  EXPECT_EQ(device_->LoadImageSlot(7, "system\\yes.v", DDBLT_KEYSRC, -1), 0);
  EXPECT_EQ(device_->slots[7].surface, first);
  EXPECT_EQ(device_->slots[7].bltFlags, 0);
  device_->ReleaseSlot(7);
  EXPECT_EQ(device_->LoadImageSlot(7, "system\\yes.v", 0, -1), 1);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ImageLoadingTest, FullScreenPictureFillsItsSlotInTheDisplayFormat) {
  for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    kaze::platform::TheSettings().displayLayout = layout;
    vimage::RgbPicture picture = Flat(640, 480, 0x123456);
    picture.colours[0] = 0xFF0000;                        // top-left
    picture.colours[size_t(479) * 640 + 639] = 0x0000FF;  // bottom-right
    WritePicture("main\\pp0010.v", picture);
    ASSERT_EQ(device_->LoadImageSlot(10, "main\\pp0010.v", 0, -1), 1);
    const ImageSlot& slot = device_->slots[10];
    EXPECT_STREQ(slot.path, "Data\\main\\pp0010.v");
    EXPECT_EQ(slot.sourceRect.left, 0);
    EXPECT_EQ(slot.sourceRect.top, 0);
    EXPECT_EQ(slot.sourceRect.right, 640);
    EXPECT_EQ(slot.sourceRect.bottom, 480);
    EXPECT_EQ(slot.width, 640);
    EXPECT_EQ(slot.height, 480);
    EXPECT_EQ(slot.originX, 0);
    EXPECT_EQ(slot.originY, 0);
    EXPECT_EQ(slot.loaded, 1);
    ASSERT_NE(slot.surface, nullptr);
    EXPECT_TRUE(kaze::platform::StateOf(slot.surface).caps & DDSCAPS_SYSTEMMEMORY);
    const bool is565 = layout == PixelLayout::Rgb565;
    EXPECT_EQ(SurfacePixel(slot.surface, 0, 0), is565 ? 0xF800 : 0x7C00);
    EXPECT_EQ(SurfacePixel(slot.surface, 320, 200), is565 ? 0x11AA : 0x08CA);
    EXPECT_EQ(SurfacePixel(slot.surface, 639, 479), 0x001F);
    EXPECT_EQ(device_->imageBuffer, nullptr);
    device_->ReleaseSlot(10);
  }
}

TEST_F(ImageLoadingTest, KeyIsKeptOnlyWithTheKeyedBlitFlag) {
  WritePicture("system\\no.v", Flat(2, 2, 0x000000));
  struct Case {
    int32_t flags, key, storedFlags, storedKey;
  };
  const Case cases[] = {{0x8000, -1, 0x8000, -1}, {0, 5, 0, -1}, {0x4000, -1, 0, -1}, {0x8000, 5, 0x8000, 5}};
  for (const Case& c : cases) {
    ASSERT_EQ(device_->LoadImageSlot(1, "system\\no.v", c.flags, c.key), 1);
    EXPECT_EQ(device_->slots[1].bltFlags, c.storedFlags) << c.flags;
    EXPECT_EQ(device_->slots[1].keyColour, c.storedKey) << c.flags;
    device_->ReleaseSlot(1);
  }
}

TEST_F(ImageLoadingTest, KeyColourOfALoadedPictureIsTranslatedThroughGdiAndThePictureKept) {
  for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    kaze::platform::TheSettings().displayLayout = layout;
    vimage::RgbPicture picture = Flat(3, 2, 0x123456);
    picture.colours[0] = 0xFFFFFF;
    WritePicture("system\\yes.v", picture);
    ASSERT_EQ(device_->LoadImageSlot(1, "system\\yes.v", DDBLT_KEYSRC, RGB(0x12, 0x34, 0x56)), 1);
    IDirectDrawSurface* surface = device_->slots[1].surface;
    ASSERT_EQ(device_->SetColourKey(surface, static_cast<COLORREF>(device_->slots[1].keyColour)), 1);
    const bool is565 = layout == PixelLayout::Rgb565;
    EXPECT_EQ(kaze::platform::StateOf(surface).sourceKey.dwColorSpaceLowValue, is565 ? 0x11AAu : 0x08CAu);
    EXPECT_EQ(SurfacePixel(surface, 0, 0), is565 ? 0xFFFF : 0x7FFF) << "the top-left pixel is put back";
    EXPECT_EQ(kaze::platform::StateOf(surface).dc, nullptr);
    device_->ReleaseSlot(1);
  }
}

TEST_F(ImageLoadingTest, PictureThatCannotBeLoadedIsReportedWithItsPath) {
  WriteData("main\\text.v",
            vimage::EncodeVImage({'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p', '.', '.', '.', '.', '.'}));
  WriteData("main\\forged.v", {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(device_->LoadImageSlot(2, "main\\nothing.v", 0, -1), 0);
  EXPECT_EQ(device_->LoadImageSlot(3, "main\\text.v", 0, -1), 0);
  EXPECT_EQ(device_->LoadImageSlot(4, "main\\forged.v", 0, -1), 0);
  const std::string message = "画像ファイルを読み込めません\n\n";
  const std::vector<std::pair<std::string, std::string>> expected = {{"ERROR", message + "Data\\main\\nothing.v"},
                                                                     {"ERROR", message + "Data\\main\\text.v"},
                                                                     {"ERROR", message + "Data\\main\\forged.v"}};
  EXPECT_EQ(Boxes(), expected);
  for (int slot : {2, 3, 4}) {
    EXPECT_EQ(device_->slots[slot].loaded, 0);
    EXPECT_EQ(device_->slots[slot].surface, nullptr);
  }
  EXPECT_STREQ(device_->slots[2].path, "Data\\main\\nothing.v");
  EXPECT_EQ(device_->imageBuffer, nullptr) << "the decoded image of the refused bitmap is freed";
}

TEST_F(ImageLoadingTest, NameLongerThanTheSlotPathIsRefused) {
  const std::string longName = "taiken\\a_name_much_too_long_to_fit.v";  // "Data\" + 36 > 35
  WritePicture(longName, Flat(1, 1, 0));
  EXPECT_EQ(device_->LoadImageSlot(5, longName.c_str(), 0, -1), 0);
  EXPECT_EQ(device_->slots[5].loaded, 0);
  EXPECT_STREQ(device_->slots[5].path, "");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].second, "画像ファイルを読み込めません\n\nData\\" + longName);
  // The longest name that fits: 30 characters.
  const std::string fits = "taiken\\abcdefghijklmnopqrst.v";
  ASSERT_EQ(fits.size(), 29u);
  WritePicture(fits + "x", Flat(1, 1, 0));
  EXPECT_EQ(device_->LoadImageSlot(5, (fits + "x").c_str(), 0, -1), 1);
}

TEST_F(ImageLoadingTest, SurfaceFailuresCostTheSlotOrItsPictureButNoMessage) {
  WritePicture("anime\\MothA001.v", Flat(3, 2, 0xFFFFFF));
  kaze::platform::InjectFault("IDirectDraw::CreateSurface", DDERR_OUTOFMEMORY, 1);
  EXPECT_EQ(device_->LoadImageSlot(20, "anime\\MothA001.v", 0, -1), 0);
  EXPECT_EQ(device_->slots[20].loaded, 0);

  kaze::platform::InjectFault("IDirectDrawSurface::GetDC", DDERR_CANTCREATEDC, 1);
  ASSERT_EQ(device_->LoadImageSlot(20, "anime\\MothA001.v", 0, -1), 1) << "loaded without its picture";
  EXPECT_EQ(device_->slots[20].width, 3);
  EXPECT_EQ(SurfacePixel(device_->slots[20].surface, 0, 0), 0x0000);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ImageLoadingTest, DecodeKeepsThePreviousImageWhenTheFileIsMissingOrHasNoSize) {
  WriteData("main\\abc.v", {0x03, 0, 0, 0, 0x00, 0x00, 0x00, 0x00, 0x61, 0x03, 0x01});
  WriteData("main\\two.v", {0x02, 0x00});
  WriteData("main\\short.v", {0x08, 0, 0, 0, 0x00, 0x00, 0x00, 0x00, 0x61, 0x03, 0x01});
  ASSERT_EQ(device_->DecodeVImage("Data\\main\\abc.v"), 1);
  uint8_t* previous = device_->imageBuffer;
  EXPECT_EQ(device_->imageSize, 3u);
  EXPECT_EQ(std::memcmp(previous, "abc", 3), 0);
  EXPECT_EQ(device_->DecodeVImage("Data\\main\\missing.v"), 0);
  EXPECT_EQ(device_->DecodeVImage("Data\\main\\two.v"), 0);
  EXPECT_EQ(device_->imageBuffer, previous);
  EXPECT_EQ(device_->imageFile, nullptr);

  ASSERT_EQ(device_->DecodeVImage("Data\\MAIN\\Short.V"), 1) << "names match in any letter case";
  ASSERT_EQ(device_->imageSize, 8u);
  EXPECT_EQ(std::memcmp(device_->imageBuffer, "abc\0\0\0\0\0", 8), 0) << "bytes not yielded are zero";
  EXPECT_EQ(device_->imageFile, nullptr);
}

// A picture file far larger than its picture is read no further than its
// decoded size can use, and nothing of it is kept: a small picture followed
// by 64 MiB of zeros loads, a 16 MiB file of zeros (decoded size 0) fails.
TEST_F(ImageLoadingTest, APictureFileIsReadNoFurtherThanItsDecodedSizeCanUse) {
  WritePicture("main\\tail.v", Flat(64, 48, 0x336699));
  fs::resize_file(dataRoot_ / "Data" / "main" / "tail.v", uint64_t{64} << 20);
  WriteData("main\\zeros.v", {});
  fs::resize_file(dataRoot_ / "Data" / "main" / "zeros.v", uint64_t{16} << 20);
  const uint64_t before = BytesReadByProcess();
  ASSERT_EQ(device_->LoadImageSlot(1, "main\\tail.v", 0, -1), 1);
  EXPECT_EQ(SurfacePixel(device_->slots[1].surface, 63, 47), 0x3333);
  EXPECT_EQ(device_->LoadImageSlot(2, "main\\zeros.v", 0, -1), 0);
  EXPECT_LT(BytesReadByProcess() - before, uint64_t{1} << 20);
  EXPECT_EQ(device_->imageBuffer, nullptr);
  EXPECT_EQ(Boxes().size(), 1u);
}

}  // namespace
