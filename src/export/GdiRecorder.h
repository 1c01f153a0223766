// What the EMF and WMF recorders share as canvases: the state of pen, brush, font and text
// colours, realised as GDI objects only when a record needs them, the object table with its
// lowest-free-slot numbering, text measuring, and the file's bytes. Each format writes only its
// records.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
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

    void MoveTo(int x, int y) final;
    void LineTo(int x, int y) final;
    void Polyline(std::span<const IntPoint> points) final;
    void Polygon(std::span<const IntPoint> points) final;
    void Rectangle(int left, int top, int right, int bottom) final;
    void Ellipse(int left, int top, int right, int bottom) final;
    void TextOut(int x, int y, const std::string& text) final;
    void FillRect(int left, int top, int right, int bottom) final;

    // Ends the recording and returns the whole file; the recorder takes no more drawing.
    QByteArray Finish();

    // Pen widths below one draw as one pixel.
    struct Pen {
        int width = 1;
        Rgb color{};
        friend bool operator==(const Pen&, const Pen&) = default;
    };

  protected:
    // firstSlot: index of the first object (EMF reserves 0 for the metafile itself).
    explicit GdiRecorder(int firstSlot);

    // A non-empty text with its cell in pixels and the pen's advance after each UTF-16 unit, as
    // TextMeasure::Positions gives them.
    struct MeasuredText {
        QString text;
        int width = 0;
        int height = 0;
        std::vector<double> positions;
    };

    // Size of the object table: the highest slot ever used + 1 (at least firstSlot).
    int TableSize() const { return tableSize_; }

    // The drawing records, written after the objects they use are selected. Point lists may be
    // empty; fill rectangles are not.
    virtual void EmitMoveTo(int x, int y) = 0;
    virtual void EmitLineTo(int x, int y) = 0;
    virtual void EmitPolyline(std::span<const IntPoint> points) = 0;
    virtual void EmitPolygon(std::span<const IntPoint> points) = 0;
    virtual void EmitRectangle(int left, int top, int right, int bottom) = 0;
    virtual void EmitEllipse(int left, int top, int right, int bottom) = 0;
    virtual void EmitText(int x, int y, const MeasuredText& text) = 0;
    virtual void EmitFillRect(int left, int top, int right, int bottom) = 0;
    // The records that close the file and the header's totals; nothing is written after them.
    virtual void EmitEnd() = 0;

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

    // Marks the start of a record at the end of the file; no record may follow Finish.
    void StartRecord();
    std::size_t RecordStart() const { return recordStart_; }

    ByteBuffer out_;

  private:
    void UsePen();
    void UseBrush();
    void UseFont();
    // Opaque text: background mode, background colour = brush colour, text colour = font colour.
    void UseTextColors();

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

    std::size_t recordStart_ = 0;
    bool finished_ = false;
};

}  // namespace isotri
