// PNG files of drawn pictures, written for speed: Qt's PNG writer tries every row filter on
// every row, which costs several times the drawing itself.
#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

namespace isotri {

// Resolution written with the picture (96 dpi), as for the window's own bitmap.
inline constexpr int kPngDotsPerMeter = 3780;

// Appends `image` to `bytes` as an 8-bit PNG, greyscale when every pixel is grey and RGB
// otherwise (any alpha is dropped), with no row filters and zlib's fastest level, which on plots
// gives files the size of the default level's. The top and bottom halves of a picture that is
// not tiny are compressed at once on two threads, as two pieces of the one zlib stream. Returns
// false, with the reason in `error`, when encoding failed; `bytes` then holds no usable file.
bool EncodePng(const QImage& image, QByteArray& bytes, std::string& error);

}  // namespace isotri
