// Everything that decides how the picture looks, as the Format dialog holds it at the moment of
// drawing. Fields are named after the dialog's components.
#pragma once

#include <string>

#include "common/NumberText.h"
#include "render/Canvas.h"

namespace isotri {

// Ranges of the spin edits; a value outside reads as the minimum.
struct SpinRange {
    int min;
    int max;
};

struct AppearanceSettings {
    static constexpr SpinRange kViewSizeRange{32, 2048};  // SEViewWidth, SEViewHeight
    static constexpr SpinRange kPenWidthRange{1, 10};     // SEBoundW, SEGridW, SEAxesW, SELineW
    static constexpr SpinRange kPageSizeRange{64, 100000000};  // SEPageWidth, SEPageHeight
    static constexpr int kPageSizeDefault = 100;

    // View (read by the plot command, not by the renderer).
    int SEViewWidth = 800;
    int SEViewHeight = 740;

    // Plot area.
    bool CBBound = true;
    Rgb BoundBox{0, 0, 0};
    int SEBoundW = 2;
    bool CBFill = true;
    Rgb FillBox{255, 255, 255};

    // Grid.
    bool CBGrid = true;
    Rgb GridBox{0, 0, 0};
    int SEGridW = 1;

    // Axes.
    bool CBAxes = true;
    Rgb AxesBox{0, 0, 0};
    int SEAxesW = 1;
    bool CBLabels = true;
    FontSpec LabelFont{.pixelHeight = 24};  // LabelFontDialog
    std::string SLabForm = "%1.1f";

    // Isoline series.
    Rgb LineBox{0, 0, 0};
    int SELineW = 2;
    bool CBTics = true;
    FontSpec TicsFont{.pixelHeight = 21};  // TicsFontDialog
    std::string STicksForm = "%2.3g";

    // Background.
    bool CBFillB = false;
    Rgb BackBox{255, 255, 255};

    // Vertex names; an empty name is not drawn.
    std::string LabelA = "A";
    std::string LabelB = "B";
    std::string LabelC = "C";
    FontSpec PointsFont{.pixelHeight = 24};  // PointsFontDialog

    // Fine geometry, as typed: parsed with the locale's separator at every drawing.
    std::string EGlobalZoom;
    std::string Eaoscale;
    std::string ELabelOffset;
    std::string Etickslen;

    // Defaults, with the geometry texts written with the locale's separator.
    static AppearanceSettings Defaults(const NumberText& numbers);
};

}  // namespace isotri
