// The stored 640x480 frame drawn into a renderer for a scaling mode: the
// frame's texture, the render target of the sharp mode's whole-factor step,
// and the processor's path for a renderer that has no render targets or is
// the processor itself. It uses only the renderer it is given, on the
// calling thread; its textures belong to that renderer.
#pragma once

#include <SDL.h>

#include "host/frame_exchange.h"
#include "host/sdl/sharp_scaler.h"
#include "host/sdl/view_fit.h"

namespace kaze::host {

class PictureDrawer {
 public:
  PictureDrawer() = default;
  PictureDrawer(const PictureDrawer&) = delete;
  PictureDrawer& operator=(const PictureDrawer&) = delete;
  ~PictureDrawer() { Release(); }

  // Makes the frame's texture, so that a renderer that cannot hold one is
  // known before anything is shown. False with SDL's error set.
  bool Prepare(SDL_Renderer* renderer);

  // Clears the renderer's output (outputWidth x outputHeight, its drawable
  // pixels) to black and draws the frame over it in its mode's view; black
  // only when there is no frame. Presenting is the caller's.
  void Draw(SDL_Renderer* renderer, const StoredFrame* frame, ScalingMode mode, int32_t outputWidth,
            int32_t outputHeight);

  // Destroys the textures; before their renderer is destroyed.
  void Release();

 private:
  bool Adopt(SDL_Renderer* renderer);
  bool EnsureFrameTexture(PixelLayout layout);
  SDL_Texture* EnsureTexture(SDL_Texture*& texture, Uint32 format, int access, int32_t width, int32_t height);
  SDL_Texture* PictureFor(const StoredFrame& frame, ScalingMode mode, const ViewRect& view);
  SDL_Texture* EnlargedOnRenderer(int32_t factor);
  SDL_Texture* SharpOnProcessor(const StoredFrame& frame, const ViewRect& view, int32_t factor);

  SDL_Renderer* renderer_ = nullptr;  // the one the textures belong to
  bool renderTargets_ = false;        // sharp's first step on the renderer
  SDL_Texture* frame_ = nullptr;      // the frame's own 16-bit pixels, nearest neighbour
  PixelLayout frameLayout_ = PixelLayout::Rgb565;
  SDL_Texture* enlarged_ = nullptr;  // sharp: the frame times a whole factor, bilinear
  SDL_Texture* scaled_ = nullptr;    // sharp on the processor: the view's final pixels
  SharpScaler scaler_;
};

}  // namespace kaze::host
