#include "cli/PlotOptions.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include "cli/PictureOptions.h"

namespace isotri::cli {

namespace {

std::optional<int> ParseInt(const std::string& text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

bool TakeCount(const std::string& name, const std::string& text, SpinRange range, int& out,
               std::string& error) {
    std::optional<int> value = ParseInt(text);
    if (!value || *value < range.min || *value > range.max) {
        error = "Значение " + name + " должно быть целым числом от " + std::to_string(range.min) +
                " до " + std::to_string(range.max) + ": \"" + text + "\".";
        return false;
    }
    out = *value;
    return true;
}

bool TakeSize(const std::string& text, PlotOptions& options, std::string& error) {
    std::size_t x = text.find_first_of("xX");
    std::optional<int> w, h;
    if (x != std::string::npos) {
        w = ParseInt(text.substr(0, x));
        h = ParseInt(text.substr(x + 1));
    }
    const auto inRange = [](std::optional<int> side) {
        return side && *side >= kPictureSideRange.min && *side <= kPictureSideRange.max;
    };
    if (!inRange(w) || !inRange(h)) {
        error = "Размер рисунка задаётся как ШxВ, каждое от " +
                std::to_string(kPictureSideRange.min) + " до " +
                std::to_string(kPictureSideRange.max) + ": \"" + text + "\".";
        return false;
    }
    options.width = *w;
    options.height = *h;
    return true;
}

bool TakeBounds(const std::string& text, const NumberText& numbers, PlotOptions& options,
                std::string& error) {
    std::vector<std::string> words = Words(text);
    if (words.size() != 9) {
        error = "Для --bounds нужно девять чисел (углы A, B, C по три доли), задано " +
                std::to_string(words.size()) + ".";
        return false;
    }
    for (std::size_t k = 0; k < 9; ++k) {
        std::optional<double> value = numbers.ParseLenient(words[k]);
        if (!value || !std::isfinite(static_cast<float>(*value))) {
            error = "Неверное число в --bounds: \"" + words[k] + "\".";
            return false;
        }
        options.bounds[k] = static_cast<float>(*value);
    }
    return true;
}

}  // namespace

OptionResult TakeCommonOption(const Args& args, std::size_t& i, const NumberText& numbers,
                              PlotOptions& options, std::string& error) {
    const std::string& name = args[i];
    static const char* const kWithValue[] = {"--model", "--coefs",  "--lines", "--split",
                                             "--size",  "--bounds", "-o",      "--format"};
    bool needsValue = false;
    for (const char* option : kWithValue) {
        needsValue = needsValue || name == option;
    }
    if (name == "--scales-only") {
        options.scalesOnly = true;
        return OptionResult::Taken;
    }
    if (const int taken = TakeReadoutOption(args, i, numbers, options.readout, error)) {
        return taken > 0 ? OptionResult::Taken : OptionResult::Bad;
    }
    switch (ApplyPictureOption(args, i, options.appearance, numbers, error)) {
        case PictureOption::Applied:
            return OptionResult::Taken;
        case PictureOption::Invalid:
            return OptionResult::Bad;
        case PictureOption::NotOurs:
            break;
    }
    if (!needsValue) {
        return OptionResult::NotMine;
    }
    if (i + 1 >= args.size()) {
        error = "После " + name + " не задано значение.";
        return OptionResult::Bad;
    }
    const std::string& value = args[++i];
    bool ok = true;
    if (name == "--model") {
        options.model = value;
    } else if (name == "--coefs") {
        options.coefs = value;
    } else if (name == "--lines") {
        ok = TakeCount(name, value, kLineRange, options.lines, error);
    } else if (name == "--split") {
        ok = TakeCount(name, value, kDivisionRange, options.split, error);
    } else if (name == "--size") {
        ok = TakeSize(value, options, error);
    } else if (name == "--bounds") {
        ok = TakeBounds(value, numbers, options, error);
    } else if (name == "--format") {
        options.format = value;
    } else {
        options.output = value;
    }
    return ok ? OptionResult::Taken : OptionResult::Bad;
}

PlotRequest PlotOptions::Request() const {
    PlotRequest request;
    request.lines = lines;
    request.divisions = split;
    request.bounds = bounds;
    request.scalesOnly = scalesOnly;
    request.width = width;
    request.height = height;
    return request;
}

bool TakeOptions(const Args& args, const NumberText& numbers, PlotOptions& options,
                 const OwnOption& own, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        OptionResult taken = TakeCommonOption(args, i, numbers, options, error);
        if (taken == OptionResult::NotMine) {
            taken = own(args, i, error);
        }
        if (taken == OptionResult::Bad) {
            return false;
        }
        if (taken == OptionResult::NotMine) {
            error = "неверный аргумент \"" + args[i] + "\"";
            return false;
        }
    }
    return true;
}

bool ChooseModel(TMathDefinition& catalogue, const PlotOptions& options, const NumberText& numbers,
                 EvaluationContext& context, std::string& error) {
    if (!options.model || !options.coefs) {
        error = "Нужно задать модель (--model) и её коэффициенты (--coefs).";
        return false;
    }
    std::int32_t index = catalogue.IndexOfModel(*options.model);
    if (index < 0) {
        error = "Модель \"" + *options.model + "\" не найдена.";
        return false;
    }
    const IsotriModel* model = catalogue.GetModel(index);
    std::vector<std::string> words = Words(*options.coefs);
    std::int32_t expected = ModelCoefCount(model);
    if (static_cast<std::int32_t>(words.size()) != expected) {
        error = "Модели \"" + *options.model +
                "\" нужно коэффициентов: " + std::to_string(expected) +
                ", задано: " + std::to_string(words.size()) + ".";
        return false;
    }
    std::vector<double> coefs;
    for (const std::string& word : words) {
        std::optional<double> value = numbers.ParseLenient(word);
        if (!value) {
            error = "Неверный коэффициент: \"" + word + "\".";
            return false;
        }
        coefs.push_back(*value);
    }
    context.SetModel(model, std::move(coefs));
    return true;
}

}  // namespace isotri::cli
