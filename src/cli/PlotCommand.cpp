#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/PictureOptions.h"
#include "cli/PlotOptions.h"
#include "cli/PlotOutput.h"
#include "models/MathDef.h"

namespace isotri::cli {

namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "isotri-plot: %s\n", message.c_str());
    std::fputs(
        "usage: isotri-plot --model NAME --coefs \"c1 c2 ...\" [--lines N] [--split N] "
        "[--size WxH] [--bounds \"Ax Ay Az Bx By Bz Cx Cy Cz\"] [--scales-only]\n"
        "                   [--at \"x1 x2 x3\"]... [--mark-extremes]\n"
        "                   -o FILE.json|png|svg|pdf|emf|wmf | -o FILE --format FORM | -o -\n",
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
    if (!KnownOutput(options, error)) {
        return UsageError(error);
    }
    if (const int refused = CheckOutputPlace(options); refused != 0) {
        return refused;
    }

    StderrMessageSink sink;
    TMathDefinition catalogue(sink);
    catalogue.LoadDirectory(".");
    EvaluationContext context;
    if (!ChooseModel(catalogue, options, numbers, context, error)) {
        return UsageError(error);
    }
    const Plot plot = GeneratePlot(options.Request(), context);
    PrintModelReadings(options.readout, options.output, numbers, options.appearance, context);
    if (!plot.set) {
        std::fprintf(stderr, "%s\n", plot.EmptyMessage(false));
        return 1;
    }
    return WritePlotOutput(
        options, {plot.set.get(), plot.evaluations, plot.extremes ? &*plot.extremes : nullptr});
}

}  // namespace isotri::cli
