#include "cli/ReadoutOptions.h"

#include <cstdio>
#include <variant>

#include "common/AtomicFile.h"

namespace isotri::cli {

int TakeReadoutOption(const Args& args, std::size_t& i, const NumberText& numbers,
                      ReadoutOptions& options, std::string& error) {
    if (args[i] == "--mark-extremes") {
        options.markExtremes = true;
        return 1;
    }
    if (args[i] != "--at") {
        return 0;
    }
    if (i + 1 >= args.size()) {
        error = "После --at не задана смесь.";
        return -1;
    }
    const std::variant<Mixture, std::string> mixture = ParseMixture(numbers, args[++i]);
    if (const auto* message = std::get_if<std::string>(&mixture)) {
        error = "--at \"" + args[i] + "\": " + *message;
        return -1;
    }
    options.at.push_back(std::get<Mixture>(mixture));
    return 1;
}

void PrintReadings(const ReadoutOptions& options, const std::string& output,
                   const NumberText& numbers, const AppearanceSettings& appearance,
                   const std::function<PointValue(const Mixture&)>& valueAt) {
    // Standard output may carry the picture itself.
    std::FILE* out = output == kStandardOutputName ? stderr : stdout;
    const CornerNames names = CornerNamesOf(appearance);
    for (const Mixture& point : options.at) {
        std::fprintf(out, "%s\n", ReadoutText(numbers, names, point, valueAt(point)).c_str());
    }
    std::fflush(out);
}

void PrintModelReadings(const ReadoutOptions& options, const std::string& output,
                        const NumberText& numbers, const AppearanceSettings& appearance,
                        const EvaluationContext& context) {
    PrintReadings(options, output, numbers, appearance, [&context](const Mixture& point) {
        return PointValue{EvaluateAt(*context.Model(), context.Coefs(), point), {}};
    });
}

}  // namespace isotri::cli
