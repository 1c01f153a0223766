#include "export/GdiRecorder.h"

#include <cassert>

namespace isotri {

namespace {

// Fonts differ as GDI objects only in what the font record holds; the colour is the DC's.
bool SameFontObject(const FontSpec& a, const FontSpec& b) {
    FontSpec x = a;
    x.color = b.color;
    return x == b;
}

}  // namespace

GdiRecorder::GdiRecorder(int firstSlot)
    : measure_(font_), firstSlot_(firstSlot), tableSize_(firstSlot) {}

void GdiRecorder::SetFont(const FontSpec& font) {
    if (!SameFontObject(font, font_)) {
        measure_ = TextMeasure(font);
    }
    font_ = font;
}

int GdiRecorder::TextWidth(const std::string& text) {
    return measure_.Width(QString::fromStdString(text));
}

int GdiRecorder::TextHeight(const std::string& /*text*/) {
    return RoundToInt(measure_.Height());
}

int GdiRecorder::Allocate() {
    for (std::size_t i = 0; i < used_.size(); ++i) {
        if (!used_[i]) {
            used_[i] = true;
            return firstSlot_ + static_cast<int>(i);
        }
    }
    used_.push_back(true);
    tableSize_ = std::max(tableSize_, firstSlot_ + static_cast<int>(used_.size()));
    return firstSlot_ + static_cast<int>(used_.size()) - 1;
}

void GdiRecorder::Free(int slot) {
    used_.at(static_cast<std::size_t>(slot - firstSlot_)) = false;
}

template <typename Create>
void GdiRecorder::Replace(Selected& selected, Create create) {
    const int slot = Allocate();
    create(slot);
    EmitSelect(slot);
    if (selected.slot >= 0) {
        EmitDelete(selected.slot);
        Free(selected.slot);
    }
    selected.slot = slot;
}

void GdiRecorder::UsePen() {
    Pen pen = pen_;
    pen.width = std::max(1, pen.width);
    if (realPen_ != pen) {
        Replace(penSlot_, [&](int slot) { EmitCreatePen(slot, pen); });
        realPen_ = pen;
    }
}

void GdiRecorder::UseBrush() {
    if (realBrush_ != brush_) {
        Replace(brushSlot_, [&](int slot) { EmitCreateBrush(slot, brush_); });
        realBrush_ = brush_;
    }
}

void GdiRecorder::UseFont() {
    if (!realFont_ || !SameFontObject(*realFont_, font_)) {
        Replace(fontSlot_, [&](int slot) { EmitCreateFont(slot, font_); });
        realFont_ = font_;
    }
}

void GdiRecorder::UseTextColors() {
    if (!bkModeSet_) {
        EmitBkModeOpaque();
        bkModeSet_ = true;
    }
    if (realBk_ != brush_) {
        EmitBkColor(brush_);
        realBk_ = brush_;
    }
    if (realText_ != font_.color) {
        EmitTextColor(font_.color);
        realText_ = font_.color;
    }
}

void GdiRecorder::ReleaseObjects() {
    EmitSelectStockObjects();
    for (Selected* s : {&penSlot_, &brushSlot_, &fontSlot_}) {
        if (s->slot >= 0) {
            EmitDelete(s->slot);
            Free(s->slot);
            s->slot = -1;
        }
    }
    realPen_.reset();
    realBrush_.reset();
    realFont_.reset();
}

void GdiRecorder::StartRecord() {
    assert(!finished_);
    recordStart_ = out_.Size();
}

void GdiRecorder::MoveTo(int x, int y) {
    EmitMoveTo(x, y);
}

void GdiRecorder::LineTo(int x, int y) {
    UsePen();
    EmitLineTo(x, y);
}

void GdiRecorder::Polyline(std::span<const IntPoint> points) {
    UsePen();
    EmitPolyline(points);
}

void GdiRecorder::Polygon(std::span<const IntPoint> points) {
    UsePen();
    UseBrush();
    EmitPolygon(points);
}

void GdiRecorder::Rectangle(int left, int top, int right, int bottom) {
    UsePen();
    UseBrush();
    EmitRectangle(left, top, right, bottom);
}

void GdiRecorder::Ellipse(int left, int top, int right, int bottom) {
    UsePen();
    UseBrush();
    EmitEllipse(left, top, right, bottom);
}

void GdiRecorder::FillRect(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) {
        return;
    }
    UseBrush();
    EmitFillRect(left, top, right, bottom);
}

void GdiRecorder::TextOut(int x, int y, const std::string& text) {
    MeasuredText measured{QString::fromStdString(text), 0, 0, {}};
    if (measured.text.isEmpty()) {
        return;
    }
    UseFont();
    UseTextColors();
    measured.width = TextWidth(text);
    measured.height = TextHeight(text);
    measured.positions = measure_.Positions(measured.text);
    EmitText(x, y, measured);
}

QByteArray GdiRecorder::Finish() {
    EmitEnd();
    finished_ = true;
    const auto& d = out_.Data();
    return QByteArray(reinterpret_cast<const char*>(d.data()), static_cast<qsizetype>(d.size()));
}

}  // namespace isotri
