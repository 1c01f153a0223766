#include <cstdio>
#include <string>
#include <vector>

#include "batch/BatchRun.h"
#include "cli/Commands.h"
#include "cli/PlotOptions.h"
#include "cli/PlotOutput.h"
#include "models/Error.h"
#include "models/MathDef.h"

namespace isotri::cli {

namespace {

const char* const kBatchUsage =
    "usage: isotri-plot --batch FILE [--lines N] [--size WxH] [--split N]\n"
    "                   [--bounds \"Ax Ay Az Bx By Bz Cx Cy Cz\"] [--scales-only] [--dir DIR]...\n"
    "                   -o FILE.png|svg|pdf|json\n";

// The console as the window shows it, without the prompt: one line per text.
void PrintConsoleLine(const char* text) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
}

class ConsoleToStdout {
  public:
    ConsoleToStdout() {
        conAddCallback(PrintConsoleLine);
        conUpperLevel(48);
    }
    ~ConsoleToStdout() {
        std::fflush(stdout);
        conRemoveCallback(PrintConsoleLine);
    }
    ConsoleToStdout(const ConsoleToStdout&) = delete;
    ConsoleToStdout& operator=(const ConsoleToStdout&) = delete;
};

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
    PlotOptions options;
    std::string fileName;
    std::vector<std::string> dirs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        const OptionResult taken = TakeCommonOption(args, i, numbers, options, error);
        if (taken == OptionResult::Bad) {
            std::fprintf(stderr, "isotri-plot: %s\n%s", error.c_str(), kBatchUsage);
            return 2;
        }
        if (taken == OptionResult::Taken) {
            continue;
        }
        if (args[i] == "--batch" && i + 1 < args.size() && fileName.empty()) {
            fileName = args[++i];
        } else if (args[i] == "--dir" && i + 1 < args.size()) {
            dirs.push_back(args[++i]);
        } else {
            std::fprintf(stderr, "isotri-plot: неверный аргумент \"%s\"\n%s", args[i].c_str(),
                         kBatchUsage);
            return 2;
        }
    }
    std::string error;
    if (fileName.empty() || options.output.empty() || !KnownOutput(options.output, error)) {
        std::fprintf(stderr, "isotri-plot: %s\n%s",
                     fileName.empty() ? "не указан файл пакета (--batch FILE)"
                     : options.output.empty() ? "не указан файл рисунка (-o FILE)"
                                              : error.c_str(),
                     kBatchUsage);
        return 2;
    }

    StderrMessageSink stderrSink;
    MessageSink& sink = stderrSink;
    TMathDefinition catalogue(sink);
    catalogue.LoadDirectory(".");
    for (const std::string& dir : dirs) {
        catalogue.LoadDirectory(dir);
    }
    KeptSetView view;
    BatchRunSettings run;
    run.width = options.width;
    run.height = options.height;
    run.bounds = GeneratorBounds(options);
    run.lines = options.lines;
    IsolineSetPtr current;
    BatchRunResult result = BatchRunResult::NotLoaded;
    try {
        const ConsoleToStdout console;
        result = RunBatch(fileName, FinderOf(catalogue), numbers, sink, run, current, view);
    } catch (const Error& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    if (result != BatchRunResult::Drawn) {
        return 1;
    }
    PlotResult plot;
    plot.set = current.get();
    return WritePlotOutput(options, plot);
}

}  // namespace isotri::cli
