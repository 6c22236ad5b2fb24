// The sdl host's presenter: SDL's renderer for the window, made, used and
// destroyed on the present thread.
#include <cstring>

#include "host/sdl/presenter.h"
#include "host/sdl/view_fit.h"

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
  ~SdlPresenter() override { Close(); }

  bool Open(SDL_Window* window, bool vsync, std::string& error) override {
    const Uint32 flags = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer_ = SDL_CreateRenderer(window, RendererIndexFor(window), flags);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window, -1, flags | SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr || !EnsureTexture(PixelLayout::Rgb565)) {
      error = SDL_GetError();
      Close();
      return false;
    }
    return true;
  }

  bool Vsynced() const override {
    SDL_RendererInfo info{};
    return renderer_ != nullptr && SDL_GetRendererInfo(renderer_, &info) == 0 &&
           (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  }

  // The given frame, or black when there is none yet.
  void Draw(const StoredFrame* frame) override {
    if (renderer_ == nullptr) return;
    // The whole window as it is now: SDL's own update of the viewport on a
    // resize is kept from the main thread (SdlHost::FilterWindowEvents).
    SDL_RenderSetViewport(renderer_, nullptr);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (frame != nullptr && EnsureTexture(frame->layout)) {
      SDL_UpdateTexture(texture_, nullptr, frame->pixels.data(), kScreenWidth * sizeof(uint16_t));
      int32_t outputWidth = 0, outputHeight = 0;
      SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
      const ViewRect view = FitPicture(outputWidth, outputHeight);
      const SDL_Rect target{view.x, view.y, view.width, view.height};
      SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    }
    SDL_RenderPresent(renderer_);
  }

  void Close() override {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    texture_ = nullptr;
    renderer_ = nullptr;
  }

 private:
  bool EnsureTexture(PixelLayout layout) {
    if (texture_ != nullptr && layout == textureLayout_) return true;
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    // The frame's own 16-bit format: SDL uploads it as it is.
    const Uint32 format = layout == PixelLayout::Rgb555 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
    texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight);
    if (texture_ == nullptr) return false;
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);  // sharp pixels
    textureLayout_ = layout;
    return true;
  }

  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  PixelLayout textureLayout_ = PixelLayout::Rgb565;
};

}  // namespace

std::unique_ptr<Presenter> CreateSdlPresenter() { return std::make_unique<SdlPresenter>(); }

}  // namespace kaze::host
