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
    current.reset();
    view.SizePicture(request.width, request.height);

    ResetExtremes();
    request.evaluate = EvalBatchProc;
    current = GeneratePlot(request, context).set;
    view.ClearStatus();
    if (current == nullptr) {
        sink.ShowMessage(kConstantBatchMessage);
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
