#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/Commands.h"
#include "cli/Help.h"
#include "common/ProgramInfo.h"
#include "common/RuntimeDirNotice.h"

namespace {

bool Has(const isotri::cli::Args& args, const char* word) {
    return std::find(args.begin(), args.end(), word) != args.end();
}

}  // namespace

int main(int argc, char** argv) {
    switch (isotri::FindInfoRequest(argc, argv)) {
        case isotri::InfoRequest::Help:
            return isotri::PrintInfo("isotri-plot", isotri::cli::kPlotHelp);
        case isotri::InfoRequest::Version:
            return isotri::PrintInfo("isotri-plot", isotri::VersionText("isotri-plot"));
        case isotri::InfoRequest::None:
            break;
    }
    // Fonts and painting need a GUI application object, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    auto quiet = std::make_unique<isotri::RuntimeDirNoticeFilter>();
    QGuiApplication app(argc, argv);
    quiet.reset();
    isotri::cli::Args args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(isotri::cli::kPlotUsage, stderr);
        std::fputs("Подробнее: isotri-plot --help\n", stderr);
        return 2;
    }
    if (Has(args, "-h")) {
        return isotri::PrintInfo("isotri-plot", isotri::cli::kPlotHelp);
    }
    if (Has(args, "--list")) {
        return isotri::cli::RunListCommand(args);
    }
    if (Has(args, "--batch")) {
        return isotri::cli::RunBatchCommand(args);
    }
    if (Has(args, "--fit")) {
        return isotri::cli::RunFitCommand(args);
    }
    return isotri::cli::RunPlotCommand(args);
}
