#ifdef KAZE_HAVE_SDL
#include "support/host_harness.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace kaze::testing {

uint16_t TestPicturePixel(int32_t x, int32_t y) {
  if (x >= 288 && x < 352 && y >= 208 && y < 272) return ((x + y) & 1) ? 0xFFFF : 0x0000;
  const bool right = x >= host::kScreenWidth / 2, bottom = y >= host::kScreenHeight / 2;
  if (!bottom) return right ? 0x07E0 : 0xF800;
  return right ? 0xFFFF : 0x001F;
}

int RunHostHarness(const host::SdlHostOptions& options, const HarnessOptions& harness) {
  std::string error;
  auto host = host::CreateSdlHost(options, error);
  if (!host) {
    std::fprintf(stderr, "harness: %s\n", error.c_str());
    return 3;
  }
  if (!host->OpenScreen({})) return 3;

  std::atomic<bool> quit{false};
  std::atomic<bool> clickPassedOn{false};
  host->StartThread([&] {
    if (harness.boxFromGameThread) {
      host->MessageBox("ERROR", "a box from the game thread");
      std::fprintf(stderr, "harness: box closed\n");
    }
    if (harness.lateQuery) {
      while (!clickPassedOn.load() && !quit.load()) host->Sleep(1);
      host->Sleep(1000);
      std::fprintf(stderr, "harness: late query: %s\n", host->IsKeyDown(0x01) ? "down" : "up");
    }
    std::vector<uint16_t> picture(size_t(host::kScreenWidth) * host::kScreenHeight);
    for (int32_t y = 0; y < host::kScreenHeight; ++y) {
      for (int32_t x = 0; x < host::kScreenWidth; ++x)
        picture[size_t(y) * host::kScreenWidth + x] = TestPicturePixel(x, y);
    }
    const host::Frame frame{picture.data(), host::kScreenWidth * 2, host::PixelLayout::Rgb565};
    uint32_t last = host->TickCount();
    bool leftWasDown = false;
    while (!quit.load()) {
      // The frame contract of the scenes: at least 20 ms per frame.
      const uint32_t now = host->TickCount();
      if (now - last < 20) host->Sleep(20 - (now - last));
      last = host->TickCount();
      const bool leftDown = host->IsKeyDown(0x01) && host->IsKeyDown(0x01);
      if (leftDown && !leftWasDown) std::fprintf(stderr, "harness: left pressed\n");
      leftWasDown = leftDown;
      host->IsKeyDown(0x02);
      host->PresentFrame(frame);
      host->Sleep(1);
    }
  });

  const auto start = std::chrono::steady_clock::now();
  while (!quit.load()) {
    host::Event event;
    while (host->PollEvent(event)) {
      const bool escape = event.kind == host::Event::Kind::Key && event.virtualKey == 0x1B && event.down;
      if (escape || event.kind == host::Event::Kind::Close) quit = true;
      if (event.kind == host::Event::Kind::MouseButton && !event.down) clickPassedOn = true;
    }
    const auto limit = std::chrono::duration<double>(harness.seconds);
    if (harness.seconds > 0 && std::chrono::steady_clock::now() - start > limit) quit = true;
    host->Sleep(1);
  }
  host->Finish(0);
  return 0;
}

}  // namespace kaze::testing

#endif  // KAZE_HAVE_SDL
