#include "export/PngWriter.h"

#include <gtest/gtest.h>

#include <zlib.h>
#include <QImage>
#include <cstdint>
#include <vector>

namespace isotri {
namespace {

// Every pixel differs from its neighbours, so a swapped channel or a shifted row shows.
QImage Pattern(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(
                x, y, qRgb((x * 37 + y * 11) & 255, (x * 5 + y * 73) & 255, (x ^ (y * 3)) & 255));
        }
    }
    return image;
}

QImage GreyPattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int v = (x * 29 + y * 53) & 255;
            image.setPixel(x, y, qRgb(v, v, v));
        }
    }
    return image;
}

std::uint32_t BigEndian(const QByteArray& bytes, qsizetype at) {
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    }
    return value;
}

// Whether the IDAT chunks' contents inflate, by zlib itself, which checks the stream's Adler-32,
// to exactly the rows the header announces. Chunk CRCs are checked on the way.
bool RowsInflate(const QByteArray& png) {
    QByteArray stream;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = BigEndian(png, at);
        const QByteArray typeAndData = png.mid(at + 4, 4 + length);
        const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()),
                               static_cast<uInt>(typeAndData.size()));
        EXPECT_EQ(crc, BigEndian(png, at + 8 + length)) << typeAndData.left(4).constData();
        if (typeAndData.startsWith("IDAT")) {
            stream += typeAndData.mid(4);
        }
        at += 12 + length;
    }
    const std::size_t channels = png[25] == 0 ? 1 : 3;  // IHDR colour type
    const std::size_t expected = BigEndian(png, 20) * (1 + BigEndian(png, 16) * channels);
    std::vector<unsigned char> rows(expected + 1);
    uLongf size = static_cast<uLongf>(rows.size());
    return uncompress(rows.data(), &size, reinterpret_cast<const Bytef*>(stream.constData()),
                      static_cast<uLong>(stream.size())) == Z_OK &&
           size == expected;
}

// Sizes on both sides of the point where the rows are compressed in two halves, odd heights,
// single rows and columns.
TEST(EncodePng, ReadsBackPixelForPixel) {
    struct Case {
        int width;
        int height;
        QImage::Format format;
    };
    for (const Case& c :
         {Case{1, 1, QImage::Format_RGB32}, Case{7, 3, QImage::Format_RGB32},
          Case{2048, 2, QImage::Format_RGB32}, Case{3, 700, QImage::Format_RGB32},
          Case{5, 4, QImage::Format_ARGB32_Premultiplied}, Case{5, 4, QImage::Format_RGB888},
          Case{255, 257, QImage::Format_RGB32}, Case{256, 256, QImage::Format_RGB32},
          Case{257, 255, QImage::Format_RGB32}, Case{16384, 5, QImage::Format_RGB32},
          Case{1, 65537, QImage::Format_RGB32}, Case{800, 740, QImage::Format_RGB32}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " format " << c.format);
        const QImage image = Pattern(c.width, c.height, c.format);
        QByteArray bytes;
        std::string error;
        ASSERT_TRUE(EncodePng(image, bytes, error)) << error;
        QImage back;
        ASSERT_TRUE(back.loadFromData(bytes, "PNG"));
        EXPECT_FALSE(back.hasAlphaChannel());
        EXPECT_EQ(back.dotsPerMeterX(), kPngDotsPerMeter);
        EXPECT_EQ(back.dotsPerMeterY(), kPngDotsPerMeter);
        ASSERT_EQ(back.size(), image.size());
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32),
                  image.convertToFormat(QImage::Format_RGB32));
        EXPECT_TRUE(RowsInflate(bytes));
    }
}

// A grey picture goes out as one byte a pixel; one pixel off grey by one in any channel keeps the
// whole picture in colour: the first or last of either half of a large picture, the last of a
// small one.
TEST(EncodePng, GreyOnlyWhenEveryPixelIsGrey) {
    struct Case {
        int width;
        int height;
        int tintX;  // -1: none
        int tintY;
        QRgb tint;  // xor-ed into the pixel
    };
    constexpr QRgb kRed = 0x010000, kGreen = 0x000100, kBlue = 0x000001;
    for (const Case& c :
         {Case{9, 5, -1, 0, 0}, Case{9, 5, 8, 4, kBlue}, Case{9, 5, 0, 0, kRed},
          Case{400, 301, -1, 0, 0}, Case{400, 301, 399, 149, kGreen}, Case{400, 301, 0, 150, kRed},
          Case{400, 301, 399, 300, kBlue}, Case{400, 301, 0, 0, kGreen}}) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << " tint at " << c.tintX << "," << c.tintY);
        QImage image = GreyPattern(c.width, c.height);
        if (c.tintX >= 0) {
            image.setPixel(c.tintX, c.tintY, image.pixel(c.tintX, c.tintY) ^ c.tint);
        }
        const bool grey = c.tintX < 0;
        QByteArray bytes;
        std::string error;
        ASSERT_TRUE(EncodePng(image, bytes, error)) << error;
        ASSERT_GT(bytes.size(), 25);
        constexpr char kGrey = 0;  // IHDR colour type
        constexpr char kRgb = 2;
        EXPECT_EQ(bytes[25], grey ? kGrey : kRgb);
        QImage back;
        ASSERT_TRUE(back.loadFromData(bytes, "PNG"));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
        EXPECT_TRUE(RowsInflate(bytes));
    }
}

TEST(EncodePng, KeepsWhatTheBufferHeld) {
    QByteArray bytes("head");
    std::string error;
    ASSERT_TRUE(EncodePng(Pattern(4, 4, QImage::Format_RGB32), bytes, error)) << error;
    EXPECT_TRUE(bytes.startsWith("head\x89PNG"));
}

TEST(EncodePng, RefusesAnEmptyImageWithAReason) {
    QByteArray bytes;
    std::string error;
    EXPECT_FALSE(EncodePng(QImage(), bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(bytes.isEmpty());
}

}  // namespace
}  // namespace isotri
