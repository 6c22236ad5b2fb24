// The sdl host's presenter: SDL's renderer for the window, made, used and
// destroyed on the present thread, drawing through the picture drawer in
// the run's scaling mode.
#include <cstring>

#include "host/sdl/picture_drawer.h"
#include "host/sdl/presenter.h"

namespace kaze::host {

namespace {

// The index of SDL's "opengl" renderer, or -1 (any) when the window was not
// made for OpenGL: a renderer whose kind of window differs would make the
// window anew, which is the main thread's business, not this thread's.
int RendererIndexFor(SDL_Window* window) {
  if ((SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) == 0) return -1;
  for (int index = 0; index < SDL_GetNumRenderDrivers(); ++index) {
    SDL_RendererInfo info{};
    if (SDL_GetRenderDriverInfo(index, &info) == 0 && std::strcmp(info.name, "opengl") == 0) return index;
  }
  return -1;
}

class SdlPresenter final : public Presenter {
 public:
  explicit SdlPresenter(ScalingMode scaling) : scaling_(scaling) {}
  ~SdlPresenter() override { Close(); }

  bool Open(SDL_Window* window, bool vsync, std::string& error) override {
    window_ = window;
    vsync_ = vsync;
    const Uint32 flags = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer_ = SDL_CreateRenderer(window, RendererIndexFor(window), flags);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window, -1, flags | SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr || !drawer_.Prepare(renderer_)) {
      error = SDL_GetError();
      Close();
      return false;
    }
    SDL_RendererInfo info{};
    software_ = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    return true;
  }

  bool Vsynced() const override {
    SDL_RendererInfo info{};
    return renderer_ != nullptr && SDL_GetRendererInfo(renderer_, &info) == 0 &&
           (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  }

  // SDL's software renderer draws into the window's surface, which a resize
  // replaces; it learns of that only from the window's events, which the
  // host keeps from it (they would reach it on the main thread). So it is
  // made anew.
  void WindowResized() override {
    if (!software_) return;
    Close();
    std::string error;
    Open(window_, vsync_, error);
  }

  // The given frame in the scaling mode, or black when there is none yet.
  void Draw(const StoredFrame* frame) override {
    if (renderer_ == nullptr) return;
    // The whole window as it is now: SDL's own update of the viewport on a
    // resize is kept from the main thread (SdlHost::FilterWindowEvents).
    SDL_RenderSetViewport(renderer_, nullptr);
    int32_t outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    drawer_.Draw(renderer_, frame, scaling_, outputWidth, outputHeight);
    SDL_RenderPresent(renderer_);
  }

  void Close() override {
    drawer_.Release();
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
  }

 private:
  const ScalingMode scaling_;
  SDL_Window* window_ = nullptr;
  bool vsync_ = true;
  bool software_ = false;  // SDL's software renderer
  SDL_Renderer* renderer_ = nullptr;
  PictureDrawer drawer_;  // the frame's textures, of renderer_
};

}  // namespace

std::unique_ptr<Presenter> CreateSdlPresenter(ScalingMode scaling) { return std::make_unique<SdlPresenter>(scaling); }

}  // namespace kaze::host
