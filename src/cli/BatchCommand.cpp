#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "batch/BatchReadout.h"
#include "batch/BatchRun.h"
#include "batch/CombinedModel.h"
#include "cli/Commands.h"
#include "cli/ConsoleOutput.h"
#include "cli/PictureOptions.h"
#include "cli/PlotOptions.h"
#include "cli/PlotOutput.h"
#include "common/AtomicFile.h"
#include "common/Error.h"
#include "models/MathDef.h"

namespace isotri::cli {

namespace {

const char* const kBatchUsage =
    "usage: isotri-plot --batch FILE [--lines N] [--size WxH] [--split N]\n"
    "                   [--bounds \"Ax Ay Az Bx By Bz Cx Cy Cz\"] [--scales-only] [--dir DIR]...\n"
    "                   [--at \"x1 x2 x3\"]... [--mark-extremes]\n"
    "                   [picture options] -o FILE.json|png|svg|pdf|emf|wmf\n"
    "                   (-o FILE --format FORM for any name, -o - for standard output)\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "isotri-plot: %s\n%s%s", message.c_str(), kBatchUsage,
                 kPictureOptionsUsage);
    return 2;
}

// Keeps the set for the output file instead of showing it.
class KeptSetView final : public BatchView {
  public:
    void SizePicture(int, int) override {}
    void ShowSet(const TIsolineSet& set) override { shown = &set; }
    void ShowBlank() override {}
    const TIsolineSet* shown = nullptr;
};

}  // namespace

int RunBatchCommand(const Args& args) {
    const NumberText numbers = NumberText::FromSystemLocale();
    PlotOptions options(numbers);
    std::string fileName;
    std::vector<std::string> dirs;
    const auto own = [&](const Args& all, std::size_t& i, std::string&) {
        const bool hasValue = i + 1 < all.size();
        if (all[i] == "--batch" && hasValue && fileName.empty()) {
            fileName = all[++i];
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
    if (fileName.empty() || options.output.empty() || !KnownOutput(options, error)) {
        return UsageError(fileName.empty() ? "не указан файл пакета (--batch FILE)"
                          : options.output.empty() ? "не указан файл рисунка (-o FILE)"
                                                   : error);
    }
    if (const int refused = CheckOutputPlace(options); refused != 0) {
        return refused;
    }

    StderrMessageSink stderrSink;
    MessageSink& sink = stderrSink;
    TMathDefinition catalogue(sink);
    catalogue.LoadDirectory(".");
    for (const std::string& dir : dirs) {
        // The catalogue is silent about a missing directory; a typo would end in "model not
        // found" with no hint.
        std::error_code missing;
        if (!std::filesystem::is_directory(dir, missing)) {
            std::fprintf(stderr, "Каталог \"%s\" не найден.\n", dir.c_str());
        }
        catalogue.LoadDirectory(dir);
    }
    KeptSetView view;
    EvaluationContext context;
    IsolineSetPtr current;
    BatchRunResult result = BatchRunResult::NotLoaded;
    try {
        const ConsoleToStdout console(options.output == kStandardOutputName);
        result = RunBatch(fileName, FinderOf(catalogue), numbers, sink, options.Request(), context,
                          current, view, BatchSource::Stream);
    } catch (const Error& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    if (result != BatchRunResult::NotLoaded) {
        PrintReadings(options.readout, options.output, numbers, options.appearance,
                      [](const Mixture& point) { return BatchValueAt(BatchList, point); });
    }
    if (result != BatchRunResult::Drawn) {
        return 1;
    }
    // The extremes of the run's report.
    const PlotExtremes extremes =
        PlaceExtremes(*current, options.bounds.data(), options.scalesOnly,
                      {LowestValue, {LowestPoint[0], LowestPoint[1], LowestPoint[2]}},
                      {HighestValue, {HighestPoint[0], HighestPoint[1], HighestPoint[2]}});
    return WritePlotOutput(options, {current.get(), context.EvalCount(), &extremes});
}

}  // namespace isotri::cli
