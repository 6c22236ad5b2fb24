// The sdl host's start and end: the display looked for, the recordings made
// and closed, the sound device, message boxes and the run ended in order.
// The other jobs of the class are in the files named in sdl_host_internal.h.
#include "host/sdl/sdl_host.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "host/sdl/alsa_messages.h"
#include "host/sdl/box_child.h"
#include "host/sdl/sdl_host_internal.h"
#include "host/write_failure.h"

namespace kaze::host {

namespace {

// The video drivers that show a picture to someone, in SDL's order: X11
// and Wayland only where a session names their server (so that a machine
// with neither says so in one line), then the console. SDL's own last
// resorts, offscreen and dummy, show nothing and are never taken unless
// SDL_VIDEODRIVER asks for them.
std::string DisplayDrivers() {
  std::string drivers;
  if (const char* x11 = std::getenv("DISPLAY"); x11 != nullptr && *x11 != '\0') drivers += "x11,";
  if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland != nullptr && *wayland != '\0') {
    drivers += "wayland,";
  }
  return drivers + "KMSDRM";
}

std::string NoDisplayReason() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  std::string names;
  if (x11 != nullptr && *x11 != '\0') names = std::string("DISPLAY=") + x11;
  if (wayland != nullptr && *wayland != '\0')
    names += (names.empty() ? "" : " or ") + std::string("WAYLAND_DISPLAY=") + wayland;
  return names.empty() ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : "cannot open " + names;
}

}  // namespace

SdlHost::~SdlHost() {
  Finish(0);
  if (sdlStarted_) SDL_Quit();
}

bool SdlHost::Start(std::string& error) {
  // First: every thread started from here (the recorders', SDL's, the
  // program's) leaves SIGINT and SIGTERM to the signals' own thread.
  signals_ = std::make_unique<QuitSignals>([this] { EndRunInOrder(); });
  if (!OpenRecordings(error)) return false;
  SilenceAlsaMessages();
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");  // closing is the program's decision
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");   // the click that activates counts, as on Windows
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");         // ours work while a box is open
  const bool driverChosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
  if (!driverChosen) SDL_SetHint(SDL_HINT_VIDEODRIVER, DisplayDrivers().c_str());
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    const std::string why = driverChosen ? std::string(SDL_GetError()) : NoDisplayReason();
    error = "no display available (" + why + "); run with --headless to play without one";
    DiscardRecordings();
    return false;
  }
  sdlStarted_ = true;
  StartGameControllers();
  return true;
}

// Before the display, so that a file that cannot be made is said whether
// or not there is a display. Both recordings share their time 0. A write
// that fails later ends the run as a signal does.
bool SdlHost::OpenRecordings(std::string& error) {
  TheWriteFailures().Begin([this] { EndRunInOrder(); });
  const auto start = std::chrono::steady_clock::now();
  if (!options_.recordPath.empty() && !recorder_.Open(options_.recordPath, start, error)) return false;
  if (!options_.audioOutPath.empty() && !audioRecorder_.Open(options_.audioOutPath, kSdlAudioRate, start, error)) {
    DiscardRecordings();
    return false;
  }
  return true;
}

// A run that does not start leaves no empty recording behind (and touches
// no file it could not open, nor a device named as one).
void SdlHost::DiscardRecordings() {
  recorder_.Discard();
  audioRecorder_.Discard();
}

// The sound ends with the video when there is one, so that the two have
// the same length.
void SdlHost::CloseRecordings() {
  const auto now = std::chrono::steady_clock::now();
  const bool video = recorder_.IsOpen();
  recorder_.Close(now);
  audioRecorder_.Close(video ? recorder_.Length() : now - audioRecorder_.Start());
}

// ---- audio -------------------------------------------------------------------

uint32_t SdlHost::OpenAudio(AudioSource* source) {
  if (!audioRecorder_.IsOpen() || source == nullptr) return audio_.Open(source);
  audio_.Close();
  // The file takes the device's rate, known only once it is open, before
  // its first pull.
  const uint32_t rate = audio_.OpenPaused(audioRecorder_.Tee(source));
  if (rate != 0) audioRecorder_.UseRate(rate);
  audioRecorder_.PlaceNextPullAt(std::chrono::steady_clock::now());
  audio_.Resume();
  return rate;
}

// ---- messages ----------------------------------------------------------------

void SdlHost::MessageBox(std::string_view caption, std::string_view text) {
  std::fprintf(stderr, "%.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
  if (OnMainThread()) {
    ShowBoxNow(caption, text);
  } else {
    boxes_.ShowAndWait(std::string(caption), std::string(text));
  }
}

void SdlHost::ShowBoxNow(std::string_view caption, std::string_view text) {
  const std::string captionText(caption), messageText(text);
  // Over the window, full screen or not; without a display it was said on
  // stderr already. (SDL's X11 box needs the X server's core fonts.)
  const int shown = ShowBoxInChild(
      [&] { return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, captionText.c_str(), messageText.c_str(), window_); },
      endingFromOutside_);
  if (shown != 0 && !endingFromOutside_.load()) {
    std::fprintf(stderr, "kaze: the message box cannot be shown (%s)\n", SDL_GetError());
  }
}

// A signal (on the signals' own thread) or a failed write (on the writing
// thread) ends the run as a close does. The box is taken down after the
// flag is raised, so that no later box shows; the game thread that waited
// for it goes on to its next frame, where the close ends it.
void SdlHost::EndRunInOrder() {
  endingFromOutside_.store(true);
  TakeDownBox();
  closeRequested_.store(true);
  WakeMainThread();
}

void SdlHost::Finish(int) {
  boxes_.Close();
  threads_.JoinAll();
  audio_.Close();
  presenting_.Stop();  // the recorder is the present thread's until then
  CloseRecordings();
  TheWriteFailures().End();
  CloseScreen();
  CloseGameControllers();
  signals_.reset();  // from here a signal has its default effect again
}

std::unique_ptr<Host> CreateSdlHost(const SdlHostOptions& options, std::string& error) {
  auto host = std::make_unique<SdlHost>(options);
  if (!host->Start(error)) return nullptr;
  return host;
}

}  // namespace kaze::host
