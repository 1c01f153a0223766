#include "render/Readout.h"

#include <cmath>
#include <limits>

namespace isotri {

namespace {

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

std::string Example(const NumberText& numbers) {
    const char s = numbers.DecimalSeparator();
    return std::string(" Пример: 0") + s + "2 0" + s + "3 0" + s + "5";
}

// A model without a value at the point (outside its domain) says so instead of "nan".
std::string ValueText(const NumberText& numbers, double value) {
    return std::isnan(value) ? std::string("нет значения") : numbers.Format("%.5g", value);
}

}  // namespace

CornerNames CornerNamesOf(const AppearanceSettings& settings) {
    CornerNames names{settings.LabelA, settings.LabelB, settings.LabelC};
    const char* letters[] = {"A", "B", "C"};
    for (int k = 0; k < 3; ++k) {
        if (names[k].empty()) {
            names[k] = letters[k];
        }
    }
    return names;
}

std::string ReadoutText(const NumberText& numbers, const CornerNames& names, const Mixture& shares,
                        const PointValue& value) {
    std::string text;
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            text += "  ";
        }
        // A share that rounds to zero is shown without a sign.
        const double share = std::fabs(shares[k]) < 5e-4 ? 0.0 : shares[k];
        text += names[k] + " = " + numbers.Format("%.3f", share);
    }
    if (value.desirabilities.empty()) {
        text += "   y = " + ValueText(numbers, value.value);
        return text;
    }
    text += "   D = " + ValueText(numbers, value.value);
    for (std::size_t i = 0; i < value.desirabilities.size(); ++i) {
        text += "  d" + std::to_string(i + 1) + " = " + ValueText(numbers, value.desirabilities[i]);
    }
    return text;
}

std::string MeasuredPointText(const NumberText& numbers, long long line, double value) {
    return "   опыт, строка " + std::to_string(line) + ": " + ValueText(numbers, value);
}

double EvaluateAt(const IsotriModel& model, const std::vector<double>& coefs,
                  const Mixture& point) {
    double result = std::numeric_limits<double>::quiet_NaN();
    model.ops->Evaluate(&model, point.data(), coefs.data(), &result);
    return result;
}

std::variant<Mixture, std::string> ParseMixture(const NumberText& numbers, std::string_view text) {
    const std::vector<std::string_view> words = Words(text);
    if (words.size() != 3) {
        return std::string("Нужно три доли смеси, задано ") + std::to_string(words.size()) + "." +
               Example(numbers);
    }
    Mixture m{};
    double sum = 0;
    for (int k = 0; k < 3; ++k) {
        const std::optional<double> value = numbers.ParseLenient(words[k]);
        if (!value || !std::isfinite(*value)) {
            return "Неверное число: \"" + std::string(words[k]) + "\"." + Example(numbers);
        }
        if (*value < 0) {
            return "Доля смеси не может быть отрицательной: \"" + std::string(words[k]) + "\".";
        }
        m[k] = *value;
        sum += *value;
    }
    if (!(sum > 0) || !std::isfinite(sum)) {
        return std::string("Сумма долей смеси должна быть больше нуля.");
    }
    for (double& share : m) {
        share /= sum;
    }
    return m;
}

}  // namespace isotri
