#include "export/WmfWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "common/Error.h"

namespace isotri {

namespace {

enum : std::uint16_t {
    META_EOF = 0x0000,
    META_SETBKMODE = 0x0102,
    META_SELECTOBJECT = 0x012D,
    META_DELETEOBJECT = 0x01F0,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_PATBLT = 0x061D,
    META_EXTTEXTOUT = 0x0A32,
};

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kHeaderSize = 18;
constexpr std::uint16_t PS_ENDCAP_FLAT = 0x0200;
constexpr std::uint16_t PS_JOIN_MITER = 0x2000;
constexpr std::uint16_t OPAQUE = 2;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint16_t ETO_OPAQUE = 0x0002;
constexpr std::size_t kFaceBytes = 32;
constexpr int kMax16 = std::numeric_limits<std::int16_t>::max();

std::int16_t Clamp16(double v) {
    return static_cast<std::int16_t>(RoundToInt(std::clamp(v, -32768.0, 32767.0)));
}

}  // namespace

WmfWriter::WmfWriter(int width, int height, const ScreenMetrics& screen) : GdiRecorder(0) {
    width = std::max(1, width);
    height = std::max(1, height);
    const FrameSize frame = FrameOf(width, height, screen);
    const int largest = std::max({frame.width, frame.height, 1});
    const int coarse = (largest + kMax16 - 1) / kMax16;
    boxWidth_ = std::max(1, RoundToInt(static_cast<double>(frame.width) / coarse));
    boxHeight_ = std::max(1, RoundToInt(static_cast<double>(frame.height) / coarse));
    unitsPerInch_ = RoundToInt(2540.0 / coarse);
    scaleX_ = static_cast<double>(boxWidth_) / width;
    scaleY_ = static_cast<double>(boxHeight_) / height;
    reach_ = {-kMax16 / scaleX_, -kMax16 / scaleY_, kMax16 / scaleX_, kMax16 / scaleY_};

    out_.U32(kPlaceableKey);
    out_.U16(0);  // handle
    out_.I16(0);
    out_.I16(0);
    out_.I16(static_cast<std::int16_t>(boxWidth_));
    out_.I16(static_cast<std::int16_t>(boxHeight_));
    out_.U16(static_cast<std::uint16_t>(unitsPerInch_));
    out_.U32(0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= static_cast<std::uint16_t>(out_.Data()[i] | (out_.Data()[i + 1] << 8));
    }
    out_.U16(checksum);

    out_.U16(1);  // memory metafile
    out_.U16(kHeaderSize / 2);
    out_.U16(0x0300);
    out_.U32(0);  // size in words, set by Finish
    out_.U16(0);  // objects, set by Finish
    out_.U32(0);  // largest record in words, set by Finish
    out_.U16(0);

    Begin(META_SETWINDOWORG);
    out_.I16(0);
    out_.I16(0);
    End();
    Begin(META_SETWINDOWEXT);
    out_.I16(static_cast<std::int16_t>(boxHeight_));
    out_.I16(static_cast<std::int16_t>(boxWidth_));
    End();
}

std::int16_t WmfWriter::X(double x) const {
    return Clamp16(x * scaleX_);
}

std::int16_t WmfWriter::Y(double y) const {
    return Clamp16(y * scaleY_);
}

void WmfWriter::Begin(std::uint16_t function) {
    StartRecord();
    out_.U32(0);
    out_.U16(function);
}

void WmfWriter::End() {
    if (out_.Size() % 2 != 0) {
        out_.U8(0);
    }
    const auto words = static_cast<std::uint32_t>((out_.Size() - RecordStart()) / 2);
    out_.PatchU32(RecordStart(), words);
    maxRecordWords_ = std::max(maxRecordWords_, words);
}

// GDI's order for rectangles: bottom, right, top, left.
void WmfWriter::Box(int left, int top, int right, int bottom) {
    out_.I16(Y(bottom));
    out_.I16(X(right));
    out_.I16(Y(top));
    out_.I16(X(left));
}

void WmfWriter::EmitCreatePen(int /*slot*/, const Pen& pen) {
    Begin(META_CREATEPENINDIRECT);
    out_.U16(pen.width > 1 ? 0 : PS_ENDCAP_FLAT | PS_JOIN_MITER);  // round caps and joins are 0
    out_.I16(static_cast<std::int16_t>(std::max<int>(1, X(pen.width))));
    out_.I16(0);
    out_.U32(ColorRef(pen.color));
    End();
}

void WmfWriter::EmitCreateBrush(int /*slot*/, Rgb color) {
    Begin(META_CREATEBRUSHINDIRECT);
    out_.U16(0);  // BS_SOLID
    out_.U32(ColorRef(color));
    out_.U16(0);
    End();
}

void WmfWriter::EmitCreateFont(int /*slot*/, const FontSpec& font) {
    Begin(META_CREATEFONTINDIRECT);
    out_.I16(static_cast<std::int16_t>(-std::max<int>(1, Y(std::max(1, font.pixelHeight)))));
    out_.I16(0);
    out_.I16(0);
    out_.I16(0);
    out_.I16(font.bold ? 700 : 400);
    out_.U8(font.italic ? 1 : 0);
    out_.U8(font.underline ? 1 : 0);
    out_.U8(font.strikeOut ? 1 : 0);
    out_.U8(static_cast<std::uint8_t>(font.charset));
    out_.Zeros(4);
    std::string face = EncodeCp1251(QString::fromStdString(font.face));
    face.resize(kFaceBytes - 1, '\0');
    out_.Bytes(face.data(), face.size());
    out_.U8(0);
    End();
}

void WmfWriter::EmitSelect(int slot) {
    Begin(META_SELECTOBJECT);
    out_.U16(static_cast<std::uint16_t>(slot));
    End();
}

void WmfWriter::EmitDelete(int slot) {
    Begin(META_DELETEOBJECT);
    out_.U16(static_cast<std::uint16_t>(slot));
    End();
}

void WmfWriter::EmitBkModeOpaque() {
    Begin(META_SETBKMODE);
    out_.U16(OPAQUE);
    out_.U16(0);
    End();
}

void WmfWriter::EmitBkColor(Rgb color) {
    Begin(META_SETBKCOLOR);
    out_.U32(ColorRef(color));
    End();
}

void WmfWriter::EmitTextColor(Rgb color) {
    Begin(META_SETTEXTCOLOR);
    out_.U32(ColorRef(color));
    End();
}

void WmfWriter::MoveRecord(std::uint16_t function, ClipPoint p) {
    Begin(function);
    out_.I16(Y(p.y));
    out_.I16(X(p.x));
    End();
    writtenPen_ = ClipPoint{static_cast<double>(X(p.x)), static_cast<double>(Y(p.y))};
}

void WmfWriter::EmitMoveTo(int x, int y) {
    pen_ = {static_cast<double>(x), static_cast<double>(y)};
    MoveRecord(META_MOVETO, pen_);
}

void WmfWriter::EmitLineTo(int x, int y) {
    const ClipPoint to{static_cast<double>(x), static_cast<double>(y)};
    const auto part = ClipSegment(pen_, to, reach_);
    pen_ = to;
    if (!part) {
        return;
    }
    const ClipPoint start{static_cast<double>(X(part->first.x)),
                          static_cast<double>(Y(part->first.y))};
    if (writtenPen_ != start) {
        MoveRecord(META_MOVETO, part->first);
    }
    MoveRecord(META_LINETO, part->second);
}

void WmfWriter::PolyRecord(std::uint16_t function, std::span<const ClipPoint> points) {
    // Longer lists do not fit the record's 16-bit count: split them where the pieces join.
    constexpr std::size_t kMaxPoints = 32767;
    if (points.size() > kMaxPoints && function == META_POLYLINE) {
        PolyRecord(function, points.first(kMaxPoints));
        PolyRecord(function, points.subspan(kMaxPoints - 1));
        return;
    }
    if (points.size() > kMaxPoints) {
        throw Error("Многоугольник из " + std::to_string(points.size()) +
                    " точек не помещается в метафайл WMF.");
    }
    if (points.empty()) {
        return;
    }
    Begin(function);
    out_.I16(static_cast<std::int16_t>(points.size()));
    for (const ClipPoint& p : points) {
        out_.I16(X(p.x));
        out_.I16(Y(p.y));
    }
    End();
}

void WmfWriter::Poly(std::uint16_t function, std::span<const IntPoint> points) {
    std::vector<ClipPoint> all;
    all.reserve(points.size());
    for (const IntPoint& p : points) {
        all.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    }
    if (function == META_POLYGON) {
        PolyRecord(function, ClipPolygon(all, reach_));
        return;
    }
    for (const std::vector<ClipPoint>& piece : ClipPolyline(all, reach_)) {
        PolyRecord(function, piece);
    }
}

void WmfWriter::EmitPolyline(std::span<const IntPoint> points) {
    Poly(META_POLYLINE, points);
}

void WmfWriter::EmitPolygon(std::span<const IntPoint> points) {
    Poly(META_POLYGON, points);
}

void WmfWriter::EmitRectangle(int left, int top, int right, int bottom) {
    Begin(META_RECTANGLE);
    Box(left, top, right, bottom);
    End();
}

void WmfWriter::EmitEllipse(int left, int top, int right, int bottom) {
    Begin(META_ELLIPSE);
    Box(left, top, right, bottom);
    End();
}

void WmfWriter::EmitFillRect(int left, int top, int right, int bottom) {
    Begin(META_PATBLT);
    out_.U32(PATCOPY);
    out_.I16(static_cast<std::int16_t>(Y(bottom) - Y(top)));
    out_.I16(static_cast<std::int16_t>(X(right) - X(left)));
    out_.I16(Y(top));
    out_.I16(X(left));
    End();
}

void WmfWriter::EmitText(int x, int y, const MeasuredText& text) {
    const QString& q = text.text;
    // One byte per character; the 16-bit length bounds the text.
    const std::string bytes = EncodeCp1251(q).substr(0, 32767);

    Begin(META_EXTTEXTOUT);
    out_.I16(Y(y));
    out_.I16(X(x));
    out_.I16(static_cast<std::int16_t>(bytes.size()));
    out_.U16(ETO_OPAQUE);
    out_.I16(X(x));
    out_.I16(Y(y));
    out_.I16(X(x + text.width));
    out_.I16(Y(y + text.height));
    out_.Bytes(bytes.data(), bytes.size());
    if (bytes.size() % 2 != 0) {
        out_.U8(0);
    }
    // The advance of each character in box units, from the rounded running position.
    int previous = X(x);
    std::size_t written = 0;
    for (qsizetype i = 0; i < q.size() && written < bytes.size(); ++i) {
        if (q.at(i).isHighSurrogate() && i + 1 < q.size()) {
            continue;  // the pair's advance is stored at its second unit
        }
        const int next = X(x + text.positions[static_cast<std::size_t>(i)]);
        out_.I16(static_cast<std::int16_t>(next - previous));
        previous = next;
        ++written;
    }
    End();
}

void WmfWriter::EmitEnd() {
    Begin(META_EOF);
    End();
    const auto words = static_cast<std::uint32_t>((out_.Size() - kPlaceableSize) / 2);
    out_.PatchU32(kPlaceableSize + 6, words);
    out_.PatchU16(kPlaceableSize + 10, static_cast<std::uint16_t>(TableSize()));
    out_.PatchU32(kPlaceableSize + 12, maxRecordWords_);
}

}  // namespace isotri
