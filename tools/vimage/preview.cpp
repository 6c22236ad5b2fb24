#include "preview.h"

#include <ddraw.h>
#include <windows.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "display/display_device.h"
#include "host/headless/headless_host.h"
#include "image/drawing.h"
#include "picture_files.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/gdi32/dib.h"
#include "platform/kernel32/files.h"
#include "platform/setup/settings.h"
#include "shell/shared_flags.h"

namespace vimage {

namespace {

namespace fs = std::filesystem;
using kaze::platform::PixelLayout;

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kSlot = 0;

LRESULT CALLBACK PreviewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A data folder of its own that holds the one picture as Data\preview.v, so
// that the program's loader reads it by its own kind of name.
class PreviewData {
 public:
  bool Make(const fs::path& input, std::ostream& err) {
    std::error_code code;
    root_ = fs::temp_directory_path(code) / ("vimage-preview-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "Data", code);
    if (code || !fs::copy_file(input, root_ / "Data" / "preview.v", fs::copy_options::overwrite_existing, code)) {
      err << input.string() << ": cannot read the file\n";
      return false;
    }
    kaze::platform::SetDataRoot(root_);
    return true;
  }
  ~PreviewData() {
    kaze::platform::SetDataRoot(previousRoot_);
    std::error_code code;
    if (!root_.empty()) fs::remove_all(root_, code);
  }

 private:
  fs::path root_;
  fs::path previousRoot_ = kaze::platform::DataRoot();
};

// What the program's display is made of for one draw: the window that the
// clipper follows, the 640x480 screen surface drawn on (the back buffer, as
// FadeState is 0) and the display device that holds the slot.
struct PreviewDisplay {
  IDirectDraw* directDraw = nullptr;
  IDirectDrawSurface* screen = nullptr;
  IDirectDrawClipper* clipper = nullptr;
  HWND window = nullptr;
  std::unique_ptr<DisplayDevice> device;

  bool Make() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PreviewWindowProc;
    windowClass.lpszClassName = "vimage preview";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, "vimage preview", "vimage preview", WS_POPUP, 0, 0, kScreenWidth, kScreenHeight,
                             nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr || DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK) return false;
    if (directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL) != DD_OK) return false;
    DDSURFACEDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    description.dwWidth = kScreenWidth;
    description.dwHeight = kScreenHeight;
    if (directDraw->CreateSurface(&description, &screen, nullptr) != DD_OK) return false;
    if (directDraw->CreateClipper(0, &clipper, nullptr) != DD_OK || clipper->SetHWnd(0, window) != DD_OK ||
        screen->SetClipper(clipper) != DD_OK)
      return false;
    device = std::make_unique<DisplayDevice>();
    device->hwnd = window;
    device->ddraw = directDraw;
    device->backBuffer = screen;
    device->workSurface = screen;
    TheDisplay.store(device.get());
    return true;
  }

  ~PreviewDisplay() {
    TheDisplay.store(nullptr);
    device.reset();
    if (screen != nullptr) screen->Release();
    if (clipper != nullptr) clipper->Release();
    if (directDraw != nullptr) directDraw->Release();
    if (window != nullptr) DestroyWindow(window);
  }
};

// The screen with each channel widened to 8 bits by repeating its top bits.
RgbPicture ScreenPicture(const kaze::platform::PixelSurface& screen) {
  RgbPicture picture{screen.width, screen.height, {}};
  picture.colours.reserve(size_t(screen.width) * screen.height);
  for (int32_t y = 0; y < screen.height; ++y) {
    for (int32_t x = 0; x < screen.width; ++x) {
      uint8_t red = 0, green = 0, blue = 0;
      kaze::platform::UnpackRgb(screen.Row(y)[x], screen.layout, red, green, blue);
      picture.colours.push_back(uint32_t{red} << 16 | uint32_t{green} << 8 | blue);
    }
  }
  return picture;
}

// Loads the picture into slot 0 and draws it; the failure's text, or empty.
std::string LoadAndDraw(const PreviewOptions& options, PreviewDisplay& display) {
  if (!display.device->LoadImageSlot(kSlot, "preview.v", options.keyed ? int32_t(DDBLT_KEYSRC) : 0, -1))
    return "the program cannot load this picture";
  FadeState = 0;
  DrawImage(kSlot, options.x, options.y);
  return {};
}

}  // namespace

std::optional<PreviewOptions> ParsePreviewOptions(const std::vector<std::string>& args, std::ostream& err) {
  PreviewOptions options;
  options.input = args.at(1);
  options.output = args.at(2);
  for (size_t i = 3; i < args.size(); ++i) {
    if (args[i] == "--555") {
      options.format555 = true;
    } else if (args[i] == "--key") {
      options.keyed = true;
    } else if (args[i] == "--at" && i + 1 < args.size()) {
      char tail = 0;
      if (std::sscanf(args[++i].c_str(), "%d,%d%c", &options.x, &options.y, &tail) != 2) {
        err << "--at wants X,Y, not " << args[i] << "\n";
        return std::nullopt;
      }
    } else {
      err << "unknown option " << args[i] << "\n";
      return std::nullopt;
    }
  }
  return options;
}

int RunPreview(const PreviewOptions& options, std::ostream& err) {
  const PixelLayout previousLayout = kaze::platform::TheSettings().displayLayout;
  kaze::platform::TheSettings().displayLayout = options.format555 ? PixelLayout::Rgb555 : PixelLayout::Rgb565;
  std::string error;
  std::unique_ptr<kaze::host::HeadlessHost> host = kaze::host::CreateHeadlessHost({}, error);
  if (!host) {
    err << error << "\n";
    return 1;
  }
  kaze::host::SetHost(host.get());
  int result = 1;
  {
    PreviewData data;
    PreviewDisplay display;
    if (!data.Make(options.input, err)) {
      // reported
    } else if (!display.Make()) {
      err << "cannot set up the display\n";
    } else if (std::string problem = LoadAndDraw(options, display); !problem.empty()) {
      err << options.input << ": " << problem << "\n";
    } else if (!WritePng(options.output, ScreenPicture(kaze::platform::StateOf(display.screen).pixels), error)) {
      err << options.output << ": " << error << "\n";
    } else {
      result = 0;
    }
  }
  host->Finish(result);
  kaze::host::SetHost(nullptr);
  kaze::platform::TheSettings().displayLayout = previousLayout;
  return result;
}

}  // namespace vimage
