#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ConsoleOutput.h"
#include "cli/IsolineJson.h"
#include "cli/PictureOptions.h"
#include "cli/PlotOptions.h"
#include "cli/PlotOutput.h"
#include "common/AtomicFile.h"
#include "common/Error.h"
#include "fit/DataTable.h"
#include "fit/FitReport.h"
#include "fit/MeasuredPoints.h"
#include "fit/MixtureFit.h"
#include "models/MathDef.h"

namespace isotri::cli {

namespace {

const char* const kFitUsage =
    "usage: isotri-plot --fit FILE [--response NAME] [--components \"A;B;C\"] --model NAME\n"
    "                   [--lines N] [--size WxH] [--split N]\n"
    "                   [--bounds \"Ax Ay Az Bx By Bz Cx Cy Cz\"] [--scales-only] [--dir DIR]...\n"
    "                   [picture options] -o FILE.json|png|svg|pdf|emf|wmf\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "isotri-plot: %s\n%s%s", message.c_str(), kFitUsage, kPictureOptionsUsage);
    return 2;
}

// "A;B;C" into three names; false unless there are exactly three, none empty.
bool ReadComponents(const std::string& text, DataColumns& columns) {
    std::size_t start = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t end = k < 2 ? text.find(';', start) : text.size();
        if (end == std::string::npos) {
            return false;
        }
        columns.Components[k] = text.substr(start, end - start);
        if (columns.Components[k].empty() || columns.Components[k].find(';') != std::string::npos) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::string FitMembers(const FitData& data, const FitResult& fit,
                       const std::vector<std::optional<PicturePoint>>& placed) {
    std::string out = "\"fit\": {\"model\": ";
    JsonText(out, fit.ModelName.c_str());
    out += ", \"response\": ";
    JsonText(out, data.ResponseName.c_str());
    out += ", \"coefficients\": [";
    for (std::size_t k = 0; k < fit.Coefficients.size(); ++k) {
        const FitCoefficient& c = fit.Coefficients[k];
        out += k > 0 ? ", {\"label\": " : "{\"label\": ";
        JsonText(out, c.Label.c_str());
        for (const auto& [key, value] :
             {std::pair{"value", c.Value}, std::pair{"stderr", c.StdErr}, std::pair{"t", c.T}}) {
            out += std::string(", \"") + key + "\": ";
            JsonNumber(out, value);
        }
        out += '}';
    }
    out += "], \"n\": " + std::to_string(fit.N) + ", \"p\": " + std::to_string(fit.P);
    for (const auto& [key, value] : {std::pair{"r2", fit.R2}, std::pair{"r2adj", fit.R2Adj},
                                     std::pair{"r2pred", fit.R2Pred}, std::pair{"s", fit.S}}) {
        out += std::string(", \"") + key + "\": ";
        JsonNumber(out, value);
    }
    out += "},\n\"points\": [";
    for (std::size_t i = 0; i < data.Points.size(); ++i) {
        const MeasuredPoint& p = data.Points[i];
        out += i > 0 ? ",\n  {\"mixture\": [" : "\n  {\"mixture\": [";
        for (std::size_t c = 0; c < 3; ++c) {
            out += c > 0 ? ", " : "";
            JsonNumber(out, p.Mixture[c]);
        }
        out += "], \"x\": ";
        JsonNumber(out, placed[i] ? placed[i]->X : NAN);
        out += ", \"y\": ";
        JsonNumber(out, placed[i] ? placed[i]->Y : NAN);
        for (const auto& [key, value] :
             {std::pair{"value", p.Value}, std::pair{"fitted", fit.Fitted[i]},
              std::pair{"residual", fit.Residuals[i]}}) {
            out += std::string(", \"") + key + "\": ";
            JsonNumber(out, value);
        }
        out += ", \"line\": " + std::to_string(p.Line) + "}";
    }
    out += "]";
    return out;
}

}  // namespace

int RunFitCommand(const Args& args) {
    const NumberText numbers = NumberText::FromSystemLocale();
    PlotOptions options(numbers);
    std::string fileName;
    DataColumns columns;
    std::vector<std::string> dirs;
    const auto own = [&](const Args& all, std::size_t& i, std::string& error) {
        const bool hasValue = i + 1 < all.size();
        if (all[i] == "--fit" && hasValue && fileName.empty()) {
            fileName = all[++i];
        } else if (all[i] == "--response" && hasValue) {
            columns.Response = all[++i];
        } else if (all[i] == "--components" && hasValue) {
            if (!ReadComponents(all[++i], columns)) {
                error = "--components: нужны три имени столбцов через \";\".";
                return OptionResult::Bad;
            }
        } else if (all[i] == "--dir" && hasValue) {
            dirs.push_back(all[++i]);
        } else {
            return OptionResult::NotMine;
        }
        return OptionResult::Taken;
    };
    std::string error;
    if (!TakeOptions(args, numbers, options, own, error)) {
        return UsageError(error);
    }
    if (options.coefs) {
        return UsageError("с --fit коэффициенты подгоняются по данным: --coefs не нужен.");
    }
    if (fileName.empty() || !options.model || options.output.empty() ||
        !KnownOutput(options, error)) {
        return UsageError(fileName.empty() ? "не указан файл данных (--fit FILE)"
                          : !options.model ? "не указана модель (--model NAME)"
                          : options.output.empty() ? "не указан файл рисунка (-o FILE)"
                                                   : error);
    }
    if (const int refused = CheckOutputPlace(options); refused != 0) {
        return refused;
    }

    StderrMessageSink sink;
    TMathDefinition catalogue(sink);
    catalogue.LoadDirectory(".");
    for (const std::string& dir : dirs) {
        catalogue.LoadDirectory(dir);
    }
    const std::int32_t index = catalogue.IndexOfModel(*options.model);
    if (index < 0) {
        return UsageError("Модель \"" + *options.model + "\" не найдена.");
    }
    const IsotriModel* model = catalogue.GetModel(index);

    EvaluationContext context;
    FitData data;
    FitResult fit;
    {
        const ConsoleToStdout console(options.output == kStandardOutputName);
        try {
            data = DataTable::Read(fileName).Select(columns, numbers);
            fit = FitMixtureModel(model, data.Points);
        } catch (const Error& failure) {
            std::fflush(stdout);
            std::fprintf(stderr, "isotri-plot: %s\n", failure.what());
            return 2;
        }
        PrintFitReport(data, fit, numbers);
    }
    context.SetModel(model, fit.Values());
    const PlotRequest request = options.Request();
    const Plot plot = GeneratePlot(request, context);
    PrintModelReadings(options.readout, options.output, numbers, options.appearance, context);
    if (!plot.set) {
        std::fprintf(stderr, "%s\n", kConstantModelMessage);
        return 1;
    }
    PlotExtras extras;
    std::vector<std::optional<PicturePoint>> placed;
    for (const MeasuredPoint& point : data.Points) {
        placed.push_back(PlaceMixture(*plot.set, request.GeneratorBounds(), point.Mixture));
        if (placed.back()) {
            extras.marks.push_back(*placed.back());
        }
    }
    extras.jsonMembers = FitMembers(data, fit, placed);
    return WritePlotOutput(
        options, {plot.set.get(), plot.evaluations, plot.extremes ? &*plot.extremes : nullptr},
        extras);
}

}  // namespace isotri::cli
