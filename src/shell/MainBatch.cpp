// The main window's side of the batch run: the file dialog, the start-up argument, and the
// window as the view of the run.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QShowEvent>
#include <QStatusBar>

#include "batch/BatchRun.h"
#include "dialogs/ChooseMdlUnit.h"
#include "dialogs/FormatDlg.h"
#include "models/MathDef.h"
#include "shell/MainUnit.h"

namespace {

// Gives the set back to the window however the run ends, the old one too when nothing loaded.
class SetKeeper {
  public:
    SetKeeper(isotri::IsolineSetPtr& current, TIsolineSet*& field)
        : current_(current), field_(field) {}
    ~SetKeeper() { field_ = current_.release(); }
    SetKeeper(const SetKeeper&) = delete;
    SetKeeper& operator=(const SetKeeper&) = delete;

  private:
    isotri::IsolineSetPtr& current_;
    TIsolineSet*& field_;
};

}  // namespace

void TMainForm::RunBatch(const QString& fileName) {
    const isotri::AppearanceSettings appearance = FormatDialog->Settings();
    isotri::BatchRunSettings run;
    run.width = appearance.SEViewWidth;
    run.height = appearance.SEViewHeight;
    run.bounds =
        ChooseMdlParamsDialog->ScalesOnly() ? nullptr : ChooseMdlParamsDialog->Bounds().data();
    run.lines = ChooseMdlParamsDialog->Lines();

    isotri::IsolineSetPtr current(std::exchange(_Isolines, nullptr));
    const SetKeeper keeper(current, _Isolines);
    isotri::RunBatch(QFile::encodeName(fileName).toStdString(), isotri::FinderOf(*_MathDef),
                     numbers_, *sink_, run, current, *this);
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

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!formShown_) {
        formShown_ = true;
        FormShow();
    }
}

void TMainForm::FormShow() {
    if (arguments_.size() == 1) {
        RunBatch(arguments_.constFirst());
    }
}

void TMainForm::SizePicture(int width, int height) {
    ResizeBitmap(width, height);
    ResizeOutPanel(width, height);
}

void TMainForm::ClearStatus() {
    StatusBar->clearMessage();
}

void TMainForm::ShowSet(const TIsolineSet& set) {
    DrawSet(set);
}

void TMainForm::ShowBlank() {
    FillBitmapWhite();
    OutPanelPaint();
}
