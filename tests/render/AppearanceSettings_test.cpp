#include "render/AppearanceSettings.h"

#include <gtest/gtest.h>

namespace isotri {
namespace {

TEST(AppearanceSettings, GeometryDefaultsFollowTheSeparator) {
    struct Case {
        char separator;
        const char* zoom;
        const char* offset;
        const char* ticks;
    };
    for (const Case& c : {Case{',', "0,95", "1,4", "1,3"}, Case{'.', "0.95", "1.4", "1.3"}}) {
        const AppearanceSettings s = AppearanceSettings::Defaults(NumberText(c.separator));
        EXPECT_EQ(s.EGlobalZoom, c.zoom);
        EXPECT_EQ(s.Eaoscale, c.offset);
        EXPECT_EQ(s.ELabelOffset, "20");
        EXPECT_EQ(s.Etickslen, c.ticks);
    }
}

}  // namespace
}  // namespace isotri
