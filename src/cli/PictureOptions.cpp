#include "cli/PictureOptions.h"

#include <charconv>
#include <sstream>

#include "export/PictureFile.h"

namespace isotri::cli {

namespace {

std::optional<int> ParseInt(const std::string& text, int min, int max) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool TakePictureOption(const Args& args, std::size_t& i, const NumberText& numbers,
                       PictureOptions& options, bool& taken, std::string& error) {
    const std::string& name = args[i];
    taken = name == "--lines" || name == "--size" || name == "--divisions" || name == "--bounds" ||
            name == "--dir" || name == "-o";
    if (!taken) {
        return true;
    }
    if (i + 1 >= args.size()) {
        error = "после " + name + " нет значения";
        return false;
    }
    const std::string& value = args[++i];
    ++i;
    if (name == "-o") {
        options.output = value;
    } else if (name == "--dir") {
        options.dirs.push_back(value);
    } else if (name == "--lines") {
        const std::optional<int> lines = ParseInt(value, 1, 50);
        if (!lines) {
            error = "число изолиний должно быть целым от 1 до 50: \"" + value + "\"";
            return false;
        }
        options.lines = *lines;
    } else if (name == "--divisions") {
        const std::optional<int> divisions = ParseInt(value, 1, 100);
        if (!divisions) {
            error = "число делений сетки должно быть целым от 1 до 100: \"" + value + "\"";
            return false;
        }
        options.divisions = *divisions;
    } else if (name == "--size") {
        const std::size_t x = value.find_first_of("xX");
        const auto width = ParseInt(value.substr(0, x), 1, kMaxPictureSide);
        const auto height = x == std::string::npos
                                ? std::nullopt
                                : ParseInt(value.substr(x + 1), 1, kMaxPictureSide);
        if (!width || !height) {
            error = "размер рисунка задаётся как ШxВ, каждое от 1 до " +
                    std::to_string(kMaxPictureSide) + ": \"" + value + "\"";
            return false;
        }
        options.width = *width;
        options.height = *height;
    } else {
        std::istringstream words(value);
        std::string word;
        std::size_t count = 0;
        while (words >> word) {
            const std::optional<double> share = numbers.ParseLenient(word);
            if (!share || count == 9) {
                count = 10;
                break;
            }
            options.bounds[count++] = static_cast<float>(*share);
        }
        if (count != 9) {
            error = "--bounds ждёт девять чисел (углы A, B, C): \"" + value + "\"";
            return false;
        }
        options.boundsGiven = true;
    }
    return true;
}

}  // namespace isotri::cli
