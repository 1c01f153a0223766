#include "cli/PictureOptions.h"

#include <optional>

namespace isotri::cli {

const char* const kPictureOptionsUsage =
    "  picture options: --no-grid --no-axes --no-labels --no-tics --fill-background\n"
    "                   --zoom Z --label-format F --tick-format F --names A,B,C\n";

namespace {

std::optional<std::string> Value(const Args& args, std::size_t& i, std::string& error) {
    if (i + 1 >= args.size()) {
        error = "после " + args[i] + " нужно значение";
        return std::nullopt;
    }
    return args[++i];
}

}  // namespace

PictureOption ApplyPictureOption(const Args& args, std::size_t& i, AppearanceSettings& settings,
                                 const NumberText& numbers, std::string& error) {
    const std::string& word = args[i];
    struct Switch {
        const char* name;
        bool AppearanceSettings::*field;
        bool value;
    };
    static constexpr Switch kSwitches[] = {
        {"--no-grid", &AppearanceSettings::CBGrid, false},
        {"--no-axes", &AppearanceSettings::CBAxes, false},
        {"--no-labels", &AppearanceSettings::CBLabels, false},
        {"--no-tics", &AppearanceSettings::CBTics, false},
        {"--fill-background", &AppearanceSettings::CBFillB, true},
    };
    for (const Switch& s : kSwitches) {
        if (word == s.name) {
            settings.*s.field = s.value;
            return PictureOption::Applied;
        }
    }
    if (word == "--zoom") {
        const std::optional<std::string> text = Value(args, i, error);
        // Either separator is accepted here; the renderer reads the locale's.
        const std::optional<double> zoom = text ? numbers.ParseLenient(*text) : std::nullopt;
        if (!zoom) {
            if (text) {
                error = "масштаб --zoom должен быть числом: \"" + *text + "\"";
            }
            return PictureOption::Invalid;
        }
        settings.EGlobalZoom = numbers.FormatDefault(*zoom);
        return PictureOption::Applied;
    }
    if (word == "--label-format" || word == "--tick-format") {
        const std::optional<std::string> text = Value(args, i, error);
        if (!text) {
            return PictureOption::Invalid;
        }
        (word == "--label-format" ? settings.SLabForm : settings.STicksForm) = *text;
        return PictureOption::Applied;
    }
    if (word == "--names") {
        const std::optional<std::string> text = Value(args, i, error);
        if (!text) {
            return PictureOption::Invalid;
        }
        const std::size_t first = text->find(',');
        const std::size_t second = first == std::string::npos ? first : text->find(',', first + 1);
        if (second == std::string::npos || text->find(',', second + 1) != std::string::npos) {
            error =
                "--names ждёт три имени через запятую (пустое имя не рисуется): \"" + *text + "\"";
            return PictureOption::Invalid;
        }
        settings.LabelA = text->substr(0, first);
        settings.LabelB = text->substr(first + 1, second - first - 1);
        settings.LabelC = text->substr(second + 1);
        return PictureOption::Applied;
    }
    return PictureOption::NotOurs;
}

}  // namespace isotri::cli
