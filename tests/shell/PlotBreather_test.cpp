// A long plot in the window: the window keeps breathing, Esc or closing the window stops the
// plot, and what was drawn before stays.
#include <QButtonGroup>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "dialogs/ChooseMdlUnit.h"
#include "models/MathDef.h"
#include "shell/MainUnit.h"
#include "support/GuiSupport.h"
#include "support/ShownMainForm.h"

namespace {

const QString kLinear = QStringLiteral("Линейный полином Шеффе");
const QString kSlow = QStringLiteral("Медленная модель");
const QString kCancelled = QStringLiteral("Построение изолиний прервано.");

}  // namespace

class PlotBreatherTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void escStopsThePlotAndKeepsTheOldSet();
    void closingTheWindowStopsThePlotThenCloses();
    void inputDuringThePlotIsHeldOff();

  private:
    // Plots `model` with coefficients 1, 2, 3; `during` runs `after` ms into the generation.
    void Plot(const QString& model, int after = 0, std::function<void()> during = {});

    RecordingSink sink_;
    std::unique_ptr<TMainForm> form_;
    QStringList statusSeen_;
};

void PlotBreatherTest::init() {
    form_ = ShownMainForm("gui_slow", &sink_);
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void PlotBreatherTest::cleanup() {
    CancelPendingModals();
    form_.reset();
    sink_.messages.clear();
    statusSeen_.clear();
}

void PlotBreatherTest::Plot(const QString& model, int after, std::function<void()> during) {
    WhenModal([=, this](QWidget* modal) {
        auto* dialog = qobject_cast<TChooseMdlParamsDialog*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->RGModelTypeButtons->button(2)->click();
        dialog->LBModels->setCurrentItem(
            dialog->LBModels->findItems(model, Qt::MatchExactly).first());
        for (int i = 0; i < 3; ++i) {
            dialog->SGParameters->item(0, i)->setText(QString::number(i + 1));
        }
        if (during) {
            QTimer::singleShot(after, form_.get(), [this, during] {
                statusSeen_ << form_->StatusBar->currentMessage();
                during();
            });
        }
        dialog->OkButton->click();
    });
    form_->PlotItem->trigger();
}

void PlotBreatherTest::escStopsThePlotAndKeepsTheOldSet() {
    Plot(kLinear);
    const TIsolineSet* set = form_->Isolines();
    QVERIFY(set != nullptr);
    const QImage before = form_->Bitmap();
    QElapsedTimer timer;
    timer.start();
    // A whole plot of the slow model takes tens of seconds.
    Plot(kSlow, 300, [this] { QTest::keyClick(form_.get(), Qt::Key_Escape); });
    QVERIFY(timer.elapsed() < 10000);
    QCOMPARE(statusSeen_.size(), 1);
    QVERIFY2(statusSeen_.front().startsWith(QStringLiteral("Выполнено ")),
             qPrintable(statusSeen_.front()));
    QVERIFY(form_->Isolines() == set);
    QVERIFY(form_->Bitmap() == before);
    QVERIFY(form_->EConsole->toPlainText().contains(kCancelled));
    QVERIFY(form_->StatusBar->currentMessage().isEmpty());
    QVERIFY(sink_.messages.empty());
    QVERIFY(form_->isVisible());
}

void PlotBreatherTest::closingTheWindowStopsThePlotThenCloses() {
    Plot(kLinear);
    const TIsolineSet* set = form_->Isolines();
    Plot(kSlow, 300, [this] { form_->close(); });
    QCOMPARE(statusSeen_.size(), 1);
    // Still open while the plot unwinds; the close follows from the event loop.
    QVERIFY(form_->Isolines() == set);
    QVERIFY(form_->EConsole->toPlainText().contains(kCancelled));
    QTRY_VERIFY(!form_->isVisible());
}

void PlotBreatherTest::inputDuringThePlotIsHeldOff() {
    Plot(kLinear);
    const TIsolineSet* set = form_->Isolines();
    Plot(kSlow, 200, [this] {
        // A console command would clear the set inside the plot; the keys are dropped.
        QTest::keyClicks(form_->EConsole, QStringLiteral("clear"));
        QTest::keyClick(form_->EConsole, Qt::Key_Return);
        QTimer::singleShot(100, form_.get(),
                           [this] { QTest::keyClick(form_.get(), Qt::Key_Escape); });
    });
    QVERIFY(form_->Isolines() == set);
    QVERIFY(!form_->EConsole->toPlainText().contains(QStringLiteral("clear")));
}

QTEST_MAIN(PlotBreatherTest)
#include "PlotBreather_test.moc"
