// The batch run without widgets: load the batch, generate the isolines of the combined model on
// the plot road, hand the set to the view and report the extremes on the console. The window's
// RunBatch and the headless tool are thin wrappers around it.
#pragma once

#include <string>

#include "batch/Batch.h"
#include "plot/PlotRoad.h"

namespace isotri {

// What the run asks of the picture's owner.
class BatchView {
  public:
    virtual ~BatchView() = default;
    // Size the picture and its display to width x height, each only where it differs.
    virtual void SizePicture(int width, int height) = 0;
    virtual void ClearStatus() {}
    // Draw the set on the picture and show it.
    virtual void ShowSet(const TIsolineSet& set) = 0;
    // The combined model is constant: fill the picture with white and show it.
    virtual void ShowBlank() = 0;
};

enum class BatchRunResult {
    NotLoaded,  // the loader accepted nothing: picture and set untouched
    Constant,   // no set: the constant-model (or no-finite-value) message shown, picture cleared
    Cancelled,  // a hook stopped the generation: picture and set untouched
    Drawn,      // the set is in `current` and the report is on the console
};

// `request` gives the picture size, lines and bounds; its evaluation is the batch's. The
// evaluations are counted in `context`, whose model is not used.
BatchRunResult RunBatch(const std::string& fileName, const ModelFinder& findModel,
                        const NumberText& numbers, MessageSink& sink, PlotRequest request,
                        EvaluationContext& context, IsolineSetPtr& current, BatchView& view,
                        BatchSource source = BatchSource::File);

}  // namespace isotri
