#include "batch/BatchRun.h"

#include <numbers>

#include "batch/CombinedModel.h"
#include "companion/ConsolePrint.h"

namespace isotri {

BatchRunResult RunBatch(const std::string& fileName, const ModelFinder& findModel,
                        const NumberText& numbers, MessageSink& sink,
                        const BatchRunSettings& settings, IsolineSetPtr& current, BatchView& view) {
    if (!LoadBatch(fileName, findModel, numbers, sink)) {
        return BatchRunResult::NotLoaded;
    }
    current.reset();
    view.SizePicture(settings.width, settings.height);

    const auto w = static_cast<float>(settings.width);
    const auto h = static_cast<float>(settings.height);
    const TPoint3f center{w / 2, h / 2 + h / 10, 0};
    const float size = w / 2;
    const float angle = -std::numbers::pi_v<float> / 2;

    ResetExtremes();
    current.reset(ppCreateTriangularTHK(&center, &size, &angle, settings.bounds, EvalBatchProc,
                                        settings.lines, 0));
    view.ClearStatus();
    if (current == nullptr) {
        sink.ShowMessage(kConstantModelMessage);
        view.ShowBlank();
        return BatchRunResult::Constant;
    }
    view.ShowSet(*current);
    ConPrintf(numbers, "Minimum %3.5g at [%3.5g;%3.5g;%3.5g]\r", LowestValue, LowestPoint[0],
              LowestPoint[1], LowestPoint[2]);
    ConPrintf(numbers, "Maximum %3.5g at [%3.5g;%3.5g;%3.5g]\r", HighestValue, HighestPoint[0],
              HighestPoint[1], HighestPoint[2]);
    return BatchRunResult::Drawn;
}

}  // namespace isotri
