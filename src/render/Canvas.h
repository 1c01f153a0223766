// The drawing surface of the renderer: one pen, one solid brush and one font at a time.
// Implementations: QPainter (image, SVG, PDF), the metafile recorders, and a recorder in tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace isotri {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct FontSpec {
    std::string face = "Arial";
    int pixelHeight = 24;  // character height in pixels
    int charset = 204;     // Cyrillic
    Rgb color{};
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct IntPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual void SetPenWidth(int width) = 0;
    virtual void SetPenColor(Rgb color) = 0;
    virtual Rgb PenColor() const = 0;
    virtual void SetBrushColor(Rgb color) = 0;
    virtual Rgb BrushColor() const = 0;
    virtual void SetFont(const FontSpec& font) = 0;

    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void Polyline(std::span<const IntPoint> points) = 0;
    // Outlined with the pen, filled with the brush.
    virtual void Polygon(std::span<const IntPoint> points) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // Opaque: the text's cell (width x height from the top-left point) is filled with the brush
    // colour first, then the characters are drawn in the font's colour. `text` is UTF-8.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
    // Fills the rectangle with the brush, no outline.
    virtual void FillRect(int left, int top, int right, int bottom) = 0;
};

}  // namespace isotri
