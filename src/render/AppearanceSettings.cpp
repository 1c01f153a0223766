#include "render/AppearanceSettings.h"

#include <algorithm>

namespace isotri {

namespace {

// The geometry defaults are kept with a comma and rewritten with the locale's separator, so
// that the first drawing parses in any locale.
std::string WithSeparator(std::string text, char separator) {
    std::replace(text.begin(), text.end(), ',', separator);
    return text;
}

}  // namespace

AppearanceSettings AppearanceSettings::Defaults(const NumberText& numbers) {
    const char separator = numbers.DecimalSeparator();
    AppearanceSettings settings;
    settings.EGlobalZoom = WithSeparator("0,95", separator);
    settings.Eaoscale = WithSeparator("1,4", separator);
    settings.ELabelOffset = WithSeparator("20", separator);
    settings.Etickslen = WithSeparator("1,3", separator);
    return settings;
}

}  // namespace isotri
