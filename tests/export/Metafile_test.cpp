#include "export/Metafile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/Error.h"
#include "support/MetafileReader.h"
#include "support/SmallPlot.h"

namespace isotri {
namespace {

using testing::SmallPlot;

template <typename Records>
std::vector<std::u16string> Texts(const Records& records) {
    std::vector<std::u16string> texts;
    for (const auto& r : records) {
        if (r.type == 84) {  // EMR_EXTTEXTOUTW
            texts.push_back(r.view.Utf16(r.view.U32(48), r.view.U32(44)));
        }
    }
    return texts;
}

TEST(RenderToMetafile, RecordsThePictureAtItsSizeOnTheReferenceScreen) {
    SmallPlot plot;
    PictureInput input = plot.Input();
    input.screen = {2000, 1000, 500, 250};
    const auto emf = RenderToMetafile(input);
    ASSERT_TRUE(emf.has_value());
    const auto records = test::ReadEmf(*emf);
    EXPECT_EQ(records.front().view.I32(32), 5000);  // 200 px of 0.25 mm
    EXPECT_EQ(records.front().view.I32(36), 5000);
    EXPECT_TRUE(plot.sink.messages.empty());

    // Triangle filled, the isoline, its label, the scales and the vertex names.
    EXPECT_EQ(test::Count(records, 86), 1);  // EMR_POLYGON16
    EXPECT_EQ(test::Count(records, 42), 6);  // EMR_ELLIPSE: two per axis
    const auto texts = Texts(records);
    for (const std::u16string expected : {u"0,5", u"A", u"B", u"C", u"0,3", u"0,7"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end());
    }
}

TEST(RenderToMetafile, TheCopyCarriesTheExtremesWhenGiven) {
    SmallPlot plot;
    const PlotExtremes extremes{{0.1, {0, 0, 1}, 60, 140}, {0.9, {1, 0, 0}, 100, 100}};
    PictureInput input = plot.Input();
    input.extremes = &extremes;
    const auto emf = RenderToMetafile(input);
    ASSERT_TRUE(emf.has_value());
    const auto records = test::ReadEmf(*emf);
    EXPECT_EQ(test::Count(records, 86), 3);  // the triangle and the two marks
    const auto texts = Texts(records);
    for (const std::u16string expected : {u"мин 0,1", u"макс 0,9"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end());
    }
}

TEST(RenderToMetafile, WmfHoldsTheSamePicture) {
    SmallPlot plot;
    const auto wmf = RenderToWmf(plot.Input());
    ASSERT_TRUE(wmf.has_value());
    const auto file = test::ReadWmf(*wmf);
    EXPECT_EQ(file.placeable.U32(0), 0x9AC6CDD7U);
    EXPECT_EQ(test::Count(file.records, 0x0A32),
              1 + 3 + 3 * 2 * 2);  // label, names, two values at each of two ticks a side
}

TEST(RenderToMetafile, NothingWithoutASetOrWithBadGeometry) {
    SmallPlot plot;
    PictureInput input = plot.Input();
    input.set = nullptr;
    EXPECT_FALSE(RenderToMetafile(input).has_value());
    EXPECT_TRUE(plot.sink.messages.empty());

    plot.settings.EGlobalZoom = "1.0";  // a full stop in a comma locale
    EXPECT_FALSE(RenderToMetafile(plot.Input()).has_value());
    EXPECT_FALSE(RenderToWmf(plot.Input()).has_value());
    EXPECT_EQ(plot.sink.messages.size(), 2U);
}

TEST(RenderToMetafile, ABadLevelTextReachesTheCaller) {
    SmallPlot plot;
    std::strcpy(plot.label.Text, "abc");
    EXPECT_THROW(RenderToMetafile(plot.Input()), Error);
}

TEST(MetafileMimeData, HoldsOnlyTheMetafileUnderItsNames) {
    const QByteArray emf("\x01\x00\x00\x00 pretend", 12);
    const auto data = MetafileMimeData(emf);
    EXPECT_EQ(data->formats(),
              (QStringList{QStringLiteral("application/x-openoffice-emf;"
                                          "windows_formatname=\"Image EMF\""),
                           QStringLiteral("image/x-emf"), QStringLiteral("image/emf")}));
    for (const QString& format : data->formats()) {
        EXPECT_EQ(data->data(format), emf);
    }
    EXPECT_FALSE(data->hasImage());
    EXPECT_FALSE(data->hasText());
}

}  // namespace
}  // namespace isotri
