#include "export/GdiRecorder.h"

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

}  // namespace isotri
