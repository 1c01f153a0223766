#include "render/AppearanceSettings.h"

#include <gtest/gtest.h>

namespace isotri {
namespace {

using Field = std::string AppearanceSettings::*;

// A default the renderer cannot read in the user's locale refuses every picture; written with
// the other separator it would not read at all.
TEST(AppearanceSettings, GeometryDefaultsReadInTheirOwnLocaleAsTheSameNumbers) {
    const NumberText comma(','), point('.');
    const AppearanceSettings commaDefaults = AppearanceSettings::Defaults(comma);
    const AppearanceSettings pointDefaults = AppearanceSettings::Defaults(point);
    for (Field field : {&AppearanceSettings::EGlobalZoom, &AppearanceSettings::Eaoscale,
                        &AppearanceSettings::ELabelOffset, &AppearanceSettings::Etickslen}) {
        const std::optional<double> inComma = comma.Parse(commaDefaults.*field);
        const std::optional<double> inPoint = point.Parse(pointDefaults.*field);
        ASSERT_TRUE(inComma.has_value()) << commaDefaults.*field;
        ASSERT_TRUE(inPoint.has_value()) << pointDefaults.*field;
        EXPECT_EQ(*inComma, *inPoint);
        EXPECT_GT(*inComma, 0);
    }
}

}  // namespace
}  // namespace isotri
