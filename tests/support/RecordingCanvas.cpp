#include "support/RecordingCanvas.h"

#include <utility>

namespace isotri::testing {

namespace {

int CodePoints(const std::string& text) {
    int count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

std::vector<int> Flatten(std::span<const IntPoint> points) {
    std::vector<int> args;
    for (const IntPoint& p : points) {
        args.push_back(p.x);
        args.push_back(p.y);
    }
    return args;
}

}  // namespace

void RecordingCanvas::Record(std::string name, std::vector<int> args, std::string text) {
    ops_.push_back(
        {std::move(name), std::move(args), std::move(text), penWidth_, pen_, brush_, font_});
}

void RecordingCanvas::SetPenWidth(int width) {
    penWidth_ = width;
    Record("SetPenWidth", {width});
}

void RecordingCanvas::SetPenColor(Rgb color) {
    pen_ = color;
    Record("SetPenColor", {color.r, color.g, color.b});
}

void RecordingCanvas::SetBrushColor(Rgb color) {
    brush_ = color;
    Record("SetBrushColor", {color.r, color.g, color.b});
}

void RecordingCanvas::SetFont(const FontSpec& font) {
    font_ = font;
    Record("SetFont", {font.pixelHeight});
}

void RecordingCanvas::MoveTo(int x, int y) {
    Record("MoveTo", {x, y});
}
void RecordingCanvas::LineTo(int x, int y) {
    Record("LineTo", {x, y});
}
void RecordingCanvas::Polyline(std::span<const IntPoint> points) {
    Record("Polyline", Flatten(points));
}
void RecordingCanvas::Polygon(std::span<const IntPoint> points) {
    Record("Polygon", Flatten(points));
}
void RecordingCanvas::Rectangle(int left, int top, int right, int bottom) {
    Record("Rectangle", {left, top, right, bottom});
}
void RecordingCanvas::Ellipse(int left, int top, int right, int bottom) {
    Record("Ellipse", {left, top, right, bottom});
}
void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
    Record("TextOut", {x, y}, text);
}
int RecordingCanvas::TextWidth(const std::string& text) {
    return CodePoints(text) * font_.pixelHeight / 2;
}
int RecordingCanvas::TextHeight(const std::string& /*text*/) {
    return font_.pixelHeight;
}
void RecordingCanvas::FillRect(int left, int top, int right, int bottom) {
    Record("FillRect", {left, top, right, bottom});
}

std::vector<RecordedOp> RecordingCanvas::Named(const std::string& name) const {
    std::vector<RecordedOp> result;
    for (const RecordedOp& op : ops_) {
        if (op.name == name) {
            result.push_back(op);
        }
    }
    return result;
}

std::vector<std::string> RecordingCanvas::Texts() const {
    std::vector<std::string> result;
    for (const RecordedOp& op : ops_) {
        if (op.name == "TextOut") {
            result.push_back(op.text);
        }
    }
    return result;
}

std::string RecordingCanvas::Drawing() const {
    std::string out;
    for (const RecordedOp& op : ops_) {
        if (op.name.starts_with("Set")) {
            continue;
        }
        out += op.name;
        for (const int a : op.args) {
            out += ' ' + std::to_string(a);
        }
        if (!op.text.empty()) {
            out += " \"" + op.text + '"';
        }
        out += '\n';
    }
    return out;
}

}  // namespace isotri::testing
