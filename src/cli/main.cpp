#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/Commands.h"
#include "cli/Help.h"
#include "cli/PlotOutput.h"
#include "common/ProgramInfo.h"
#include "common/RuntimeDirNotice.h"
#include "render/FontPreload.h"

namespace {

bool Has(const isotri::cli::Args& args, const char* word) {
    return std::find(args.begin(), args.end(), word) != args.end();
}

int Run(const isotri::cli::Args& args) {
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
    // Fontconfig reads its configuration on the second core while Qt starts and the isolines are
    // made; the preload ends before the application, and its font database, go away.
    if (isotri::cli::NamesPicture(isotri::cli::Args(argv + 1, argv + argc))) {
        isotri::PreloadFonts();
    }
    auto quiet = std::make_unique<isotri::RuntimeDirNoticeFilter>();
    QGuiApplication app(argc, argv);
    quiet.reset();
    const int status = Run(isotri::cli::Args(argv + 1, argv + argc));
    isotri::AwaitFontPreload();
    return status;
}
