#include "plot/PlotRoad.h"

#include <QPainter>
#include <numbers>

#include "render/PPDraw.h"
#include "render/QtCanvas.h"

namespace isotri {

Placement Placement::ForPicture(int width, int height) {
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    return {{0.5f * w, 0.5f * h + 0.1f * h, 0.0f}, 0.5f * w, -std::numbers::pi_v<float> / 2};
}

Plot GeneratePlot(const PlotRequest& request, EvaluationContext& context) {
    Plot plot;
    plot.placement = Placement::ForPicture(request.width, request.height);
    {
        const EvaluationContext::Generation generation(context, request.evaluate);
        plot.set.reset(ppCreateTriangularTHK(&plot.placement.center, &plot.placement.size,
                                             &plot.placement.angle, request.GeneratorBounds(),
                                             EvalModelProc, request.lines, 0));
    }
    plot.evaluations = context.EvalCount();
    plot.stopAsked = context.StopAsked();
    plot.finiteValue = context.FiniteValueSeen();
    if (plot.stopAsked) {
        // Traced in part, on NaN points at the end: not the model's picture.
        plot.set.reset();
    }
    if (plot.set) {
        plot.extremes =
            context.Extremes().Place(*plot.set, request.bounds.data(), request.scalesOnly);
    }
    return plot;
}

const char* Plot::EmptyMessage(bool batch) const {
    if (finiteValue) {
        return batch ? kConstantBatchMessage : kConstantModelMessage;
    }
    return batch ? kNoFiniteBatchMessage : kNoFiniteValueMessage;
}

bool DrawPicture(const PictureInput& input, Canvas& canvas) {
    return DrawPictureInput(input, canvas);
}

bool DrawPicture(const PictureInput& input, QImage& image) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QtCanvas canvas(painter);
    return DrawPicture(input, canvas);
}

}  // namespace isotri
