#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

#include "cli/Commands.h"
#include "cli/PictureOptions.h"

namespace {

const char* const kUsage =
    "usage:\n"
    "  isotri-plot --list [--dir DIR]...\n"
    "  isotri-plot --model NAME --coefs \"c1 c2 ...\" [options] -o FILE\n"
    "  isotri-plot --batch FILE [options] -o FILE\n";

bool Has(const isotri::cli::Args& args, const char* word) {
    return std::find(args.begin(), args.end(), word) != args.end();
}

}  // namespace

int main(int argc, char** argv) {
    // Fonts and painting need a GUI application object, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    isotri::cli::Args args(argv + 1, argv + argc);
    if (args.empty() || Has(args, "--help") || Has(args, "-h")) {
        std::FILE* out = args.empty() ? stderr : stdout;
        std::fputs(kUsage, out);
        std::fputs(isotri::cli::kPictureOptionsUsage, out);
        return args.empty() ? 2 : 0;
    }
    if (Has(args, "--list")) {
        return isotri::cli::RunListCommand(args);
    }
    if (Has(args, "--batch")) {
        return isotri::cli::RunBatchCommand(args);
    }
    return isotri::cli::RunPlotCommand(args);
}
