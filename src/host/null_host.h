// A host with no devices at all: no screen, no input, no clock, no threads,
// no audio output, no mixer; messages and trace records go nowhere. It is
// the base of the small hosts that tests and fuzz targets build, which
// override only what they need.
#pragma once

#include "host/host.h"

namespace kaze::host {

class NullHost : public Host {
 public:
  bool OpenScreen(const ScreenIcon&) override { return false; }
  void CloseScreen() override {}
  void DesktopSize(int32_t& width, int32_t& height) override { width = kScreenWidth, height = kScreenHeight; }
  void PresentFrame(const Frame&) override {}
  bool PollEvent(Event&) override { return false; }
  bool IsKeyDown(uint32_t) override { return false; }
  void CursorPos(int32_t& x, int32_t& y) override { x = 0, y = 0; }
  void SetCursorShown(bool) override {}
  uint32_t TickCount() override { return 0; }
  void Sleep(uint32_t) override {}
  bool StartThread(std::function<void()>) override { return false; }
  uint32_t OpenAudio(AudioSource*) override { return 0; }
  void CloseAudio() override {}
  MixerDevice* Mixer() override { return nullptr; }
  void MessageBox(std::string_view, std::string_view) override {}
  void DebugOutput(std::string_view) override {}
  void Trace(std::string_view, std::initializer_list<TraceField>) override {}
  void Finish(int) override {}
};

}  // namespace kaze::host
