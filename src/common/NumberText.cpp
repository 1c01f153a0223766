#include "common/NumberText.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace isotri {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Checks the grammar [blanks][sign]digits[sep digits][e[sign]digits][blanks] with at least one
// mantissa digit, and returns the number text with a full stop, ready for from_chars.
std::optional<std::string> Normalise(std::string_view text, char sep, bool acceptStop) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i])) {
        ++i;
    }
    std::string out;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            out += '-';
        }
        ++i;
    }
    int mantissaDigits = 0;
    while (i < n && IsDigit(text[i])) {
        out += text[i++];
        ++mantissaDigits;
    }
    if (i < n && (text[i] == sep || (acceptStop && text[i] == '.'))) {
        out += '.';
        ++i;
        while (i < n && IsDigit(text[i])) {
            out += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        out += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            out += text[i++];
        }
        int exponentDigits = 0;
        while (i < n && IsDigit(text[i])) {
            out += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    while (i < n && IsBlank(text[i])) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }
    return out;
}

std::optional<double> ParseWith(std::string_view text, char sep, bool acceptStop) {
    const auto normal = Normalise(text, sep, acceptStop);
    if (!normal) {
        return std::nullopt;
    }
    double value = 0;
    const char* first = normal->data();
    const char* last = first + normal->size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

struct Conversion {
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;  // not given
    char letter = 'g';
};

// A format is literal text around exactly one float conversion; anything else is rejected.
struct ParsedFormat {
    std::string prefix;
    std::string suffix;
    Conversion conversion;
};

int ReadNumber(std::string_view f, std::size_t& i, int limit) {
    long value = 0;
    while (i < f.size() && IsDigit(f[i])) {
        value = std::min<long>(value * 10 + (f[i] - '0'), limit);
        ++i;
    }
    return static_cast<int>(value);
}

std::optional<ParsedFormat> ParseFormat(std::string_view f) {
    ParsedFormat parsed;
    bool seen = false;
    std::string* literal = &parsed.prefix;
    std::size_t i = 0;
    while (i < f.size()) {
        if (f[i] != '%') {
            *literal += f[i++];
            continue;
        }
        ++i;
        if (i < f.size() && f[i] == '%') {
            *literal += '%';
            ++i;
            continue;
        }
        if (seen) {
            return std::nullopt;
        }
        Conversion& c = parsed.conversion;
        for (; i < f.size(); ++i) {
            if (f[i] == '-') {
                c.leftAlign = true;
            } else if (f[i] == '+') {
                c.plusSign = true;
            } else if (f[i] == ' ') {
                c.spaceSign = true;
            } else if (f[i] == '0') {
                c.zeroPad = true;
            } else {
                break;
            }
        }
        c.width = ReadNumber(f, i, NumberText::kMaxWidth);
        if (i < f.size() && f[i] == '.') {
            ++i;
            c.precision = ReadNumber(f, i, NumberText::kMaxPrecision);
        }
        if (i < f.size() && (f[i] == 'l' || f[i] == 'L')) {
            ++i;
        }
        if (i >= f.size() || std::string_view("fFeEgG").find(f[i]) == std::string_view::npos) {
            return std::nullopt;
        }
        c.letter = f[i++];
        seen = true;
        literal = &parsed.suffix;
    }
    if (!seen) {
        return std::nullopt;
    }
    return parsed;
}

// Decimal digits and exponent of |value| rounded to `digits` significant digits.
struct Scientific {
    std::string digits;  // no point, first digit non-zero unless the value is 0
    int exponent = 0;
};

Scientific ToScientific(double magnitude, int digits) {
    std::vector<char> buffer(static_cast<std::size_t>(digits) + 32);
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                      std::chars_format::scientific, digits - 1);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    const std::size_t e = text.find('e');
    Scientific s;
    for (char ch : text.substr(0, e)) {
        if (ch != '.') {
            s.digits += ch;
        }
    }
    s.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    return s;
}

std::string Fixed(double magnitude, int decimals) {
    std::vector<char> buffer(static_cast<std::size_t>(decimals) + 400);
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

std::string ExponentText(int exponent, bool upper) {
    std::string out(1, upper ? 'E' : 'e');
    out += exponent < 0 ? '-' : '+';
    const int a = std::abs(exponent);
    if (a < 10) {
        out += '0';
    }
    out += std::to_string(a);
    return out;
}

std::string Exponential(double magnitude, int decimals, bool upper, bool dropZeros) {
    Scientific s = ToScientific(magnitude, decimals + 1);
    if (dropZeros) {
        while (s.digits.size() > 1 && s.digits.back() == '0') {
            s.digits.pop_back();
        }
    }
    std::string out(1, s.digits[0]);
    if (s.digits.size() > 1) {
        out += '.';
        out += s.digits.substr(1);
    }
    return out + ExponentText(s.exponent, upper);
}

void DropTrailingZeros(std::string& text) {
    if (text.find('.') == std::string::npos) {
        return;
    }
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
}

// Magnitude only; the sign is added by the caller. Full stop as the point.
std::string FormatMagnitude(double magnitude, const Conversion& c) {
    const bool upper = c.letter == 'E' || c.letter == 'G' || c.letter == 'F';
    switch (c.letter) {
        case 'f':
        case 'F':
            return Fixed(magnitude, c.precision < 0 ? 2 : c.precision);
        case 'e':
        case 'E':
            return Exponential(magnitude, c.precision < 0 ? 15 : c.precision, upper, false);
        default:
            break;
    }
    const int precision = c.precision < 0 ? 15 : std::max(c.precision, 1);
    if (magnitude == 0) {
        return "0";
    }
    const Scientific s = ToScientific(magnitude, precision);
    // Fixed while the integer part fits in the precision and the value is at least 1e-5.
    if (s.exponent < precision && s.exponent >= -5) {
        std::string text = Fixed(magnitude, precision - 1 - s.exponent);
        DropTrailingZeros(text);
        return text;
    }
    return Exponential(magnitude, precision - 1, upper, true);
}

std::string Pad(std::string body, const Conversion& c, bool numeric) {
    const std::size_t width = static_cast<std::size_t>(c.width);
    if (body.size() >= width) {
        return body;
    }
    const std::size_t fill = width - body.size();
    if (c.leftAlign) {
        return body + std::string(fill, ' ');
    }
    if (c.zeroPad && numeric) {
        const std::size_t signs =
            (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) ? 1 : 0;
        body.insert(signs, fill, '0');
        return body;
    }
    return std::string(fill, ' ') + body;
}

}  // namespace

NumberText::NumberText(char decimalSeparator) : separator_(decimalSeparator) {}

NumberText NumberText::FromSystemLocale() {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point[0].unicode() < 0x80) {
        return NumberText(static_cast<char>(point[0].unicode()));
    }
    return NumberText('.');
}

std::optional<double> NumberText::Parse(std::string_view text) const {
    return ParseWith(text, separator_, false);
}

std::optional<double> NumberText::ParseLenient(std::string_view text) const {
    return ParseWith(text, separator_, true);
}

std::string NumberText::Format(std::string_view format, double value) const {
    auto parsed = ParseFormat(format);
    if (!parsed) {
        parsed = ParseFormat("%g");
    }
    const Conversion& c = parsed->conversion;
    std::string body;
    const bool negative = std::signbit(value) && !std::isnan(value);
    if (negative) {
        body = "-";
    } else if (c.plusSign) {
        body = "+";
    } else if (c.spaceSign) {
        body = " ";
    }
    const bool finite = std::isfinite(value);
    if (std::isnan(value)) {
        body += "nan";
    } else if (!finite) {
        body += "inf";
    } else {
        std::string magnitude = FormatMagnitude(std::fabs(value), c);
        std::replace(magnitude.begin(), magnitude.end(), '.', separator_);
        // "-0" reads badly after rounding; keep the sign only where a digit is not zero.
        if (negative &&
            magnitude.find_first_not_of(std::string("0") + separator_) == std::string::npos) {
            body.clear();
        }
        body += magnitude;
    }
    return parsed->prefix + Pad(std::move(body), c, finite) + parsed->suffix;
}

std::string NumberText::FormatDefault(double value) const {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), '.', separator_);
    return text;
}

}  // namespace isotri
