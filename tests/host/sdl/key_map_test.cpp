#ifdef KAZE_HAVE_SDL
#include "host/sdl/key_map.h"

#include <gtest/gtest.h>

namespace kaze::host {
namespace {

SDL_Keysym Key(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
  SDL_Keysym key{};
  key.scancode = scancode;
  key.sym = sym;
  key.mod = mod;
  return key;
}

TEST(KeyMap, QuitKeysAndTheSpaceBarCarryTheirVirtualKeyCodes) {
  EXPECT_EQ(VirtualKeyOf(Key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE)), 0x1Bu);
  EXPECT_EQ(VirtualKeyOf(Key(SDL_SCANCODE_F4, SDLK_F4)), 0x73u);
  EXPECT_EQ(VirtualKeyOf(Key(SDL_SCANCODE_SPACE, SDLK_SPACE)), 0x20u);
  EXPECT_EQ(VirtualKeyOf(Key(SDL_SCANCODE_LALT, SDLK_LALT)), 0x12u);
  // Letters follow the layout: the key labelled Z on a German keyboard.
  EXPECT_EQ(VirtualKeyOf(Key(SDL_SCANCODE_Y, SDLK_z)), unsigned('Z'));
  EXPECT_EQ(VirtualKeyOf(Key(SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP)), 0u);
}

TEST(KeyMap, AltCombinationsAltItselfAndF10AreSystemKeys) {
  EXPECT_TRUE(IsSystemKey(Key(SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT)));
  EXPECT_TRUE(IsSystemKey(Key(SDL_SCANCODE_SPACE, SDLK_SPACE, KMOD_RALT)));
  EXPECT_TRUE(IsSystemKey(Key(SDL_SCANCODE_LALT, SDLK_LALT)));
  EXPECT_TRUE(IsSystemKey(Key(SDL_SCANCODE_F10, SDLK_F10)));
  EXPECT_FALSE(IsSystemKey(Key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE)));
  EXPECT_FALSE(IsSystemKey(Key(SDL_SCANCODE_F4, SDLK_F4, KMOD_LCTRL)));
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
