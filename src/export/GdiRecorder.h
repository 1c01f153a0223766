// What the EMF and WMF recorders share as canvases: the state of pen, brush, font and text
// colours, realised as GDI objects only when a record needs them, the object table with its
// lowest-free-slot numbering, and text measuring.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "export/MetafileSupport.h"
#include "render/Canvas.h"

namespace isotri {

class GdiRecorder : public Canvas {
  public:
    void SetPenWidth(int width) override { pen_.width = width; }
    void SetPenColor(Rgb color) override { pen_.color = color; }
    Rgb PenColor() const override { return pen_.color; }
    void SetBrushColor(Rgb color) override { brush_ = color; }
    Rgb BrushColor() const override { return brush_; }
    void SetFont(const FontSpec& font) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

    // Pen widths below one draw as one pixel.
    struct Pen {
        int width = 1;
        Rgb color{};
        friend bool operator==(const Pen&, const Pen&) = default;
    };

  protected:
    // firstSlot: index of the first object (EMF reserves 0 for the metafile itself).
    explicit GdiRecorder(int firstSlot);

    void UsePen();
    void UseBrush();
    void UseFont();
    // Opaque text: background mode, background colour = brush colour, text colour = font colour.
    void UseTextColors();

    const FontSpec& Font() const { return font_; }
    const TextMeasure& Measure() const { return measure_; }
    // Size of the object table: the highest slot ever used + 1 (at least firstSlot).
    int TableSize() const { return tableSize_; }

    virtual void EmitCreatePen(int slot, const Pen& pen) = 0;
    virtual void EmitCreateBrush(int slot, Rgb color) = 0;
    virtual void EmitCreateFont(int slot, const FontSpec& font) = 0;
    virtual void EmitSelect(int slot) = 0;
    virtual void EmitDelete(int slot) = 0;
    virtual void EmitBkModeOpaque() = 0;
    virtual void EmitBkColor(Rgb color) = 0;
    virtual void EmitTextColor(Rgb color) = 0;

    // Selects the stock objects that EmitSelectStockObjects names, then deletes every object
    // still alive (a selected object must not be deleted).
    void ReleaseObjects();
    virtual void EmitSelectStockObjects() = 0;

  private:
    struct Selected {
        int slot = -1;
    };
    int Allocate();
    void Free(int slot);
    // Creates an object with `create`, selects it and deletes the one it replaces.
    template <typename Create>
    void Replace(Selected& selected, Create create);

    Pen pen_;
    Rgb brush_{255, 255, 255};
    FontSpec font_;
    TextMeasure measure_;

    std::optional<Pen> realPen_;
    std::optional<Rgb> realBrush_;
    std::optional<FontSpec> realFont_;
    Selected penSlot_, brushSlot_, fontSlot_;
    bool bkModeSet_ = false;
    std::optional<Rgb> realBk_, realText_;

    int firstSlot_;
    int tableSize_;
    std::vector<bool> used_;
};

}  // namespace isotri
