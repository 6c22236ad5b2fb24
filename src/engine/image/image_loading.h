// Loading pictures into the display's image slots: VImage file -> BMP file
// image -> bitmap in the display's format -> system-memory surface.
#pragma once

// The text of the box shown when a picture cannot be loaded; %s is the path.
inline constexpr char kImageLoadFailedFormat[] = "画像ファイルを読み込めません\n\n%s";
