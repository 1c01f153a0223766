// A canvas that records every operation with the drawing state at that moment, and measures
// text by a fixed rule: each character (UTF-8 code point) is half the font's pixel height wide,
// and a text is as high as the font's pixel height.
#pragma once

#include <string>
#include <vector>

#include "render/Canvas.h"

namespace isotri::testing {

struct RecordedOp {
    std::string name;       // "SetPenWidth", "LineTo", "TextOut", ...
    std::vector<int> args;  // integer arguments in order; points flattened x, y, x, y, ...
    std::string text;       // TextOut's text
    // State after the operation.
    int penWidth = 1;
    Rgb pen{};
    Rgb brush{};
    FontSpec font{};
};

class RecordingCanvas final : public isotri::Canvas {
  public:
    void SetPenWidth(int width) override;
    void SetPenColor(Rgb color) override;
    Rgb PenColor() const override { return pen_; }
    void SetBrushColor(Rgb color) override;
    Rgb BrushColor() const override { return brush_; }
    void SetFont(const FontSpec& font) override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(std::span<const IntPoint> points) override;
    void Polygon(std::span<const IntPoint> points) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void FillRect(int left, int top, int right, int bottom) override;

    const std::vector<RecordedOp>& ops() const { return ops_; }
    // The operations with this name, in order.
    std::vector<RecordedOp> Named(const std::string& name) const;
    // The texts drawn, in order.
    std::vector<std::string> Texts() const;
    // Drawing operations only (no state setters and no measuring), one per line.
    std::string Drawing() const;

  private:
    void Record(std::string name, std::vector<int> args, std::string text = {});

    std::vector<RecordedOp> ops_;
    int penWidth_ = 1;
    Rgb pen_{0, 0, 0};
    Rgb brush_{255, 255, 255};
    FontSpec font_{};
};

}  // namespace isotri::testing
