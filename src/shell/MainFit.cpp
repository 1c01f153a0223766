// The main window's side of fitting a model to measured data: the table, the response column,
// the model dialog, the report and the measured points on the picture.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QPlainTextEdit>

#include "common/Error.h"
#include "companion/ConsolePrint.h"
#include "companion/zorb_lib.h"
#include "dialogs/ChooseMdlUnit.h"
#include "fit/FitReport.h"
#include "fit/MeasuredPoints.h"
#include "fit/MixtureFit.h"
#include "shell/MainUnit.h"

void TMainForm::FitItemClick() {
    QFileDialog dialog(this, QStringLiteral("Открыть таблицу опытов"), QDir::currentPath());
    dialog.setObjectName(QStringLiteral("FitOpenDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // As typed: a name that does not exist gets the reader's own message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("Таблицы опытов (*.csv *.txt *.tsv)"), QStringLiteral("Все файлы (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    RunFit(dialog.selectedFiles().constFirst(), {});
}

void TMainForm::RunFitCommand(const QString& argument) {
    // A name may hold blanks, so the file is found by trying the longest part first.
    for (qsizetype end = argument.size(); end > 0; end = argument.lastIndexOf(u' ', end - 1)) {
        const QString fileName = argument.left(end);
        if (QFileInfo(fileName).isFile()) {
            RunFit(fileName, argument.mid(end).trimmed());
            return;
        }
    }
    RunFit(argument, {});
}

void TMainForm::ReportFitError(const std::string& message) {
    isotri::ConLevelPrintf(numbers_, 16, "%s\r", message.c_str());
    if (EConsole->isHidden()) {
        sink_->ShowMessage(message);
    }
}

void TMainForm::RunFit(const QString& fileName, const QString& response) {
    isotri::FitData data;
    try {
        const isotri::DataTable table =
            isotri::DataTable::Read(QFile::encodeName(fileName).toStdString());
        isotri::DataColumns columns;
        columns.Response = response.toStdString();
        if (columns.Response.empty()) {
            const std::vector<std::string> choices = table.ResponseChoices(columns);
            if (choices.size() > 1) {
                QStringList items;
                for (const std::string& choice : choices) {
                    items << QString::fromStdString(choice);
                }
                bool ok = false;
                const QString chosen =
                    QInputDialog::getItem(this, QStringLiteral("Отклик"),
                                          QStringLiteral("Столбец отклика:"), items, 0, false, &ok);
                if (!ok) {
                    return;
                }
                columns.Response = chosen.toStdString();
            }
        }
        data = table.Select(columns, numbers_);
    } catch (const isotri::Error& failure) {
        ReportFitError(failure.what());
        return;
    }

    // The dialog hands its grid to the evaluation context; a refused fit puts the old one back.
    const IsotriModel* oldModel = evaluation_.Model();
    const std::vector<double> oldCoefs = evaluation_.Coefs();
    if (ChooseMdlParamsDialog->exec() != QDialog::Accepted) {
        return;
    }
    const IsotriModel* model = ChooseMdlParamsDialog->Model();
    isotri::FitResult fit;
    try {
        fit = isotri::FitMixtureModel(model, data.Points);
    } catch (const isotri::Error& failure) {
        evaluation_.SetModel(oldModel, oldCoefs);
        ReportFitError(failure.what());
        return;
    }
    const std::vector<double> values = fit.Values();
    ChooseMdlParamsDialog->ShowCoefs(values);
    evaluation_.SetModel(model, values);
    isotri::PrintFitReport(data, fit, numbers_);
    fitPoints_ = std::move(data.Points);
    PointsItem->setEnabled(true);
    PointsItem->setChecked(true);
    GenerateAndDraw();
}

void TMainForm::PointsItemClick() {
    // The renderer paints over what is there: hidden circles must not stay behind.
    if (_Isolines != nullptr) {
        FillBitmapWhite();
        DrawCurrentSet();
    }
}

void TMainForm::PlaceMarks(isotri::PictureInput& input) {
    marks_.clear();
    if (input.set != nullptr && PointsItem->isChecked()) {
        marks_ =
            isotri::PlaceMeasuredPoints(*input.set, CurrentRequest().GeneratorBounds(), fitPoints_);
    }
    input.marks = marks_;
}
