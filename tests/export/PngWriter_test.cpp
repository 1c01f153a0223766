#include "export/PngWriter.h"

#include <gtest/gtest.h>

#include <QImage>

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

TEST(EncodePng, ReadsBackPixelForPixel) {
    struct Case {
        int width;
        int height;
        QImage::Format format;
    };
    for (const Case& c :
         {Case{1, 1, QImage::Format_RGB32}, Case{7, 3, QImage::Format_RGB32},
          Case{2048, 2, QImage::Format_RGB32}, Case{3, 700, QImage::Format_RGB32},
          Case{5, 4, QImage::Format_ARGB32_Premultiplied}, Case{5, 4, QImage::Format_RGB888}}) {
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
    }
}

// A grey picture goes out as one byte a pixel; one coloured pixel anywhere, even the last,
// keeps the whole picture in colour.
TEST(EncodePng, GreyOnlyWhenEveryPixelIsGrey) {
    QImage grey(9, 5, QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            const int v = (x * 29 + y * 53) & 255;
            grey.setPixel(x, y, qRgb(v, v, v));
        }
    }
    QImage tinted = grey;
    tinted.setPixel(8, 4, qRgb(10, 10, 11));
    struct Case {
        const QImage* image;
        bool grey;
    };
    for (const Case& c : {Case{&grey, true}, Case{&tinted, false}}) {
        SCOPED_TRACE(c.grey ? "grey" : "tinted");
        QByteArray bytes;
        std::string error;
        ASSERT_TRUE(EncodePng(*c.image, bytes, error)) << error;
        ASSERT_GT(bytes.size(), 25);
        constexpr char kGrey = 0;  // IHDR colour type
        constexpr char kRgb = 2;
        EXPECT_EQ(bytes[25], c.grey ? kGrey : kRgb);
        QImage back;
        ASSERT_TRUE(back.loadFromData(bytes, "PNG"));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), *c.image);
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
