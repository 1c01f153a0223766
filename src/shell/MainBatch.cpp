// The main window's side of the batch run: the file dialog and the window as the view of the run.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStatusBar>

#include "batch/BatchRun.h"
#include "dialogs/ChooseMdlUnit.h"
#include "dialogs/FormatDlg.h"
#include "models/MathDef.h"
#include "shell/MainUnit.h"

void TMainForm::RunBatch(const QString& fileName) {
    const isotri::AppearanceSettings appearance = FormatDialog->Settings();
    isotri::PlotRequest request = CurrentRequest();
    request.width = appearance.SEViewWidth;
    request.height = appearance.SEViewHeight;
    if (isotri::RunBatch(QFile::encodeName(fileName).toStdString(), isotri::FinderOf(*_MathDef),
                         numbers_, *sink_, request, evaluation_, _Isolines,
                         *this) == isotri::BatchRunResult::Cancelled) {
        PlotCancelled();
    }
}

void TMainForm::BatchItemClick() {
    QFileDialog dialog(this, QStringLiteral("Открыть"), QDir::currentPath());
    dialog.setObjectName(QStringLiteral("BatchOpenDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // As typed: a name that does not exist gets the loader's own message.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    RunBatch(dialog.selectedFiles().constFirst());
}

void TMainForm::SizePicture(int width, int height) {
    ResizeBitmap(width, height);
    ResizeOutPanel(width, height);
}

void TMainForm::ClearStatus() {
    StatusBar->clearMessage();
}

void TMainForm::ShowSet(const TIsolineSet& set) {
    ShowingBatch(set);
    DrawSet(set);
}

void TMainForm::ShowBlank() {
    FillBitmapWhite();
    OutPanelPaint();
}
