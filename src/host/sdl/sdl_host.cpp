// The sdl host: a real window, input and audio through SDL2.
