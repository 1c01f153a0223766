#include "render/FontPreload.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>

#include "render/QtCanvas.h"

namespace isotri {
namespace {

// The first font may be asked for while the configuration is still being read on the other
// thread: it waits, and resolves and measures as any font does.
TEST(FontPreload, AFontAskedForWhileItReadsWaitsForIt) {
    PreloadFonts();
    PreloadFonts();
    const QFont font = QtCanvas::ToQFont(FontSpec{});
    const QString family = QFontInfo(font).family();
    EXPECT_TRUE(family.contains("Liberation Sans") || family.contains("Arial"))
        << family.toStdString();
    EXPECT_GT(QFontMetricsF(font).horizontalAdvance(QStringLiteral("0,25")), 0);
    AwaitFontPreload();
    AwaitFontPreload();
}

}  // namespace
}  // namespace isotri
