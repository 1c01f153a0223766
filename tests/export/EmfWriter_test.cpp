#include "export/EmfWriter.h"

#include <gtest/gtest.h>

#include "support/MetafileReader.h"

namespace isotri {
namespace {

using test::Count;
using test::First;
using test::Kinds;
using test::ReadEmf;

enum : std::uint32_t {
    kHeader = 1,
    kPolyline = 4,
    kEof = 14,
    kSetBkMode = 18,
    kSetTextColor = 24,
    kSetBkColor = 25,
    kMoveTo = 27,
    kSelect = 37,
    kCreateBrush = 39,
    kDelete = 40,
    kEllipse = 42,
    kRectangle = 43,
    kLineTo = 54,
    kBitBlt = 76,
    kCreateFont = 82,
    kTextOut = 84,
    kPolygon16 = 86,
    kPolyline16 = 87,
    kCreatePen = 95,
};

const ScreenMetrics kScreen{1920, 1080, 508, 286};

TEST(EmfWriter, HeaderCountsAndSizesAgreeWithTheRecords) {
    EmfWriter emf(800, 740, kScreen);
    emf.SetPenColor({1, 2, 3});
    emf.MoveTo(0, 0);
    emf.LineTo(10, 10);
    emf.SetBrushColor({9, 9, 9});
    emf.Rectangle(1, 2, 3, 4);
    const QByteArray file = emf.Finish();
    const auto records = ReadEmf(file);

    ASSERT_GE(records.size(), 2U);
    const auto& h = records.front().view;
    EXPECT_EQ(records.front().type, kHeader);
    EXPECT_EQ(h.Size(), 108U);
    EXPECT_EQ(h.I32(8), 0);  // bounds: the picture, inclusive
    EXPECT_EQ(h.I32(16), 799);
    EXPECT_EQ(h.I32(20), 739);
    EXPECT_EQ(h.I32(24), 0);            // frame, hundredths of a millimetre
    EXPECT_EQ(h.I32(32), 21167);        // 800 * 50800 / 1920 = 21166.67
    EXPECT_EQ(h.I32(36), 19596);        // 740 * 28600 / 1080 = 19596.30
    EXPECT_EQ(h.U32(40), 0x464D4520U);  // " EMF"
    EXPECT_EQ(h.U32(44), 0x00010000U);
    EXPECT_EQ(h.U32(48), static_cast<std::uint32_t>(file.size()));
    EXPECT_EQ(h.U32(52), records.size());
    EXPECT_EQ(h.U16(56), 3);  // slot 0 reserved, pen 1, brush 2
    EXPECT_EQ(h.I32(72), 1920);
    EXPECT_EQ(h.I32(76), 1080);
    EXPECT_EQ(h.I32(80), 508);
    EXPECT_EQ(h.I32(84), 286);
    EXPECT_EQ(h.U32(100), 508000U);
    EXPECT_EQ(h.U32(104), 286000U);

    const auto& eof = records.back();
    EXPECT_EQ(eof.type, kEof);
    EXPECT_EQ(eof.view.Size(), 20U);
    EXPECT_EQ(eof.view.U32(16), 20U);
}

TEST(EmfWriter, AScreenWithoutASizeCountsAs96PixelsPerInch) {
    const auto records = ReadEmf(EmfWriter(96, 48, ScreenMetrics{0, 0, 0, 0}).Finish());
    const auto& h = records.front().view;
    EXPECT_EQ(h.I32(32), 2540);
    EXPECT_EQ(h.I32(36), 1270);
    EXPECT_EQ(h.I32(72) * 254, h.I32(80) * 960);
    EXPECT_GT(h.I32(84), 0);
}

TEST(EmfWriter, ObjectsAreCreatedWhenDrawnAndTakeTheLowestFreeHandle) {
    EmfWriter emf(100, 100, kScreen);
    emf.SetPenWidth(3);
    emf.SetPenColor({255, 0, 0});
    emf.SetBrushColor({0, 255, 0});
    const IntPoint triangle[] = {{10, 1}, {20, 30}, {-5, 30}};
    emf.Polygon(triangle);
    emf.SetPenWidth(1);  // replaces pen 1 by a new pen in slot 3
    emf.LineTo(4, 5);
    emf.SetPenWidth(2);  // slot 1 is free again
    emf.LineTo(6, 7);
    const auto records = ReadEmf(emf.Finish());

    const std::vector<std::uint32_t> expected = {
        kHeader, kCreatePen, kSelect, kCreateBrush, kSelect, kPolygon16, kCreatePen,
        kSelect, kDelete,    kLineTo, kCreatePen,   kSelect, kDelete,    kLineTo,
        kSelect, kSelect,    kSelect, kDelete,      kDelete, kEof};
    ASSERT_EQ(Kinds(records), expected);

    const auto& pen = records[1].view;
    EXPECT_EQ(pen.Size(), 52U);
    EXPECT_EQ(pen.U32(8), 1U);            // handle
    EXPECT_EQ(pen.U32(28), 0x00010000U);  // geometric, round caps and joins
    EXPECT_EQ(pen.U32(32), 3U);
    EXPECT_EQ(pen.U32(40), 0x0000FFU);
    EXPECT_EQ(records[2].view.U32(8), 1U);
    const auto& brush = records[3].view;
    EXPECT_EQ(brush.U32(8), 2U);
    EXPECT_EQ(brush.U32(16), 0x00FF00U);

    const auto& poly = records[5].view;
    EXPECT_EQ(poly.Size(), 28U + 3 * 4);
    EXPECT_EQ(poly.I32(8), -5);  // bounds
    EXPECT_EQ(poly.I32(12), 1);
    EXPECT_EQ(poly.I32(16), 20);
    EXPECT_EQ(poly.I32(20), 30);
    EXPECT_EQ(poly.U32(24), 3U);
    EXPECT_EQ(poly.I16(36), -5);
    EXPECT_EQ(poly.I16(38), 30);

    const auto& thin = records[6].view;
    EXPECT_EQ(thin.U32(8), 3U);
    EXPECT_EQ(thin.U32(28), 0x00012200U);    // geometric, flat caps, mitred joins
    EXPECT_EQ(records[8].view.U32(8), 1U);   // the old pen goes after the new one is selected
    EXPECT_EQ(records[10].view.U32(8), 1U);  // lowest free slot
    EXPECT_EQ(records[12].view.U32(8), 3U);

    // The end selects stock objects and deletes what is still alive.
    EXPECT_EQ(records[14].view.U32(8), 0x80000007U);
    EXPECT_EQ(records[17].view.U32(8), 1U);
    EXPECT_EQ(records[18].view.U32(8), 2U);
}

TEST(EmfWriter, UnchangedStateCreatesNothingNew) {
    EmfWriter emf(100, 100, kScreen);
    emf.SetPenColor({1, 1, 1});
    emf.LineTo(1, 1);
    emf.SetPenColor({2, 2, 2});
    emf.SetPenColor({1, 1, 1});
    emf.LineTo(2, 2);
    EXPECT_EQ(Count(ReadEmf(emf.Finish()), kCreatePen), 1);
}

TEST(EmfWriter, ShapesAndCoordinatesBeyond16BitsUseWideRecords) {
    EmfWriter emf(100, 100, kScreen);
    const IntPoint wide[] = {{0, 0}, {40000, -3}, {5, 6}};
    emf.Polyline(wide);
    const IntPoint odd[] = {{1, 2}, {3, 4}, {5, 6}};
    emf.Polyline(odd);
    emf.MoveTo(-7, 8);
    emf.Ellipse(1, 2, 5, 6);
    emf.Rectangle(10, 20, 30, 40);
    emf.FillRect(0, 0, 100, 50);
    const auto records = ReadEmf(emf.Finish());

    const auto polyline = First(records, kPolyline);
    EXPECT_EQ(polyline.Size(), 28U + 3 * 8);
    EXPECT_EQ(polyline.I32(36), 40000);
    EXPECT_EQ(polyline.I32(40), -3);
    const auto polyline16 = First(records, kPolyline16);
    EXPECT_EQ(polyline16.Size(), 28U + 3 * 4);
    const auto move = First(records, kMoveTo);
    EXPECT_EQ(move.I32(8), -7);
    EXPECT_EQ(move.I32(12), 8);
    const auto ellipse = First(records, kEllipse);
    EXPECT_EQ(ellipse.I32(8), 1);
    EXPECT_EQ(ellipse.I32(20), 6);
    const auto rect = First(records, kRectangle);
    EXPECT_EQ(rect.I32(16), 30);
    const auto blt = First(records, kBitBlt);
    EXPECT_EQ(blt.Size(), 100U);
    EXPECT_EQ(blt.I32(24), 0);    // destination
    EXPECT_EQ(blt.I32(32), 100);  // width
    EXPECT_EQ(blt.I32(36), 50);   // height
    EXPECT_EQ(blt.U32(40), 0x00F00021U);
    EXPECT_EQ(blt.U32(92), 0U);  // no source bitmap
}

TEST(EmfWriter, OpaqueTextCarriesItsFontCellAndAdvances) {
    EmfWriter emf(400, 300, kScreen);
    const FontSpec font{
        .face = "Arial", .pixelHeight = 24, .color = {10, 20, 30}, .bold = true, .italic = true};
    emf.SetFont(font);
    emf.SetBrushColor({200, 100, 50});
    const std::string text = "Аб 1,5";
    const int w = emf.TextWidth(text);
    const int h = emf.TextHeight(text);
    emf.TextOut(10, 20, text);
    const auto records = ReadEmf(emf.Finish());

    const auto f = First(records, kCreateFont);
    EXPECT_EQ(f.Size(), 332U);
    EXPECT_EQ(f.I32(12), -24);
    EXPECT_EQ(f.I32(28), 700);
    EXPECT_EQ(f.U8(32), 1);  // italic
    EXPECT_EQ(f.U8(35), 204);
    EXPECT_EQ(f.Utf16(40, 6), std::u16string(u"Arial\0", 6));
    EXPECT_EQ(First(records, kSetBkMode).U32(8), 2U);
    EXPECT_EQ(First(records, kSetBkColor).U32(8), 0x3264C8U);
    EXPECT_EQ(First(records, kSetTextColor).U32(8), 0x1E140AU);

    const auto t = First(records, kTextOut);
    EXPECT_EQ(t.I32(36), 10);  // reference point
    EXPECT_EQ(t.I32(40), 20);
    const std::uint32_t chars = t.U32(44);
    ASSERT_EQ(chars, 6U);
    EXPECT_EQ(t.Utf16(t.U32(48), chars), u"Аб 1,5");
    EXPECT_EQ(t.U32(52), 2U);  // ETO_OPAQUE
    EXPECT_EQ(t.I32(56), 10);  // the cell
    EXPECT_EQ(t.I32(60), 20);
    EXPECT_EQ(t.I32(64), 10 + w);
    EXPECT_EQ(t.I32(68), 20 + h);
    int sum = 0;
    for (std::uint32_t i = 0; i < chars; ++i) {
        const int dx = t.I32(t.U32(72) + 4 * i);
        EXPECT_GT(dx, 0);
        sum += dx;
    }
    EXPECT_EQ(sum, w);
    EXPECT_EQ(t.Size(), 76U + 12 + 6 * 4);
}

}  // namespace
}  // namespace isotri
