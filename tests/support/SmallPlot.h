// A small picture to save: one straight labelled isoline across a 200 x 200 triangle, with
// default settings in a comma locale and a temporary folder for the files.
#pragma once

#include <QTemporaryDir>
#include <cstring>
#include <string>

#include "export/PictureFile.h"
#include "support/RecordingMessageSink.h"

namespace isotri::testing {

inline constexpr float kUnitCorners[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

struct SmallPlot {
    TPoint3f points[2] = {{60, 120, 0}, {140, 120, 0}};
    std::int32_t piece[2] = {0, 1};
    std::int32_t length = 2;
    std::int32_t* indexes[1] = {piece};
    TLevelLabel label{};
    TIsolineLevel level{};
    TIsolineLevel* levels[1] = {&level};
    TIsolineSet set{};
    AppearanceSettings settings = AppearanceSettings::Defaults(NumberText(','));
    NumberText numbers{','};
    RecordingMessageSink sink;
    QTemporaryDir dir;

    SmallPlot() {
        set.Vertices[0] = {100, 20, 0};
        set.Vertices[1] = {180, 160, 0};
        set.Vertices[2] = {20, 160, 0};
        set.LevelCount = 1;
        set.Levels = levels;
        level.PolylineCount = 1;
        level.Points = points;
        level.PolylineLengths = &length;
        level.PolylineIndexes = indexes;
        level.Labels = &label;
        label.X = 100;
        label.Y = 120;
        std::strcpy(label.Text, "0.5");
    }
    PictureInput Input() { return {&set, 200, 200, 2, &settings, kUnitCorners, &numbers, &sink}; }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
};

}  // namespace isotri::testing
