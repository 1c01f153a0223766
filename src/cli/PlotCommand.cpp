#include <cstdio>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/PictureOptions.h"
#include "cli/PlotOptions.h"
#include "cli/PlotOutput.h"
#include "models/MathDef.h"

namespace isotri::cli {

namespace {

const char* const kConstantModel =
    "На концентрационном треугольнике модель постоянна. Построение изолиний невозможно.";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "isotri-plot: %s\n", message.c_str());
    std::fputs(
        "usage: isotri-plot --model NAME --coefs \"c1 c2 ...\" [--lines N] [--split N] "
        "[--size WxH] [--bounds \"Ax Ay Az Bx By Bz Cx Cy Cz\"] [--scales-only]\n"
        "                   -o FILE.json|png|svg|pdf|emf|wmf\n",
        stderr);
    std::fputs(kPictureOptionsUsage, stderr);
    return 2;
}

}  // namespace

int RunPlotCommand(const Args& args) {
    NumberText numbers = NumberText::FromSystemLocale();
    PlotOptions options(numbers);
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        switch (TakeCommonOption(args, i, numbers, options, error)) {
            case OptionResult::Taken:
                continue;
            case OptionResult::Bad:
                return UsageError(error);
            case OptionResult::NotMine:
                return UsageError("неизвестный аргумент \"" + args[i] + "\".");
        }
    }
    std::string error;
    if (options.output.empty()) {
        return UsageError("не задан выходной файл (-o FILE).");
    }
    if (!KnownOutput(options.output, error)) {
        return UsageError(error);
    }

    StderrMessageSink sink;
    TMathDefinition catalogue(sink);
    catalogue.LoadDirectory(".");
    if (!ChooseModel(catalogue, options, numbers, error)) {
        return UsageError(error);
    }
    Placement placement = PlacementFor(options.width, options.height);
    ResetEvaluationCount();
    std::unique_ptr<TIsolineSet, void (*)(TIsolineSet*)> set(
        ppCreateTriangularTHK(&placement.center, &placement.size, &placement.angle,
                              GeneratorBounds(options), EvalCurrentModel, options.lines, 0),
        ppFree);
    if (!set) {
        std::fprintf(stderr, "%s\n", kConstantModel);
        return 1;
    }
    return WritePlotOutput(options, {set.get(), EvaluationCount()});
}

}  // namespace isotri::cli
