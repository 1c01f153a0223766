#include "export/MetafileSupport.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

#include "render/QtCanvas.h"

namespace isotri {

void ByteBuffer::U16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteBuffer::U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
}

void ByteBuffer::F32(float v) {
    U32(std::bit_cast<std::uint32_t>(v));
}

void ByteBuffer::Bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

void ByteBuffer::PatchU16(std::size_t offset, std::uint16_t v) {
    bytes_.at(offset + 1) = static_cast<std::uint8_t>(v >> 8);
    bytes_[offset] = static_cast<std::uint8_t>(v);
}

void ByteBuffer::PatchU32(std::size_t offset, std::uint32_t v) {
    PatchU16(offset, static_cast<std::uint16_t>(v));
    PatchU16(offset + 2, static_cast<std::uint16_t>(v >> 16));
}

ScreenMetrics PrimaryScreenMetrics() {
    ScreenMetrics m;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return m;
    }
    const QSize pixels = screen->size();
    if (pixels.width() <= 0 || pixels.height() <= 0) {
        return m;
    }
    m.widthPixels = pixels.width();
    m.heightPixels = pixels.height();
    const QSizeF mm = screen->physicalSize();
    if (mm.width() >= 1 && mm.height() >= 1) {
        m.widthMm = RoundToInt(mm.width());
        m.heightMm = RoundToInt(mm.height());
    } else {
        m.widthMm = RoundToInt(m.widthPixels * 25.4 / 96);
        m.heightMm = RoundToInt(m.heightPixels * 25.4 / 96);
    }
    return m;
}

namespace {

// a * b / c, rounded half up; c > 0.
int MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c) {
    const std::int64_t n = a * b;
    const std::int64_t q = (2 * n + (n >= 0 ? c : -c)) / (2 * c);
    return static_cast<int>(std::clamp<std::int64_t>(q, INT_MIN, INT_MAX));
}

}  // namespace

ScreenMetrics UsableScreen(const ScreenMetrics& screen) {
    const bool valid = screen.widthPixels > 0 && screen.heightPixels > 0 && screen.widthMm > 0 &&
                       screen.heightMm > 0;
    return valid ? screen : ScreenMetrics{};
}

FrameSize FrameOf(int width, int height, const ScreenMetrics& screen) {
    const ScreenMetrics s = UsableScreen(screen);
    return {MulDivRound(width, std::int64_t{s.widthMm} * 100, s.widthPixels),
            MulDivRound(height, std::int64_t{s.heightMm} * 100, s.heightPixels)};
}

TextMeasure::TextMeasure(const FontSpec& font) : font_(QtCanvas::ToQFont(font)) {}

// Whole pixels upward, as the on-screen canvas measures, so that the cell holds the text.
int TextMeasure::Width(const QString& text) const {
    return static_cast<int>(std::ceil(QFontMetricsF(font_).horizontalAdvance(text)));
}

int TextMeasure::Height() const {
    return static_cast<int>(std::ceil(QFontMetricsF(font_).height()));
}

std::vector<double> TextMeasure::Positions(const QString& text) const {
    const QFontMetricsF metrics(font_);
    std::vector<double> positions(static_cast<std::size_t>(text.size()));
    double last = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text.at(i).isHighSurrogate() || i + 1 == text.size()) {
            last = metrics.horizontalAdvance(text.left(i + 1));
        }
        positions[static_cast<std::size_t>(i)] = last;
    }
    // Stretched a little so that the last one ends where the cell ends.
    if (last > 0) {
        const double stretch = Width(text) / last;
        for (double& p : positions) {
            p *= stretch;
        }
    }
    return positions;
}

namespace {

// Unicode of the bytes 0x80 to 0xBF; 0 marks the one unassigned byte (0x98).
constexpr std::array<char16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char Cp1251Byte(char32_t c) {
    if (c < 0x80) {
        return static_cast<char>(c);
    }
    if (c >= 0x0410 && c <= 0x044F) {
        return static_cast<char>(0xC0 + (c - 0x0410));
    }
    for (std::size_t i = 0; i < kCp1251High.size(); ++i) {
        if (kCp1251High[i] != 0 && kCp1251High[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

}  // namespace

std::string EncodeCp1251(const QString& text) {
    std::string out;
    for (const char32_t c : text.toUcs4()) {
        out.push_back(Cp1251Byte(c));
    }
    return out;
}

int RoundToInt(double v) {
    if (!(v > INT_MIN)) {
        return INT_MIN;
    }
    if (!(v < INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace isotri
