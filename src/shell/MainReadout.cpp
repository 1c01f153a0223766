// The main window's side of reading the picture: the readout under the mouse, the extremes item
// of the "Вид" menu, and the console word "at".
#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <variant>

#include "batch/BatchReadout.h"
#include "batch/CombinedModel.h"
#include "dialogs/ChooseMdlUnit.h"
#include "dialogs/FormatDlg.h"
#include "render/Readout.h"
#include "shell/MainUnit.h"
#include "shell/PictureReadout.h"

void TMainForm::ReadoutStartUp() {
    readout_ = std::make_unique<isotri::TPictureReadout>(OutPanel, StatusBar, numbers_, [this] {
        isotri::ReadoutView view;
        view.set = _Isolines.get();
        if (view.set != nullptr) {
            view.width = _Bitmap.width();
            view.height = _Bitmap.height();
            view.settings = FormatDialog->Settings();
            view.bounds = ChooseMdlParamsDialog->Bounds();
            view.scalesOnly = ChooseMdlParamsDialog->ScalesOnly();
            if (PointsItem->isChecked()) {
                for (const isotri::MeasuredPoint& point : fitPoints_) {
                    view.points.push_back({point.Mixture, point.Line, point.Value});
                }
            }
        }
        return view;
    });

    ExtremesItem = ViewMenu->addAction(QStringLiteral("Экстремумы"));
    ExtremesItem->setObjectName(QStringLiteral("ExtremesItem"));
    ExtremesItem->setCheckable(true);
    ExtremesItem->setChecked(false);
    connect(ExtremesItem, &QAction::triggered, this, &TMainForm::ExtremesItemClick);
}

void TMainForm::ExtremesItemClick() {
    if (_Isolines == nullptr) {
        return;
    }
    // Without a background fill the renderer draws over the old picture: the marks would stay.
    FillBitmapWhite();
    DrawCurrentSet();
}

void TMainForm::ShowingModel(std::optional<isotri::PlotExtremes> extremes) {
    extremes_ = std::move(extremes);
    batchShown_ = false;
    readout_->SetValueSource([this](const isotri::Mixture& point) {
        const IsotriModel* model = evaluation_.Model();
        return isotri::PointValue{model != nullptr
                                      ? isotri::EvaluateAt(*model, evaluation_.Coefs(), point)
                                      : std::numeric_limits<double>::quiet_NaN(),
                                  {}};
    });
}

void TMainForm::ShowingBatch(const TIsolineSet& set) {
    // The extremes are those of the run's report.
    using namespace isotri;
    const ExtremePoint lowest{LowestValue, {LowestPoint[0], LowestPoint[1], LowestPoint[2]}};
    const ExtremePoint highest{HighestValue, {HighestPoint[0], HighestPoint[1], HighestPoint[2]}};
    extremes_ = PlaceExtremes(set, ChooseMdlParamsDialog->Bounds().data(),
                              ChooseMdlParamsDialog->ScalesOnly(), lowest, highest);
    batchShown_ = true;
    readout_->SetValueSource([](const Mixture& point) { return BatchValueAt(BatchList, point); });
}

void TMainForm::ReadAtCommand(const QString& mixture) {
    using namespace isotri;
    const std::variant<Mixture, std::string> parsed = ParseMixture(numbers_, mixture.toStdString());
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        con_lputs(16, ("at: " + *error + "\r").c_str());
        return;
    }
    const Mixture& point = std::get<Mixture>(parsed);
    PointValue value;
    if (batchShown_) {
        value = BatchValueAt(BatchList, point);
    } else if (const IsotriModel* model = evaluation_.Model()) {
        value = {EvaluateAt(*model, evaluation_.Coefs(), point), {}};
    } else {
        con_lputs(16, "at: модель ещё не выбрана: сначала постройте изолинии (plot).\r");
        return;
    }
    const std::string line =
        ReadoutText(numbers_, CornerNamesOf(FormatDialog->Settings()), point, value);
    con_puts((line + "\r").c_str());
}
