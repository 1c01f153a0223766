// Pieces shared by the EMF and WMF recorders: a little-endian byte buffer, the reference screen
// and the frame it gives, text measuring on a pixel-size font, and the Cyrillic 8-bit code page.
#pragma once

#include <QFont>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "render/Canvas.h"

namespace isotri {

class ByteBuffer {
  public:
    void U8(std::uint8_t v) { bytes_.push_back(v); }
    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void F32(float v);
    void Bytes(const void* data, std::size_t size);
    void Zeros(std::size_t count) { bytes_.resize(bytes_.size() + count, 0); }
    void PatchU16(std::size_t offset, std::uint16_t v);
    void PatchU32(std::size_t offset, std::uint32_t v);

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Data() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

// The screen that drawing units refer to: one drawing unit is one of its pixels.
struct ScreenMetrics {
    // Defaults: exactly 96 pixels per inch, for a screen that reports no size.
    int widthPixels = 960;
    int heightPixels = 960;
    int widthMm = 254;
    int heightMm = 254;
    friend bool operator==(const ScreenMetrics&, const ScreenMetrics&) = default;
};

// The primary screen of the running application; 96 pixels per inch where it reports no size.
ScreenMetrics PrimaryScreenMetrics();

// The screen itself, or the defaults where a size is not positive (it would divide by zero).
ScreenMetrics UsableScreen(const ScreenMetrics& screen);

// A picture of width x height pixels in hundredths of a millimetre on the reference screen,
// each product divided with rounding.
struct FrameSize {
    int width = 0;
    int height = 0;
};
FrameSize FrameOf(int width, int height, const ScreenMetrics& screen);

// GDI colour reference: 0x00BBGGRR.
inline std::uint32_t ColorRef(Rgb c) {
    return static_cast<std::uint32_t>(c.r) | (static_cast<std::uint32_t>(c.g) << 8) |
           (static_cast<std::uint32_t>(c.b) << 16);
}

// Measures texts as the recorders store them and as the on-screen canvas measures them: the
// cell's width and height in whole pixels, and the pen position after each UTF-16 unit.
class TextMeasure {
  public:
    explicit TextMeasure(const FontSpec& font);
    int Width(const QString& text) const;
    int Height() const;
    // positions[i]: the pen's advance after the first i + 1 units (a surrogate pair advances at
    // its second unit); the last one equals Width(text).
    std::vector<double> Positions(const QString& text) const;

  private:
    QFont font_;
};

// Windows-1251; a character that the code page lacks becomes '?'.
std::string EncodeCp1251(const QString& text);

// Nearest integer, ties to even, clamped to the int range.
int RoundToInt(double v);

}  // namespace isotri
