#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "models/MathDef.h"

namespace isotri::cli {

namespace {

// Shows each message on standard error and counts them: any message means a failed load.
class CountingSink final : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view title,
                     MessageButtons buttons) override {
        ++count;
        stderrSink_.ShowMessage(text, title, buttons);
    }
    int count = 0;

  private:
    StderrMessageSink stderrSink_;
};

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int RunListCommand(const Args& args) {
    std::vector<std::string> dirs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--list") {
            continue;
        }
        if (args[i] == "--dir" && i + 1 < args.size()) {
            dirs.push_back(args[++i]);
            continue;
        }
        std::fprintf(stderr, "isotri-plot: неверный аргумент \"%s\"\n", args[i].c_str());
        std::fputs("usage: isotri-plot --list [--dir DIR]...\n", stderr);
        return 2;
    }

    CountingSink sink;
    int failures = 0;
    TMathDefinition catalogue(sink);
    catalogue.LoadDirectory(".");
    for (const std::string& dir : dirs) {
        // The catalogue itself is silent about a missing directory; here that would hide a typo.
        if (!IsDirectory(dir)) {
            std::fprintf(stderr, "Каталог \"%s\" не найден.\n", dir.c_str());
            ++failures;
        }
        catalogue.LoadDirectory(dir);
    }

    for (std::int32_t i = 0; i < catalogue.ModelCount(); ++i) {
        const IsotriModel* model = catalogue.GetModel(i);
        const std::int32_t coefs = ModelCoefCount(model);
        std::string labels;
        for (std::int32_t k = 0; k < coefs; ++k) {
            labels += (k > 0 ? "," : "") + ModelCoefLabel(model, k);
        }
        std::printf("%d\t%s\t%d\t%d\t%s\n", i, ModelName(model).c_str(), ModelFactorCount(model),
                    coefs, labels.c_str());
    }
    return sink.count + failures > 0 ? 1 : 0;
}

}  // namespace isotri::cli
