// Decimal numbers as the user reads and types them: the locale's decimal separator, a
// printf-style format for one floating-point value. Made once at start from the system locale
// and handed to whatever needs it; tests make their own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace isotri {

class NumberText {
  public:
    explicit NumberText(char decimalSeparator);
    // The separator of the user's locale (LC_ALL, LC_NUMERIC, LANG).
    static NumberText FromSystemLocale();

    char DecimalSeparator() const { return separator_; }

    // Locale rules: optional blanks, optional sign, digits with the locale's separator, optional
    // exponent, optional trailing blanks. Anything else fails.
    std::optional<double> Parse(std::string_view text) const;
    // As Parse, but a full stop is also taken as the decimal point.
    std::optional<double> ParseLenient(std::string_view text) const;

    // Formats one value by a format text: literal text with exactly one conversion
    // %[flags][width][.precision](f|e|g|F|E|G) ("%%" is a literal percent sign). "f": fixed,
    // precision decimals; "e": exponent; "g": precision significant digits, fixed while the
    // integer part has no more digits than the precision and the magnitude is at least 1e-5,
    // exponent otherwise, trailing zeros dropped. Width pads with blanks on the left.
    // A text that is not exactly one such conversion shows the value as "%g" would.
    // Width and precision are bounded (kMaxWidth, kMaxPrecision).
    std::string Format(std::string_view format, double value) const;

    // The locale's default conversion of a value (shortest text that reads back the same).
    std::string FormatDefault(double value) const;

    static constexpr int kMaxWidth = 256;
    static constexpr int kMaxPrecision = 60;

  private:
    char separator_;
};

}  // namespace isotri
