#include <cstdio>
#include <string>

#include "batch/BatchRun.h"
#include "cli/Commands.h"
#include "cli/PictureOptions.h"
#include "export/PictureFile.h"
#include "models/Error.h"
#include "models/MathDef.h"
#include "render/AppearanceSettings.h"

namespace isotri::cli {

namespace {

const char* const kBatchUsage =
    "usage: isotri-plot --batch FILE [--lines N] [--size WxH] [--divisions N]\n"
    "                   [--bounds \"ax ay az bx by bz cx cy cz\"] [--dir DIR]... -o FILE\n";

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

// Writes the picture file instead of showing it.
class FileView final : public BatchView {
  public:
    FileView(const PictureOptions& options, const AppearanceSettings& settings,
             const NumberText& numbers, MessageSink& sink)
        : options_(options), settings_(settings), numbers_(numbers), sink_(sink) {}

    void SizePicture(int, int) override {}
    void ShowSet(const TIsolineSet& set) override {
        PictureInput input;
        input.set = &set;
        input.width = options_.width;
        input.height = options_.height;
        input.divisions = options_.divisions;
        input.settings = &settings_;
        input.bounds = options_.bounds.data();
        input.numbers = &numbers_;
        input.sink = &sink_;
        const SaveResult result = SavePictureFile(options_.output, input);
        saved = result.ok;
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", result.error.c_str());
        }
    }
    void ShowBlank() override {}

    bool saved = false;

  private:
    const PictureOptions& options_;
    const AppearanceSettings& settings_;
    const NumberText& numbers_;
    MessageSink& sink_;
};

}  // namespace

int RunBatchCommand(const Args& args) {
    const NumberText numbers = NumberText::FromSystemLocale();
    PictureOptions options;
    std::string fileName;
    for (std::size_t i = 0; i < args.size();) {
        bool taken = false;
        std::string error;
        if (!TakePictureOption(args, i, numbers, options, taken, error)) {
            std::fprintf(stderr, "isotri-plot: %s\n%s", error.c_str(), kBatchUsage);
            return 2;
        }
        if (taken) {
            continue;
        }
        if (args[i] == "--batch" && i + 1 < args.size() && fileName.empty()) {
            fileName = args[i + 1];
            i += 2;
            continue;
        }
        std::fprintf(stderr, "isotri-plot: неверный аргумент \"%s\"\n%s", args[i].c_str(),
                     kBatchUsage);
        return 2;
    }
    if (fileName.empty() || options.output.empty()) {
        std::fputs(fileName.empty() ? "isotri-plot: не указан файл пакета (--batch FILE)\n"
                                    : "isotri-plot: не указан файл рисунка (-o FILE)\n",
                   stderr);
        std::fputs(kBatchUsage, stderr);
        return 2;
    }

    StderrMessageSink stderrSink;
    MessageSink& sink = stderrSink;
    TMathDefinition catalogue(sink);
    catalogue.LoadDirectory(".");
    for (const std::string& dir : options.dirs) {
        catalogue.LoadDirectory(dir);
    }
    const AppearanceSettings settings = AppearanceSettings::Defaults(numbers);
    FileView view(options, settings, numbers, sink);
    BatchRunSettings run;
    run.width = options.width;
    run.height = options.height;
    run.bounds = options.boundsGiven ? options.bounds.data() : nullptr;
    run.lines = options.lines;
    IsolineSetPtr current;
    BatchRunResult result = BatchRunResult::NotLoaded;
    try {
        const ConsoleToStdout console;
        result = RunBatch(fileName, FinderOf(catalogue), numbers, sink, run, current, view);
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return result == BatchRunResult::Drawn && view.saved ? 0 : 1;
}

}  // namespace isotri::cli
