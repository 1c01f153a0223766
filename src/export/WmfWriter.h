// Records the renderer's drawing as a placeable Windows metafile (WMF). Coordinates are
// hundredths of a millimetre on the reference screen, the window extent equal to the header's
// box; text is 8-bit Windows-1251.
#pragma once

#include <optional>
#include <vector>

#include "export/Clip.h"
#include "export/GdiRecorder.h"

namespace isotri {

class WmfWriter final : public GdiRecorder {
  public:
    // width, height: the picture in pixels (at least 1 each).
    WmfWriter(int width, int height, const ScreenMetrics& screen);

    // The header's box and units per inch. A picture wider or taller than 16-bit hundredths of
    // a millimetre reach is stored in coarser units, so the box always fits.
    int BoxWidth() const { return boxWidth_; }
    int BoxHeight() const { return boxHeight_; }
    int UnitsPerInch() const { return unitsPerInch_; }

  private:
    void EmitMoveTo(int x, int y) override;
    void EmitLineTo(int x, int y) override;
    void EmitPolyline(std::span<const IntPoint> points) override;
    void EmitPolygon(std::span<const IntPoint> points) override;
    void EmitRectangle(int left, int top, int right, int bottom) override;
    void EmitEllipse(int left, int top, int right, int bottom) override;
    void EmitText(int x, int y, const MeasuredText& text) override;
    void EmitFillRect(int left, int top, int right, int bottom) override;
    void EmitEnd() override;
    void EmitCreatePen(int slot, const Pen& pen) override;
    void EmitCreateBrush(int slot, Rgb color) override;
    void EmitCreateFont(int slot, const FontSpec& font) override;
    void EmitSelect(int slot) override;
    void EmitDelete(int slot) override;
    void EmitBkModeOpaque() override;
    void EmitBkColor(Rgb color) override;
    void EmitTextColor(Rgb color) override;
    void EmitSelectStockObjects() override {}

    void Begin(std::uint16_t function);
    void End();
    std::int16_t X(double x) const;
    std::int16_t Y(double y) const;
    void Box(int left, int top, int right, int bottom);
    void Poly(std::uint16_t function, std::span<const IntPoint> points);
    void PolyRecord(std::uint16_t function, std::span<const ClipPoint> points);
    void MoveRecord(std::uint16_t function, ClipPoint p);

    std::uint32_t maxRecordWords_ = 0;
    int boxWidth_;
    int boxHeight_;
    int unitsPerInch_;
    double scaleX_;
    double scaleY_;
    // What 16-bit coordinates reach, in pixels; lines are cut to it before they are written, as
    // clamping a point would turn a line that leaves it.
    ClipBox reach_;
    ClipPoint pen_;                        // where the drawing's pen is
    std::optional<ClipPoint> writtenPen_;  // where the file's pen is, when known
};

}  // namespace isotri
