// Time per 640x480 frame of the drawing operations, each beside the closest
// operation of pixman and of SDL2's software surfaces on the same 5-6-5
// buffers, and beside memcpy of the same bytes (bytes_per_second reads as
// frame bytes moved). Run: build/bench/kaze_bench_drawing
#include <SDL.h>
#include <benchmark/benchmark.h>
#ifdef KAZE_HAVE_PIXMAN
#include <pixman.h>
#endif

#include <cstdint>
#include <cstring>
#include <vector>

#include <ddraw.h>
#include <windows.h>

#include <memory>
#include <string>

#include "display/display_device.h"
#include "host/headless/headless_host.h"
#include "image/drawing.h"
#include "image/pixel_effects.h"
#include "image/pixel_kernels.h"
#include "platform/ddraw/blit.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/ddraw/keyed_copy.h"
#include "shell/shared_flags.h"
#include "support/headless_display.h"

namespace {

using kaze::platform::PixelSurface;

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr int64_t kFrameBytes = int64_t{kWidth} * kHeight * 2;
const RECT kScreen{0, 0, kWidth, kHeight};

// A 640x480 5-6-5 buffer, 32-bit aligned as pixman wants.
struct Frame {
  std::vector<uint32_t> words = std::vector<uint32_t>(kWidth * kHeight / 2);
  uint16_t* Pixels() { return reinterpret_cast<uint16_t*>(words.data()); }
  PixelSurface Surface() { return PixelSurface{Pixels(), kWidth, kHeight, kWidth * 2}; }
};

// A picture like the story's: smooth colour with a quarter of its area in
// the key colour (the top-left pixel's, 0x07E0) and a few black pixels.
Frame Picture() {
  Frame frame;
  uint16_t* p = frame.Pixels();
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      const bool keyed = (x / 40 + y / 40) % 4 == 0;
      const uint16_t colour = static_cast<uint16_t>(((x * 31 / kWidth) << 11) | ((y * 63 / kHeight) << 5) | ((x + y) & 31));
      p[y * kWidth + x] = keyed ? 0x07E0 : (colour == 0 ? 1 : colour);
    }
  for (int32_t i = 0; i < kWidth * kHeight; i += 997) p[i] = 0;  // scattered black
  return frame;
}

Frame Backdrop() {
  Frame frame;
  uint16_t* p = frame.Pixels();
  for (int32_t i = 0; i < kWidth * kHeight; ++i) p[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
  return frame;
}

void PerFrame(benchmark::State& state) { state.SetBytesProcessed(state.iterations() * kFrameBytes); }

// The pixel effects' loops run in the form given as the argument (0 plain,
// which is SSE2 as the compiler vectorises it, 1 AVX2, 2 AVX-512BW); each
// is measured where the processor has it, the widest (the one the program
// runs) last.
void EveryForm(benchmark::internal::Benchmark* b) {
  b->ArgName("form");
  for (int form = 0; form <= static_cast<int>(WidestPixelLoops()); ++form) b->Arg(form);
}

struct FormInUse {
  explicit FormInUse(const benchmark::State& state) { UsePixelLoops(static_cast<PixelLoops>(state.range(0))); }
  ~FormInUse() { UsePixelLoops(WidestPixelLoops()); }
};

// ---- memcpy: the floor -------------------------------------------------

void BM_Memcpy(benchmark::State& state) {
  Frame src = Picture(), dst;
  for (auto _ : state) {
    std::memcpy(dst.Pixels(), src.Pixels(), kFrameBytes);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Memcpy);

// ---- opaque 1:1 blit ----------------------------------------------------

void BM_Opaque_Kaze(benchmark::State& state) {
  Frame src = Picture(), dst;
  for (auto _ : state) {
    kaze::platform::StretchBlit(dst.Surface(), kScreen, kScreen, src.Surface(), kScreen, nullptr);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Opaque_Kaze);

// ---- colour-keyed 1:1 blit ----------------------------------------------

void BM_Keyed_Kaze(benchmark::State& state) {
  Frame src = Picture(), dst = Backdrop();
  const uint16_t key = src.Pixels()[0];
  for (auto _ : state) {
    kaze::platform::StretchBlit(dst.Surface(), kScreen, kScreen, src.Surface(), kScreen, &key);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Keyed_Kaze);

// The keyed row copy alone in each of its forms (0 plain, 1 AVX2,
// 2 AVX-512BW), where the processor has it.
void BM_KeyedRows(benchmark::State& state) {
  using Copy = void (*)(uint16_t*, const uint16_t*, int64_t, uint16_t);
  std::vector<Copy> forms{kaze::platform::CopyKeyedPlain};
#if defined(__x86_64__)
  using kaze::platform::VectorWidth;
  const VectorWidth widest = kaze::platform::WidestVectors();
  if (widest >= VectorWidth::Avx2) forms.push_back(kaze::platform::CopyKeyedAvx2);
  if (widest >= VectorWidth::Avx512) forms.push_back(kaze::platform::CopyKeyedAvx512);
#endif
  if (static_cast<size_t>(state.range(0)) >= forms.size()) return state.SkipWithError("not on this processor");
  const Copy copy = forms[static_cast<size_t>(state.range(0))];
  Frame src = Picture(), dst = Backdrop();
  const uint16_t key = src.Pixels()[0];
  for (auto _ : state) {
    for (int32_t y = 0; y < kHeight; ++y) copy(dst.Pixels() + y * kWidth, src.Pixels() + y * kWidth, kWidth, key);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_KeyedRows)->ArgName("form")->DenseRange(0, 2);

// ---- the page zoom: 640x480 to 2560x1920 at (-960, 0), clipped -----------

void BM_Zoom_Kaze(benchmark::State& state) {
  Frame src = Picture(), dst;
  const RECT zoom{-960, 0, -960 + 2560, 1920};
  for (auto _ : state) {
    kaze::platform::StretchBlit(dst.Surface(), zoom, kScreen, src.Surface(), kScreen, nullptr);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Zoom_Kaze);

// ---- black fill -------------------------------------------------------------

void BM_FillBlack_Kaze(benchmark::State& state) {
  Frame dst = Backdrop();
  for (auto _ : state) {
    kaze::platform::FillRect(dst.Surface(), kScreen, kScreen, 0);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_FillBlack_Kaze);

// ---- darkening the whole work surface -------------------------------------

void BM_Darken_Kaze(benchmark::State& state) {
  const FormInUse form(state);
  Frame work = Backdrop();
  const ChannelLayout layout = Layout565();
  for (auto _ : state) {
    for (int32_t y = 0; y < kHeight; ++y) DarkenRow(work.Pixels() + y * kWidth, kWidth, layout, 2);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Darken_Kaze)->Apply(EveryForm);

// ---- blended draw of a full-screen picture ------------------------------

// The weights of a fade-in, 0.11 to 1.0 in steps of 0.01, as the scenes
// make them; each frame takes the next, so the per-call set-up is measured.
std::vector<float> FadeWeights() {
  std::vector<float> weights;
  for (float alpha = 0.1f;;) {
    alpha = static_cast<float>(static_cast<double>(alpha) + 0.01);
    if (alpha > 1.0f) return weights;
    weights.push_back(alpha);
  }
}

void BM_Blend_Kaze(benchmark::State& state) {
  const FormInUse form(state);
  Frame src = Picture(), dst = Backdrop();
  const ChannelLayout layout = Layout565();
  const std::vector<float> weights = FadeWeights();
  size_t frame = 0;
  for (auto _ : state) {
    const BlendTable table = MakeBlendTable(weights[frame++ % weights.size()]);
    for (int32_t y = 0; y < kHeight; ++y)
      BlendRow(dst.Pixels() + y * kWidth, src.Pixels() + y * kWidth, kWidth, layout, table);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Blend_Kaze)->Apply(EveryForm);

// The per-call set-up alone: the exact table and the search for weights,
// made once per weight and then found among the tables kept.
void BM_BlendSetUp_Kaze(benchmark::State& state) {
  const std::vector<float> weights = FadeWeights();
  size_t frame = 0;
  int64_t fixed = 0;
  for (auto _ : state) {
    const BlendTable table = MakeBlendTable(weights[frame++ % weights.size()]);
    fixed += table.hasFixedWeights;
    benchmark::DoNotOptimize(table);
  }
  state.counters["fixed_share"] = static_cast<double>(fixed) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BlendSetUp_Kaze);

// ---- dimmed draw of a full-screen picture -------------------------------

void BM_Dim_Kaze(benchmark::State& state) {
  const FormInUse form(state);
  Frame src = Picture(), dst = Backdrop();
  for (auto _ : state) {
    for (int32_t y = 0; y < kHeight; ++y) DimRow(dst.Pixels() + y * kWidth, src.Pixels() + y * kWidth, kWidth, 0x7BCF);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Dim_Kaze)->Apply(EveryForm);

// ---- the same through the display: stand-in surfaces, locks, Blt ----------
//
// A headless host, a window, DirectDraw with the flip chain, the work surface
// and the clipper, a DisplayDevice in TheDisplay, and the picture in slot 0
// (keyed in slot 1) as a load leaves it. The scene-level calls run as the
// scenes make them, FadeState 0: they draw into the back buffer.
class BenchDisplay {
 public:
  BenchDisplay() {
    Frame picture = Picture();
    PutPicture(0, picture, 0);
    PutPicture(1, picture, DDBLT_KEYSRC);
    Frame backdrop = Backdrop();
    std::memcpy(kaze::platform::StateOf(display_.Work()).pixels.pixels, backdrop.Pixels(), kFrameBytes);
    std::memcpy(kaze::platform::StateOf(display_.Back()).pixels.pixels, backdrop.Pixels(), kFrameBytes);
  }
  DisplayDevice& Device() { return display_.Device(); }

  // Every operation measured succeeds once on this display.
  bool Works() {
    DisplayDevice& d = display_.Device();
    IDirectDrawSurface* back = display_.Back();
    return d.BltImage(back, 0, 0, 0) && d.BltImage(back, 1, 0, 0) && d.BltImageScaled(back, 0, -960, 0, 2560, 1920) &&
           d.DarkenWorkRect(0, 0, kWidth, kHeight, 2) && d.DrawBlended(back, 0, 0, 0, 0.5f) && d.DrawDimmed(back, 0, 0, 0);
  }

 private:
  void PutPicture(int slot, Frame& picture, DWORD flags) {
    ImageSlot& entry = display_.Device().slots[slot];
    entry.surface = display_.Offscreen(kWidth, kHeight);
    std::memcpy(kaze::platform::StateOf(entry.surface).pixels.pixels, picture.Pixels(), kFrameBytes);
    entry.sourceRect = RECT{0, 0, kWidth, kHeight};
    entry.width = kWidth;
    entry.height = kHeight;
    entry.loaded = 1;
    entry.bltFlags = static_cast<int32_t>(flags);
    entry.keyColour = -1;
  }

  HeadlessDisplay display_;
};

template <typename Draw>
void RunOnDisplay(benchmark::State& state, Draw draw) {
  BenchDisplay display;
  FadeState = 0;
  if (!display.Works()) state.SkipWithError("the display refused a drawing operation");
  for (auto _ : state) {
    draw(display.Device());
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}

void BM_Display_DrawImage(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice&) { DrawImage(0, 0, 0); });
}
BENCHMARK(BM_Display_DrawImage);

void BM_Display_DrawImageKeyed(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice&) { DrawImage(1, 0, 0); });
}
BENCHMARK(BM_Display_DrawImageKeyed);

void BM_Display_DrawImageScaledZoom(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice&) { DrawImageScaled(0, -960, 0, 2560, 1920); });
}
BENCHMARK(BM_Display_DrawImageScaledZoom);

void BM_Display_DarkenWorkRect(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice& device) { device.DarkenWorkRect(0, 0, kWidth, kHeight, 2); });
}
BENCHMARK(BM_Display_DarkenWorkRect);

void BM_Display_DrawImageBlended(benchmark::State& state) {
  const std::vector<float> weights = FadeWeights();
  size_t frame = 0;
  RunOnDisplay(state, [&](DisplayDevice&) { DrawImageBlended(0, 0, 0, weights[frame++ % weights.size()]); });
}
BENCHMARK(BM_Display_DrawImageBlended);

void BM_Display_DrawImageDimmed(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice&) { DrawImageDimmed(0, 0, 0); });
}
BENCHMARK(BM_Display_DrawImageDimmed);

// ---- pixman ---------------------------------------------------------------
#ifdef KAZE_HAVE_PIXMAN

pixman_image_t* PixmanImage(Frame& frame, pixman_format_code_t format = PIXMAN_r5g6b5) {
  return pixman_image_create_bits(format, kWidth, kHeight, frame.words.data(), kWidth * 2);
}

pixman_image_t* SolidAlpha(double alpha) {
  const pixman_color_t colour{0, 0, 0, static_cast<uint16_t>(alpha * 0xFFFF)};
  return pixman_image_create_solid_fill(&colour);
}

void BM_Opaque_PixmanBlt(benchmark::State& state) {
  Frame src = Picture(), dst;
  for (auto _ : state) {
    pixman_blt(src.words.data(), dst.words.data(), kWidth / 2, kWidth / 2, 16, 16, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Opaque_PixmanBlt);

// pixman has no colour key; its nearest is a source with one bit of alpha.
void BM_Keyed_PixmanOverA1(benchmark::State& state) {
  Frame src = Picture(), dst = Backdrop();
  uint16_t* p = src.Pixels();
  for (int32_t i = 0; i < kWidth * kHeight; ++i) {  // 5-6-5 to 1-5-5-5, key -> alpha 0
    const uint16_t c = p[i];
    p[i] = c == 0x07E0 ? 0 : static_cast<uint16_t>(0x8000 | ((c >> 1) & 0x7FE0) | (c & 0x1F));
  }
  pixman_image_t* source = PixmanImage(src, PIXMAN_a1r5g5b5);
  pixman_image_t* target = PixmanImage(dst);
  for (auto _ : state) {
    pixman_image_composite(PIXMAN_OP_OVER, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(source);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Keyed_PixmanOverA1);

void BM_Zoom_PixmanNearest(benchmark::State& state) {
  Frame src = Picture(), dst;
  pixman_image_t* source = PixmanImage(src);
  pixman_image_t* target = PixmanImage(dst);
  pixman_transform_t quarter;
  pixman_transform_init_scale(&quarter, pixman_double_to_fixed(0.25), pixman_double_to_fixed(0.25));
  pixman_image_set_transform(source, &quarter);
  pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    // Destination (0, 0) is column 960 of the 2560-wide magnified page.
    pixman_image_composite(PIXMAN_OP_SRC, source, nullptr, target, 960, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(source);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Zoom_PixmanNearest);

void BM_FillBlack_PixmanFill(benchmark::State& state) {
  Frame dst = Backdrop();
  for (auto _ : state) {
    pixman_fill(dst.words.data(), kWidth / 2, 16, 0, 0, kWidth, kHeight, 0);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_FillBlack_PixmanFill);

// Darkening as pixman would do it: translucent black over the frame.
void BM_Darken_PixmanOverSolid(benchmark::State& state) {
  Frame work = Backdrop();
  pixman_image_t* target = PixmanImage(work);
  pixman_image_t* shade = SolidAlpha(2.0 / 32);
  for (auto _ : state) {
    pixman_image_composite(PIXMAN_OP_OVER, shade, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(shade);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Darken_PixmanOverSolid);

void BM_Blend_PixmanOverConstMask(benchmark::State& state) {
  Frame src = Picture(), dst = Backdrop();
  pixman_image_t* source = PixmanImage(src);
  pixman_image_t* target = PixmanImage(dst);
  pixman_image_t* weight = SolidAlpha(0.37);
  for (auto _ : state) {
    pixman_image_composite(PIXMAN_OP_OVER, source, weight, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(weight);
  pixman_image_unref(source);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Blend_PixmanOverConstMask);

// Dimming as pixman would do it: the source at half weight, replacing.
void BM_Dim_PixmanSrcHalfMask(benchmark::State& state) {
  Frame src = Picture(), dst = Backdrop();
  pixman_image_t* source = PixmanImage(src);
  pixman_image_t* target = PixmanImage(dst);
  pixman_image_t* half = SolidAlpha(0.5);
  for (auto _ : state) {
    pixman_image_composite(PIXMAN_OP_SRC, source, half, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(half);
  pixman_image_unref(source);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Dim_PixmanSrcHalfMask);

#endif  // KAZE_HAVE_PIXMAN

// ---- SDL2 software surfaces -------------------------------------------

SDL_Surface* SdlSurface(Frame& frame) {
  return SDL_CreateRGBSurfaceWithFormatFrom(frame.Pixels(), kWidth, kHeight, 16, kWidth * 2,
                                            SDL_PIXELFORMAT_RGB565);
}

// Runs one SDL blit per iteration; `prepare` sets the source's key, alpha
// or colour modulation.
template <typename Prepare, typename Blit>
void RunSdl(benchmark::State& state, Prepare prepare, Blit blit) {
  Frame src = Picture(), dst = Backdrop();
  SDL_Surface* source = SdlSurface(src);
  SDL_Surface* target = SdlSurface(dst);
  prepare(source);
  for (auto _ : state) {
    blit(source, target);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(source);
  SDL_FreeSurface(target);
  PerFrame(state);
}

void BM_Opaque_SdlBlit(benchmark::State& state) {
  RunSdl(state, [](SDL_Surface* s) { SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE); },
         [](SDL_Surface* s, SDL_Surface* d) { SDL_BlitSurface(s, nullptr, d, nullptr); });
}
BENCHMARK(BM_Opaque_SdlBlit);

void BM_Keyed_SdlColorKey(benchmark::State& state) {
  RunSdl(state, [](SDL_Surface* s) { SDL_SetColorKey(s, SDL_TRUE, 0x07E0); },
         [](SDL_Surface* s, SDL_Surface* d) { SDL_BlitSurface(s, nullptr, d, nullptr); });
}
BENCHMARK(BM_Keyed_SdlColorKey);

void BM_Zoom_SdlBlitScaled(benchmark::State& state) {
  RunSdl(state, [](SDL_Surface* s) { SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE); },
         [](SDL_Surface* s, SDL_Surface* d) {
           SDL_Rect zoom{-960, 0, 2560, 1920};
           SDL_BlitScaled(s, nullptr, d, &zoom);
         });
}
BENCHMARK(BM_Zoom_SdlBlitScaled);

void BM_FillBlack_SdlFillRect(benchmark::State& state) {
  Frame dst = Backdrop();
  SDL_Surface* target = SdlSurface(dst);
  for (auto _ : state) {
    SDL_FillRect(target, nullptr, 0);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(target);
  PerFrame(state);
}
BENCHMARK(BM_FillBlack_SdlFillRect);

void BM_Blend_SdlSurfaceAlpha(benchmark::State& state) {
  RunSdl(state,
         [](SDL_Surface* s) {
           SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
           SDL_SetSurfaceAlphaMod(s, 94);  // 0.37
         },
         [](SDL_Surface* s, SDL_Surface* d) { SDL_BlitSurface(s, nullptr, d, nullptr); });
}
BENCHMARK(BM_Blend_SdlSurfaceAlpha);

void BM_Dim_SdlColorMod(benchmark::State& state) {
  RunSdl(state,
         [](SDL_Surface* s) {
           SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
           SDL_SetSurfaceColorMod(s, 128, 128, 128);
         },
         [](SDL_Surface* s, SDL_Surface* d) { SDL_BlitSurface(s, nullptr, d, nullptr); });
}
BENCHMARK(BM_Dim_SdlColorMod);

}  // namespace

BENCHMARK_MAIN();
