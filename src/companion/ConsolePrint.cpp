#include "companion/ConsolePrint.h"

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>

#include "companion/zorb_lib.h"

namespace isotri {

namespace {

enum class Length { None, Char, Short, Long, LongLong, Size, IntMax, PtrDiff, LongDouble };

std::string PrintfOne(const char* spec, ...) __attribute__((format(printf, 1, 2)));

std::string PrintfOne(const char* spec, ...) {
    va_list args;
    va_start(args, spec);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, spec, args);
    va_end(args);
    std::string out;
    if (size > 0) {
        out.resize(static_cast<std::size_t>(size) + 1);
        std::vsnprintf(out.data(), out.size(), spec, again);
        out.resize(static_cast<std::size_t>(size));
    }
    va_end(again);
    return out;
}

// Reads a width or precision: digits, or "*" taken from the arguments.
bool ReadNumber(const char*& p, va_list& args, std::string& spec) {
    if (*p == '*') {
        ++p;
        spec += std::to_string(va_arg(args, int));
        return true;
    }
    bool any = false;
    while (*p >= '0' && *p <= '9') {
        spec += *p++;
        any = true;
    }
    return any;
}

Length ReadLength(const char*& p) {
    switch (*p) {
        case 'h':
            ++p;
            if (*p == 'h') {
                ++p;
                return Length::Char;
            }
            return Length::Short;
        case 'l':
            ++p;
            if (*p == 'l') {
                ++p;
                return Length::LongLong;
            }
            return Length::Long;
        case 'z':
            ++p;
            return Length::Size;
        case 'j':
            ++p;
            return Length::IntMax;
        case 't':
            ++p;
            return Length::PtrDiff;
        case 'L':
            ++p;
            return Length::LongDouble;
        default:
            return Length::None;
    }
}

// `spec` holds "%", the flags, width and precision; the argument is widened to the type that the
// added length modifier names, so one C library call serves every integer size.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"

std::string FormatSigned(const std::string& spec, Length length, va_list& args) {
    const std::string f = spec + "lld";
    long long value = 0;
    switch (length) {
        case Length::Long:
            value = va_arg(args, long);
            break;
        case Length::LongLong:
            value = va_arg(args, long long);
            break;
        case Length::Size:
            value = static_cast<long long>(va_arg(args, std::size_t));
            break;
        case Length::IntMax:
            value = va_arg(args, intmax_t);
            break;
        case Length::PtrDiff:
            value = va_arg(args, std::ptrdiff_t);
            break;
        case Length::Char:
            value = static_cast<signed char>(va_arg(args, int));
            break;
        case Length::Short:
            value = static_cast<short>(va_arg(args, int));
            break;
        default:
            value = va_arg(args, int);
            break;
    }
    return PrintfOne(f.c_str(), value);
}

std::string FormatUnsigned(const std::string& spec, char conversion, Length length, va_list& args) {
    const std::string f = spec + "ll" + conversion;
    unsigned long long value = 0;
    switch (length) {
        case Length::Long:
            value = va_arg(args, unsigned long);
            break;
        case Length::LongLong:
            value = va_arg(args, unsigned long long);
            break;
        case Length::Size:
            value = va_arg(args, std::size_t);
            break;
        case Length::IntMax:
            value = va_arg(args, uintmax_t);
            break;
        case Length::PtrDiff:
            value = static_cast<unsigned long long>(va_arg(args, std::ptrdiff_t));
            break;
        case Length::Char:
            value = static_cast<unsigned char>(va_arg(args, unsigned int));
            break;
        case Length::Short:
            value = static_cast<unsigned short>(va_arg(args, unsigned int));
            break;
        default:
            value = va_arg(args, unsigned int);
            break;
    }
    return PrintfOne(f.c_str(), value);
}

std::string FormatOther(const std::string& spec, char conversion, va_list& args) {
    const std::string f = spec + conversion;
    switch (conversion) {
        case 'c':
            return PrintfOne(f.c_str(), va_arg(args, int));
        case 's': {
            const char* text = va_arg(args, const char*);
            return PrintfOne(f.c_str(), text != nullptr ? text : "(null)");
        }
        default:  // 'p'
            return PrintfOne(f.c_str(), va_arg(args, void*));
    }
}

#pragma GCC diagnostic pop

std::string FormatText(const NumberText& numbers, const char* format, va_list& args) {
    std::string out;
    if (format == nullptr) {
        return out;
    }
    const char* p = format;
    while (*p != '\0') {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char* const start = p++;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        std::string spec = "%";
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') {
            spec += *p++;
        }
        ReadNumber(p, args, spec);
        if (*p == '.') {
            spec += *p++;
            if (!ReadNumber(p, args, spec)) {
                spec += '0';
            }
        }
        const Length length = ReadLength(p);
        const char conversion = *p;
        if (conversion == '\0') {
            out.append(start);  // a lone "%" at the end stays as written
            break;
        }
        ++p;
        switch (conversion) {
            case 'd':
            case 'i':
                out += FormatSigned(spec, length, args);
                break;
            case 'u':
            case 'x':
            case 'X':
            case 'o':
                out += FormatUnsigned(spec, conversion, length, args);
                break;
            case 'c':
            case 's':
            case 'p':
                out += FormatOther(spec, conversion, args);
                break;
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G': {
                const double value = length == Length::LongDouble
                                         ? static_cast<double>(va_arg(args, long double))
                                         : va_arg(args, double);
                out += numbers.Format(spec + conversion, value);
                break;
            }
            default:
                // Unknown conversions (and "%n", which writes through a pointer) are shown as
                // written and consume nothing.
                out.append(start, p);
                break;
        }
    }
    return out;
}

}  // namespace

void ConPrintf(const NumberText& numbers, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatText(numbers, format, args);
    va_end(args);
    con_puts(text.c_str());
}

void ConLevelPrintf(const NumberText& numbers, std::int32_t level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatText(numbers, format, args);
    va_end(args);
    con_lputs(level, text.c_str());
}

}  // namespace isotri
