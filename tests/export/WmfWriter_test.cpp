#include "export/WmfWriter.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/Error.h"
#include "support/MetafileReader.h"

namespace isotri {
namespace {

using test::First;
using test::Kinds;
using test::ReadWmf;
using test::WmfRecord;

enum : std::uint16_t {
    kEof = 0x0000,
    kSetBkMode = 0x0102,
    kSelect = 0x012D,
    kDelete = 0x01F0,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kWindowOrg = 0x020B,
    kWindowExt = 0x020C,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kCreatePen = 0x02FA,
    kCreateFont = 0x02FB,
    kCreateBrush = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kRectangle = 0x041B,
    kPatBlt = 0x061D,
    kTextOut = 0x0A32,
};

// 0.25 mm per pixel: pixel coordinates times 25 in the file.
const ScreenMetrics kScreen{1000, 1000, 250, 250};

TEST(WmfWriter, PlaceableHeaderAndMetafileHeaderAgreeWithTheRecords) {
    WmfWriter wmf(800, 740, kScreen);
    wmf.SetPenWidth(2);
    wmf.LineTo(5, 5);
    wmf.SetBrushColor({1, 2, 3});
    wmf.Rectangle(0, 0, 4, 4);
    const QByteArray file = wmf.Finish();
    const auto w = ReadWmf(file);

    const auto& p = w.placeable;
    EXPECT_EQ(p.U32(0), 0x9AC6CDD7U);
    EXPECT_EQ(p.I16(6), 0);
    EXPECT_EQ(p.I16(8), 0);
    EXPECT_EQ(p.I16(10), 20000);  // 800 px * 0.25 mm
    EXPECT_EQ(p.I16(12), 18500);
    EXPECT_EQ(p.U16(14), 2540);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= p.U16(i);
    }
    EXPECT_EQ(p.U16(20), checksum);

    const auto& h = w.header;
    EXPECT_EQ(h.U16(0), 1);
    EXPECT_EQ(h.U16(2), 9);
    EXPECT_EQ(h.U16(4), 0x0300);
    EXPECT_EQ(h.U32(6), static_cast<std::uint32_t>(file.size() - 22) / 2);
    EXPECT_EQ(h.U16(10), 2);  // pen 0, brush 1
    std::uint32_t largest = 0;
    for (const auto& r : w.records) {
        largest = std::max(largest, r.words);
    }
    EXPECT_EQ(h.U32(12), largest);

    ASSERT_GE(w.records.size(), 3U);
    EXPECT_EQ(w.records[0].function, kWindowOrg);
    EXPECT_EQ(w.records[0].view.I16(6), 0);
    EXPECT_EQ(w.records[1].function, kWindowExt);
    EXPECT_EQ(w.records[1].view.I16(6), 18500);  // y first
    EXPECT_EQ(w.records[1].view.I16(8), 20000);
    EXPECT_EQ(w.records.back().function, kEof);
    EXPECT_EQ(w.records.back().words, 3U);
}

TEST(WmfWriter, DrawingRecordsAreScaledAndObjectsTakeTheLowestFreeSlot) {
    WmfWriter wmf(100, 100, kScreen);
    wmf.SetPenWidth(3);
    wmf.SetPenColor({255, 0, 0});
    wmf.MoveTo(1, 2);
    wmf.LineTo(3, 4);
    wmf.SetBrushColor({0, 0, 255});
    const IntPoint triangle[] = {{10, 0}, {20, 20}, {0, 20}};
    wmf.Polygon(triangle);
    wmf.SetPenWidth(1);
    const IntPoint line[] = {{0, 0}, {2000, 0}};  // 50000 hundredths: clamped to 16 bits
    wmf.Polyline(line);
    wmf.SetBrushColor({7, 7, 7});
    wmf.FillRect(2, 4, 6, 10);
    const auto w = ReadWmf(wmf.Finish());

    const std::vector<std::uint16_t> expected = {
        kWindowOrg,   kWindowExt,   kMoveTo,  kCreatePen, kSelect, kLineTo,
        kCreateBrush, kSelect,      kPolygon, kCreatePen, kSelect, kDelete,
        kPolyline,    kCreateBrush, kSelect,  kDelete,    kPatBlt, kEof};
    ASSERT_EQ(Kinds(w.records), expected);
    const auto& r = w.records;
    EXPECT_EQ(r[2].view.I16(6), 50);  // move: y, x
    EXPECT_EQ(r[2].view.I16(8), 25);
    EXPECT_EQ(r[3].view.U16(6), 0);   // round caps and joins
    EXPECT_EQ(r[3].view.I16(8), 75);  // pen width 3 px
    EXPECT_EQ(r[3].view.U32(12), 0xFFU);
    EXPECT_EQ(r[4].view.U16(6), 0);  // pen in slot 0
    EXPECT_EQ(r[6].view.U32(8), 0xFF0000U);
    EXPECT_EQ(r[7].view.U16(6), 1);  // brush in slot 1
    EXPECT_EQ(r[8].view.I16(6), 3);
    EXPECT_EQ(r[8].view.I16(8), 250);
    EXPECT_EQ(r[8].view.I16(18), 500);
    EXPECT_EQ(r[9].view.U16(6), 0x2200);  // one pixel: flat caps, mitred joins
    EXPECT_EQ(r[10].view.U16(6), 2);      // slots 0 and 1 are taken
    EXPECT_EQ(r[11].view.U16(6), 0);
    EXPECT_EQ(r[12].view.I16(12), 32767);
    EXPECT_EQ(r[14].view.U16(6), 0);  // slot 0 free again
    EXPECT_EQ(r[15].view.U16(6), 1);
    const auto& blt = r[16].view;
    EXPECT_EQ(blt.U32(6), 0x00F00021U);
    EXPECT_EQ(blt.I16(10), 150);  // height
    EXPECT_EQ(blt.I16(12), 100);  // width
    EXPECT_EQ(blt.I16(14), 100);  // top
    EXPECT_EQ(blt.I16(16), 50);   // left
}

TEST(WmfWriter, TextIsWindows1251WithItsCellAndAdvances) {
    WmfWriter wmf(400, 300, kScreen);
    wmf.SetFont(FontSpec{.face = "Arial", .pixelHeight = 20, .color = {0, 0, 128}});
    wmf.SetBrushColor({255, 255, 0});
    const std::string text = "Ёж 0,5";
    const int width = wmf.TextWidth(text);
    const int height = wmf.TextHeight(text);
    wmf.TextOut(8, 4, text);
    const auto w = ReadWmf(wmf.Finish());

    const auto font = First(w.records, kCreateFont);
    EXPECT_EQ(font.I16(6), -500);
    EXPECT_EQ(font.I16(14), 400);
    EXPECT_EQ(font.U8(19), 204);
    EXPECT_EQ(font.Bytes(24, 6), std::string("Arial\0", 6));
    EXPECT_EQ(First(w.records, kSetBkMode).U16(6), 2);
    EXPECT_EQ(First(w.records, kSetBkColor).U32(6), 0x00FFFFU);
    EXPECT_EQ(First(w.records, kSetTextColor).U32(6), 0x800000U);

    const auto t = First(w.records, kTextOut);
    EXPECT_EQ(t.I16(6), 100);  // y
    EXPECT_EQ(t.I16(8), 200);  // x
    ASSERT_EQ(t.I16(10), 6);
    EXPECT_EQ(t.U16(12), 2);  // ETO_OPAQUE
    EXPECT_EQ(t.I16(14), 200);
    EXPECT_EQ(t.I16(16), 100);
    EXPECT_EQ(t.I16(18), 200 + 25 * width);
    EXPECT_EQ(t.I16(20), 100 + 25 * height);
    EXPECT_EQ(t.Bytes(22, 6), "\xA8\xE6 0,5");
    int sum = 0;
    for (int i = 0; i < 6; ++i) {
        sum += t.I16(28 + 2 * i);
    }
    EXPECT_EQ(sum, 25 * width);
    EXPECT_EQ(t.Size(), 28U + 12);
}

TEST(WmfWriter, LongPolylinesSplitWhereTheyJoinAndOverlongPolygonsAreRefused) {
    WmfWriter wmf(100, 100, kScreen);
    std::vector<IntPoint> points(40000);
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i] = {static_cast<int>(i % 100), static_cast<int>(i / 400)};
    }
    wmf.Polyline(points);
    EXPECT_THROW(wmf.Polygon(points), Error);
    const auto w = ReadWmf(wmf.Finish());
    std::vector<const WmfRecord*> lines;
    for (const auto& r : w.records) {
        if (r.function == kPolyline) {
            lines.push_back(&r);
        }
    }
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0]->view.I16(6), 32767);
    EXPECT_EQ(lines[1]->view.I16(6), 40000 - 32767 + 1);
    const std::size_t last = 8 + 4 * 32766;
    EXPECT_EQ(lines[1]->view.I16(8), lines[0]->view.I16(last));
    EXPECT_EQ(lines[1]->view.I16(10), lines[0]->view.I16(last + 2));
}

// What a zoom of 4 does to the triangle's sides: lines reaching far beyond the picture. They are
// cut where 16-bit coordinates end, so every piece keeps its line's direction.
TEST(WmfWriter, LinesLeavingTheCoordinateRangeKeepTheirDirection) {
    WmfWriter wmf(800, 740, kScreen);  // 25 units a pixel: 16 bits reach 1310 pixels
    wmf.MoveTo(400, 370);
    wmf.LineTo(4000, 1270);
    wmf.LineTo(-3000, 2000);  // wholly outside: nothing drawn, the pen follows
    wmf.LineTo(400, 0);
    const IntPoint polyline[] = {{100, 100}, {100, 9000}, {700, 100}};
    wmf.Polyline(polyline);
    const auto w = ReadWmf(wmf.Finish());

    std::vector<std::pair<double, double>> ends;  // in pixels, as written
    for (const WmfRecord& r : w.records) {
        if (r.function == kMoveTo || r.function == kLineTo) {
            ends.emplace_back(r.view.I16(8) / 25.0, r.view.I16(6) / 25.0);
        }
        if (r.function == kPolyline) {
            for (int k = 0; k < r.view.I16(6); ++k) {
                ends.emplace_back(r.view.I16(8 + 4 * k) / 25.0, r.view.I16(10 + 4 * k) / 25.0);
            }
        }
    }
    // Each point lies on its line: x - 400 = 4 (y - 370) for the first, and so on.
    const double tolerance = 0.05;
    ASSERT_EQ(ends.size(), 8U);
    EXPECT_EQ(ends[0], (std::pair<double, double>{400, 370}));
    EXPECT_NEAR(ends[1].first, 32767 / 25.0, tolerance);
    EXPECT_NEAR(ends[1].first - 400, 4 * (ends[1].second - 370), 4 * tolerance);
    // Back from (-3000, 2000) to (400, 0): enters where x = -1310.68.
    EXPECT_NEAR(ends[2].first, -32767 / 25.0, tolerance);
    EXPECT_NEAR(ends[2].second, 2000 - 2000 * (ends[2].first + 3000) / 3400, tolerance * 2);
    EXPECT_EQ(ends[3], (std::pair<double, double>{400, 0}));
    // The polyline: (100, 100) down to the edge, then back up to (700, 100).
    EXPECT_EQ(ends[4], (std::pair<double, double>{100, 100}));
    EXPECT_NEAR(ends[5].second, 32767 / 25.0, tolerance);
    EXPECT_NEAR(ends[5].first, 100, tolerance);
    EXPECT_NEAR(ends[6].second, 32767 / 25.0, tolerance);
    EXPECT_NEAR(ends[6].first - 100, 600 * (9000 - ends[6].second) / 8900, tolerance * 2);
    EXPECT_EQ(ends[7], (std::pair<double, double>{700, 100}));
}

TEST(WmfWriter, APictureBeyond16BitHundredthsUsesCoarserUnits) {
    // 2048 px at 0.3 mm: 61440 hundredths of a millimetre.
    WmfWriter wmf(2048, 1024, ScreenMetrics{1000, 1000, 300, 300});
    const auto w = ReadWmf(wmf.Finish());
    EXPECT_EQ(w.placeable.I16(10), 30720);
    EXPECT_EQ(w.placeable.I16(12), 15360);
    EXPECT_EQ(w.placeable.U16(14), 1270);
    EXPECT_EQ(w.records[1].view.I16(8), 30720);
}

}  // namespace
}  // namespace isotri
