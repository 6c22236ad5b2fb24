// The frame drawn in its scaling mode: which texture shows it (the frame's
// own, sharp's render target, or the processor's scaled pixels), made
// before the output is cleared, then copied onto the mode's view.
#include "host/sdl/picture_drawer.h"

#include "host/host.h"

namespace kaze::host {

bool PictureDrawer::Prepare(SDL_Renderer* renderer) { return Adopt(renderer) && EnsureFrameTexture(frameLayout_); }

void PictureDrawer::Release() {
  for (SDL_Texture** texture : {&frame_, &enlarged_, &scaled_}) {
    if (*texture != nullptr) SDL_DestroyTexture(*texture);
    *texture = nullptr;
  }
  renderer_ = nullptr;
}

// Textures of another renderer cannot be drawn with this one. The first
// step of sharp goes through a render target where the renderer has them
// and is not SDL's software renderer: there the processor's own scaling is
// cheaper than SDL's generic scaled blits.
bool PictureDrawer::Adopt(SDL_Renderer* renderer) {
  if (renderer == renderer_) return renderer != nullptr;
  Release();
  SDL_RendererInfo info{};
  if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0) return false;
  renderer_ = renderer;
  renderTargets_ = SDL_RenderTargetSupported(renderer) == SDL_TRUE && (info.flags & SDL_RENDERER_SOFTWARE) == 0;
  return true;
}

SDL_Texture* PictureDrawer::EnsureTexture(SDL_Texture*& texture, Uint32 format, int access, int32_t width,
                                          int32_t height) {
  if (texture != nullptr) {
    Uint32 hasFormat = 0;
    int hasAccess = 0, hasWidth = 0, hasHeight = 0;
    SDL_QueryTexture(texture, &hasFormat, &hasAccess, &hasWidth, &hasHeight);
    if (hasFormat == format && hasAccess == access && hasWidth == width && hasHeight == height) return texture;
    SDL_DestroyTexture(texture);
  }
  texture = SDL_CreateTexture(renderer_, format, access, width, height);
  if (texture != nullptr) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);  // opaque pixels, no alpha
  return texture;
}

// The frame's own 16-bit format: SDL uploads it as it is.
bool PictureDrawer::EnsureFrameTexture(PixelLayout layout) {
  const Uint32 format = layout == PixelLayout::Rgb555 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
  if (EnsureTexture(frame_, format, SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight) == nullptr) return false;
  SDL_SetTextureScaleMode(frame_, SDL_ScaleModeNearest);
  frameLayout_ = layout;
  return true;
}

void PictureDrawer::Draw(SDL_Renderer* renderer, const StoredFrame* frame, ScalingMode mode, int32_t outputWidth,
                         int32_t outputHeight) {
  if (!Adopt(renderer)) return;
  const ViewRect view = ViewFor(mode, outputWidth, outputHeight);
  // The picture is made before the output is touched: sharp's first step
  // draws into a render target, away from the output.
  SDL_Texture* picture = frame != nullptr ? PictureFor(*frame, mode, view) : nullptr;
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  const SDL_Rect target{view.x, view.y, view.width, view.height};
  if (picture != nullptr) SDL_RenderCopy(renderer, picture, nullptr, &target);
}

// The texture that, copied onto the view, shows the frame in its mode.
// Sharp at a whole multiple is nearest neighbour: one step, as the others.
SDL_Texture* PictureDrawer::PictureFor(const StoredFrame& frame, ScalingMode mode, const ViewRect& view) {
  if (view.width <= 0 || view.height <= 0) return nullptr;
  const int32_t factor = SharpStepFactor(view);
  const bool whole = view.width == kScreenWidth * factor && view.height == kScreenHeight * factor;
  if (mode == ScalingMode::Sharp && !whole && !renderTargets_) return SharpOnProcessor(frame, view, factor);
  if (!EnsureFrameTexture(frame.layout)) return nullptr;
  SDL_UpdateTexture(frame_, nullptr, frame.pixels.data(), kScreenWidth * sizeof(uint16_t));
  if (mode != ScalingMode::Sharp || whole) return frame_;
  return EnlargedOnRenderer(factor);
}

// The frame's texture by nearest neighbour into the render target of the
// whole factor, which the view then gets bilinearly. The target is filled
// whole each time, so a renderer that loses its targets' contents loses
// nothing.
SDL_Texture* PictureDrawer::EnlargedOnRenderer(int32_t factor) {
  if (EnsureTexture(enlarged_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kScreenWidth * factor,
                    kScreenHeight * factor) == nullptr) {
    return nullptr;
  }
  SDL_SetTextureScaleMode(enlarged_, SDL_ScaleModeLinear);
  if (SDL_SetRenderTarget(renderer_, enlarged_) != 0) return nullptr;
  SDL_RenderCopy(renderer_, frame_, nullptr, nullptr);
  SDL_SetRenderTarget(renderer_, nullptr);
  return enlarged_;
}

// Both steps at once on the processor, written straight into a texture of
// the view's size, which the renderer then copies without scaling.
SDL_Texture* PictureDrawer::SharpOnProcessor(const StoredFrame& frame, const ViewRect& view, int32_t factor) {
  if (EnsureTexture(scaled_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, view.width, view.height) == nullptr) {
    return nullptr;
  }
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(scaled_, nullptr, &pixels, &pitch) != 0) return nullptr;
  scaler_.Scale(frame.pixels.data(), frame.layout, factor, static_cast<uint32_t*>(pixels), pitch, view.width,
                view.height);
  SDL_UnlockTexture(scaled_);
  return scaled_;
}

}  // namespace kaze::host
