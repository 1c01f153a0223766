#include "export/MetafileSupport.h"

#include <gtest/gtest.h>

namespace isotri {
namespace {

TEST(FrameOf, ScalesPixelsToHundredthsOfAMillimetreWithRounding) {
    struct Case {
        int w, h;
        ScreenMetrics screen;
        int frameW, frameH;
    };
    const Case cases[] = {
        {800, 740, {1920, 1080, 508, 286}, 21167, 19596},
        {1, 1, {3, 3, 1, 1}, 33, 33},  // 33.3 down
        {1, 1, {8, 8, 1, 1}, 13, 13},  // 12.5 up
        {2048, 2048, {1, 1, 1000, 1000}, 204800000, 204800000},
        {96, 96, {0, 0, 0, 0}, 2540, 2540},  // a screen without a size counts as 96 dpi
    };
    for (const Case& c : cases) {
        const FrameSize f = FrameOf(c.w, c.h, c.screen);
        EXPECT_EQ(f.width, c.frameW) << c.w << " on " << c.screen.widthPixels;
        EXPECT_EQ(f.height, c.frameH) << c.h << " on " << c.screen.heightPixels;
    }
}

TEST(EncodeCp1251, MapsCyrillicAndPunctuationAndMarksTheRest) {
    EXPECT_EQ(EncodeCp1251(QStringLiteral("AZaz09 ,.")), "AZaz09 ,.");
    EXPECT_EQ(EncodeCp1251(QStringLiteral("АЯаяЁё№€")), "\xC0\xDF\xE0\xFF\xA8\xB8\xB9\x88");
    EXPECT_EQ(EncodeCp1251(QStringLiteral("Ґґ«»—")), "\xA5\xB4\xAB\xBB\x97");
    EXPECT_EQ(EncodeCp1251(QString::fromUtf8("漢\xF0\x9F\x98\x80")), "??");
}

TEST(TextMeasure, PositionsEndAtTheWidthAndGrow) {
    const TextMeasure m(FontSpec{.pixelHeight = 20});
    const QString text = QString::fromUtf8("Ab\xF0\x9F\x98\x80z");
    const auto positions = m.Positions(text);
    ASSERT_EQ(positions.size(), 5U);
    EXPECT_DOUBLE_EQ(positions.back(), m.Width(text));
    EXPECT_GE(m.Width(text), 30);
    EXPECT_EQ(positions[2], positions[1]);  // the surrogate pair's first half advances nothing
    for (std::size_t i = 1; i < positions.size(); ++i) {
        EXPECT_GE(positions[i], positions[i - 1]);
    }
    EXPECT_GE(m.Height(), 20);
}

}  // namespace
}  // namespace isotri
