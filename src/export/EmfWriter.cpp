#include "export/EmfWriter.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace isotri {

namespace {

enum : std::uint32_t {
    EMR_HEADER = 1,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_EOF = 14,
    EMR_SETBKMODE = 18,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_LINETO = 54,
    EMR_BITBLT = 76,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_EXTCREATEPEN = 95,
};

constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
[[maybe_unused]] constexpr std::uint32_t kHeaderSize = 108;
constexpr std::uint32_t PS_GEOMETRIC = 0x00010000;
constexpr std::uint32_t PS_ENDCAP_FLAT = 0x00000200;
constexpr std::uint32_t PS_JOIN_MITER = 0x00002000;
constexpr std::uint32_t BS_SOLID = 0;
constexpr std::uint32_t OPAQUE = 2;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t ETO_OPAQUE = 0x0002;
constexpr std::uint32_t GM_COMPATIBLE = 1;
constexpr std::uint32_t kStock = 0x80000000;
constexpr std::uint32_t WHITE_BRUSH = kStock | 0;
constexpr std::uint32_t BLACK_PEN = kStock | 7;
constexpr std::uint32_t SYSTEM_FONT = kStock | 13;
constexpr std::size_t kLogFontFaceChars = 32;
constexpr std::size_t kLogFontExTail = 320 - 92;  // full name, style, script, panose: all empty

bool Fits16(std::span<const IntPoint> points) {
    constexpr int lo = std::numeric_limits<std::int16_t>::min();
    constexpr int hi = std::numeric_limits<std::int16_t>::max();
    return std::all_of(points.begin(), points.end(), [](const IntPoint& p) {
        return p.x >= lo && p.x <= hi && p.y >= lo && p.y <= hi;
    });
}

}  // namespace

EmfWriter::EmfWriter(int width, int height, const ScreenMetrics& screen)
    : GdiRecorder(1),
      width_(std::max(1, width)),
      height_(std::max(1, height)),
      screen_(UsableScreen(screen)) {
    const FrameSize frame = FrameOf(width_, height_, screen_);
    const ScreenMetrics& s = screen_;
    Begin(EMR_HEADER);
    Rect(0, 0, width_ - 1, height_ - 1);  // bounds, inclusive, in pixels
    Rect(0, 0, frame.width, frame.height);
    out_.U32(kSignature);
    out_.U32(0x00010000);  // version
    out_.U32(0);           // bytes, set by Finish
    out_.U32(0);           // records, set by Finish
    out_.U16(0);           // handles, set by Finish
    out_.U16(0);
    out_.U32(0);  // no description
    out_.U32(0);
    out_.U32(0);  // no palette
    out_.I32(s.widthPixels);
    out_.I32(s.heightPixels);
    out_.I32(s.widthMm);
    out_.I32(s.heightMm);
    out_.U32(0);  // no pixel format
    out_.U32(0);
    out_.U32(0);  // not OpenGL
    out_.U32(static_cast<std::uint32_t>(s.widthMm) * 1000);
    out_.U32(static_cast<std::uint32_t>(s.heightMm) * 1000);
    End();
    assert(out_.Size() == kHeaderSize);
}

void EmfWriter::Begin(std::uint32_t type) {
    StartRecord();
    out_.U32(type);
    out_.U32(0);
}

void EmfWriter::End() {
    out_.PatchU32(RecordStart() + 4, static_cast<std::uint32_t>(out_.Size() - RecordStart()));
    ++records_;
}

void EmfWriter::Simple(std::uint32_t type, std::uint32_t value) {
    Begin(type);
    out_.U32(value);
    End();
}

void EmfWriter::Rect(int left, int top, int right, int bottom) {
    out_.I32(left);
    out_.I32(top);
    out_.I32(right);
    out_.I32(bottom);
}

void EmfWriter::EmitCreatePen(int slot, const Pen& pen) {
    Begin(EMR_EXTCREATEPEN);
    out_.U32(static_cast<std::uint32_t>(slot));
    out_.Zeros(16);  // no brush bitmap
    // Round caps and joins only where they show: on a one-pixel line they lengthen it.
    out_.U32(pen.width > 1 ? PS_GEOMETRIC : PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER);
    out_.U32(static_cast<std::uint32_t>(pen.width));
    out_.U32(BS_SOLID);
    out_.U32(ColorRef(pen.color));
    out_.U32(0);  // hatch
    out_.U32(0);  // no dash entries
    End();
}

void EmfWriter::EmitCreateBrush(int slot, Rgb color) {
    Begin(EMR_CREATEBRUSHINDIRECT);
    out_.U32(static_cast<std::uint32_t>(slot));
    out_.U32(BS_SOLID);
    out_.U32(ColorRef(color));
    out_.U32(0);
    End();
}

void EmfWriter::EmitCreateFont(int slot, const FontSpec& font) {
    Begin(EMR_EXTCREATEFONTINDIRECTW);
    out_.U32(static_cast<std::uint32_t>(slot));
    out_.I32(-std::max(1, font.pixelHeight));  // negative: character height, not cell height
    out_.I32(0);
    out_.I32(0);
    out_.I32(0);
    out_.I32(font.bold ? 700 : 400);
    out_.U8(font.italic ? 1 : 0);
    out_.U8(font.underline ? 1 : 0);
    out_.U8(font.strikeOut ? 1 : 0);
    out_.U8(static_cast<std::uint8_t>(font.charset));
    out_.Zeros(4);  // precisions, quality, pitch and family: defaults
    const std::u16string face = QString::fromStdString(font.face).toStdU16String();
    const std::size_t n = std::min(face.size(), kLogFontFaceChars - 1);
    for (std::size_t i = 0; i < kLogFontFaceChars; ++i) {
        out_.U16(i < n ? static_cast<std::uint16_t>(face[i]) : 0);
    }
    out_.Zeros(kLogFontExTail);
    End();
}

void EmfWriter::EmitSelect(int slot) {
    Simple(EMR_SELECTOBJECT, static_cast<std::uint32_t>(slot));
}

void EmfWriter::EmitDelete(int slot) {
    Simple(EMR_DELETEOBJECT, static_cast<std::uint32_t>(slot));
}

void EmfWriter::EmitBkModeOpaque() {
    Simple(EMR_SETBKMODE, OPAQUE);
}

void EmfWriter::EmitBkColor(Rgb color) {
    Simple(EMR_SETBKCOLOR, ColorRef(color));
}

void EmfWriter::EmitTextColor(Rgb color) {
    Simple(EMR_SETTEXTCOLOR, ColorRef(color));
}

void EmfWriter::EmitSelectStockObjects() {
    for (std::uint32_t stock : {BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT}) {
        Simple(EMR_SELECTOBJECT, stock);
    }
}

void EmfWriter::EmitMoveTo(int x, int y) {
    Begin(EMR_MOVETOEX);
    out_.I32(x);
    out_.I32(y);
    End();
}

void EmfWriter::EmitLineTo(int x, int y) {
    Begin(EMR_LINETO);
    out_.I32(x);
    out_.I32(y);
    End();
}

void EmfWriter::Poly(std::uint32_t type16, std::uint32_t type32, std::span<const IntPoint> points) {
    if (points.empty()) {
        return;
    }
    const bool small = Fits16(points);
    Begin(small ? type16 : type32);
    auto [minX, maxX] = std::minmax_element(points.begin(), points.end(),
                                            [](const auto& a, const auto& b) { return a.x < b.x; });
    auto [minY, maxY] = std::minmax_element(points.begin(), points.end(),
                                            [](const auto& a, const auto& b) { return a.y < b.y; });
    Rect(minX->x, minY->y, maxX->x, maxY->y);
    out_.U32(static_cast<std::uint32_t>(points.size()));
    for (const IntPoint& p : points) {
        if (small) {
            out_.I16(static_cast<std::int16_t>(p.x));
            out_.I16(static_cast<std::int16_t>(p.y));
        } else {
            out_.I32(p.x);
            out_.I32(p.y);
        }
    }
    End();
}

void EmfWriter::EmitPolyline(std::span<const IntPoint> points) {
    Poly(EMR_POLYLINE16, EMR_POLYLINE, points);
}

void EmfWriter::EmitPolygon(std::span<const IntPoint> points) {
    Poly(EMR_POLYGON16, EMR_POLYGON, points);
}

void EmfWriter::EmitRectangle(int left, int top, int right, int bottom) {
    Begin(EMR_RECTANGLE);
    Rect(left, top, right, bottom);
    End();
}

void EmfWriter::EmitEllipse(int left, int top, int right, int bottom) {
    Begin(EMR_ELLIPSE);
    Rect(left, top, right, bottom);
    End();
}

void EmfWriter::EmitFillRect(int left, int top, int right, int bottom) {
    Begin(EMR_BITBLT);
    Rect(left, top, right - 1, bottom - 1);
    out_.I32(left);
    out_.I32(top);
    out_.I32(right - left);
    out_.I32(bottom - top);
    out_.U32(PATCOPY);
    out_.I32(0);  // source origin
    out_.I32(0);
    out_.F32(1);  // identity source transform
    out_.F32(0);
    out_.F32(0);
    out_.F32(1);
    out_.F32(0);
    out_.F32(0);
    out_.U32(0);     // source background
    out_.U32(0);     // DIB_RGB_COLORS
    out_.Zeros(16);  // no source bitmap
    End();
}

void EmfWriter::EmitText(int x, int y, const MeasuredText& text) {
    const std::u16string units = text.text.toStdU16String();

    Begin(EMR_EXTTEXTOUTW);
    Rect(x, y, x + text.width - 1, y + text.height - 1);
    out_.U32(GM_COMPATIBLE);
    out_.F32(static_cast<float>(screen_.widthMm) * 100.0F /
             static_cast<float>(screen_.widthPixels));
    out_.F32(static_cast<float>(screen_.heightMm) * 100.0F /
             static_cast<float>(screen_.heightPixels));
    out_.I32(x);
    out_.I32(y);
    out_.U32(static_cast<std::uint32_t>(units.size()));
    const std::size_t fixed = 76;
    const std::size_t stringBytes = (units.size() * 2 + 3) / 4 * 4;
    out_.U32(static_cast<std::uint32_t>(fixed));
    out_.U32(ETO_OPAQUE);
    Rect(x, y, x + text.width, y + text.height);
    out_.U32(static_cast<std::uint32_t>(fixed + stringBytes));
    for (char16_t u : units) {
        out_.U16(static_cast<std::uint16_t>(u));
    }
    out_.Zeros(stringBytes - units.size() * 2);
    // Rounding the running position keeps the advances' sum on the measured width.
    int previous = 0;
    for (double p : text.positions) {
        const int next = RoundToInt(p);
        out_.I32(next - previous);
        previous = next;
    }
    End();
}

void EmfWriter::EmitEnd() {
    ReleaseObjects();
    Begin(EMR_EOF);
    out_.U32(0);   // no palette entries
    out_.U32(16);  // their offset
    out_.U32(20);  // this record's size, repeated last
    End();
    out_.PatchU32(48, static_cast<std::uint32_t>(out_.Size()));
    out_.PatchU32(52, records_);
    out_.PatchU16(56, static_cast<std::uint16_t>(TableSize()));
}

}  // namespace isotri
