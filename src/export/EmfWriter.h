// Records the renderer's drawing as an enhanced metafile (EMF). Drawing units are pixels of the
// reference screen; the frame is the picture's size on that screen in hundredths of a millimetre.
#pragma once

#include "export/GdiRecorder.h"

namespace isotri {

class EmfWriter final : public GdiRecorder {
  public:
    // width, height: the picture in pixels (at least 1 each).
    EmfWriter(int width, int height, const ScreenMetrics& screen);

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
    void EmitSelectStockObjects() override;

    void Begin(std::uint32_t type);
    void End();
    void Simple(std::uint32_t type, std::uint32_t value);
    void Rect(int left, int top, int right, int bottom);
    void Poly(std::uint32_t type16, std::uint32_t type32, std::span<const IntPoint> points);

    std::uint32_t records_ = 0;
    int width_;
    int height_;
    ScreenMetrics screen_;
};

}  // namespace isotri
