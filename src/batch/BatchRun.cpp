#include "batch/BatchRun.h"

#include "batch/CombinedModel.h"
#include "companion/ConsolePrint.h"

namespace isotri {

BatchRunResult RunBatch(const std::string& fileName, const ModelFinder& findModel,
                        const NumberText& numbers, MessageSink& sink, PlotRequest request,
                        EvaluationContext& context, IsolineSetPtr& current, BatchView& view,
                        BatchSource source) {
    if (!LoadBatch(fileName, findModel, numbers, sink, source)) {
        return BatchRunResult::NotLoaded;
    }
    ResetExtremes();
    request.evaluate = EvalBatchProc;
    Plot plot = GeneratePlot(request, context);
    view.ClearStatus();
    if (plot.stopAsked) {
        return BatchRunResult::Cancelled;
    }
    current = std::move(plot.set);
    view.SizePicture(request.width, request.height);
    if (current == nullptr) {
        sink.ShowMessage(plot.EmptyMessage(true));
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
