// Fitting in the window: the console word and the menu item, the report, the coefficient grid,
// the measured points and what a bad table or a refused model leaves behind.
#include <QFile>
#include <QInputDialog>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "dialogs/ChooseMdlUnit.h"
#include "fit/FitReport.h"
#include "fit/MeasuredPoints.h"
#include "fit/MixtureFit.h"
#include "models/MathDef.h"
#include "shell/MainUnit.h"
#include "support/GuiSupport.h"

namespace {

const QString kExample = QStringLiteral(ISOTRI_SOURCE_DIR "/examples/yarn-blends.csv");
const QString kBatch = QStringLiteral(ISOTRI_SOURCE_DIR "/examples/strength-and-cost.txt");
const QString kStrength = QStringLiteral("Прочность, МПа");
const QString kQuadratic = QStringLiteral("Квадратичная модель Шеффе");

// Chooses `model` in the model dialog once it is up and confirms it.
void ConfirmModel(const QString& model, bool* asked = nullptr) {
    WhenModal([model, asked](QWidget* modal) {
        auto* dialog = qobject_cast<TChooseMdlParamsDialog*>(modal);
        QVERIFY(dialog != nullptr);
        if (asked != nullptr) {
            *asked = true;
        }
        dialog->LBModels->setCurrentItem(
            dialog->LBModels->findItems(model, Qt::MatchExactly).first());
        dialog->OkButton->click();
    });
}

}  // namespace

class MainFitTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup();
    void consoleFitFillsGridReportsAndPlotsWithPoints();
    void severalResponsesAreAskedFor();
    void badTableLeavesPictureAndAsksNoModel_data();
    void badTableLeavesPictureAndAsksNoModel();
    void refusedModelLeavesPictureAndEvaluation();
    void readoutNamesTheMeasuredPointUnderTheMouse();

  private:
    void Start();
    QString Write(const char* name, const QByteArray& text);

    RecordingSink sink_;
    std::unique_ptr<TMainForm> form_;
    QTemporaryDir dir_;
};

void MainFitTest::cleanup() {
    CancelPendingModals();
    form_.reset();
    sink_.messages.clear();
}

void MainFitTest::Start() {
    form_ = std::make_unique<TMainForm>(isotri::NumberText(','), &sink_);
    form_->CreateDialogs();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

QString MainFitTest::Write(const char* name, const QByteArray& text) {
    const QString path = dir_.filePath(QString::fromUtf8(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void MainFitTest::consoleFitFillsGridReportsAndPlotsWithPoints() {
    Start();
    ConfirmModel(kQuadratic);
    QVERIFY(form_->ExecCommand(QStringLiteral("fit ") + kExample + u' ' + kStrength));
    QVERIFY(sink_.messages.empty());
    QVERIFY(form_->Isolines() != nullptr);
    QCOMPARE(form_->FitPoints().size(), std::size_t{16});

    // The same fit straight from the core.
    const isotri::NumberText numbers(',');
    isotri::DataColumns columns;
    columns.Response = kStrength.toStdString();
    const isotri::FitData data =
        isotri::DataTable::Read(kExample.toStdString()).Select(columns, numbers);
    const IsotriModel* model =
        form_->MathDef().GetModel(form_->MathDef().IndexOfModel(kQuadratic.toStdString()));
    const isotri::FitResult fit = isotri::FitMixtureModel(model, data.Points);
    const std::vector<double> expected = fit.Values();

    QCOMPARE(form_->Evaluation().Model(), model);
    QTableWidget* grid = form_->ChooseMdlParamsDialog->SGParameters;
    QCOMPARE(grid->columnCount(), int(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto shown = numbers.Parse(grid->item(0, int(i))->text().toStdString());
        QVERIFY(shown.has_value());
        QVERIFY(std::abs(*shown - expected[i]) <= 1e-12 * std::abs(expected[i]));
        QVERIFY(std::abs(form_->Evaluation().Coefs()[i] - expected[i]) <=
                1e-12 * std::abs(expected[i]));
    }
    const QString console = form_->EConsole->toPlainText();
    for (const std::string& line : isotri::FitReportLines(data, fit, numbers)) {
        QVERIFY2(console.contains(QString::fromStdString(line)), line.c_str());
    }

    // The points are on after the fit; the toggle takes them off and puts them back.
    QVERIFY(form_->PointsItem->isEnabled() && form_->PointsItem->isChecked());
    const QImage withPoints = form_->Bitmap();
    QVERIFY(form_->RenderToMetafile());
    const QByteArray copyWithPoints = form_->Metafile();
    form_->PointsItem->trigger();
    QVERIFY(!form_->PointsItem->isChecked());
    QVERIFY(form_->Bitmap() != withPoints);
    const QImage withoutPoints = form_->Bitmap();
    // Copies and exports take the points as the screen shows them.
    QVERIFY(form_->RenderToMetafile());
    QVERIFY(form_->Metafile() != copyWithPoints);
    // Redrawn, not painted over: nothing of the other state is left behind.
    form_->PointsItem->trigger();
    QCOMPARE(form_->Bitmap(), withPoints);
    form_->PointsItem->trigger();
    QCOMPARE(form_->Bitmap(), withoutPoints);
}

void MainFitTest::severalResponsesAreAskedFor() {
    Start();
    QStringList offered;
    WhenModal([&offered](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        QVERIFY(input != nullptr);
        offered = input->comboBoxItems();
        ConfirmModel(QStringLiteral("Линейная модель Шеффе"));
        input->setTextValue(QStringLiteral("Удлинение, %"));
        input->accept();
    });
    QVERIFY(form_->ExecCommand(QStringLiteral("fit ") + kExample));
    QCOMPARE(offered, (QStringList{kStrength, QStringLiteral("Удлинение, %")}));
    QVERIFY(form_->EConsole->toPlainText().contains(QStringLiteral("Удлинение, %")));
    QVERIFY(form_->Isolines() != nullptr);
}

void MainFitTest::badTableLeavesPictureAndAsksNoModel_data() {
    QTest::addColumn<QString>("argument");
    QTest::newRow("missing") << dir_.filePath(QStringLiteral("нет такого.csv"));
    QTest::newRow("empty") << Write("empty.csv", "");
    QTest::newRow("header only") << Write("header.csv", "A;B;C;Y\n");
    QTest::newRow("unknown response") << kExample + QStringLiteral(" Вязкость");
    QTest::newRow("no finite value")
        << Write("nan.csv", "A;B;C;Y\n1;0;0;nan\n0;1;0;1e400\n0;0;1;inf\n");
}

void MainFitTest::badTableLeavesPictureAndAsksNoModel() {
    QFETCH(QString, argument);
    Start();
    form_->RunBatch(kBatch);
    const TIsolineSet* set = form_->Isolines();
    QVERIFY(set != nullptr);
    const QImage picture = form_->Bitmap();
    const qsizetype consoleLength = form_->EConsole->toPlainText().size();
    bool asked = false;
    ConfirmModel(kQuadratic, &asked);
    QVERIFY(form_->ExecCommand(QStringLiteral("fit ") + argument));
    QVERIFY(!asked);
    QCOMPARE(form_->Isolines(), set);
    QCOMPARE(form_->Bitmap(), picture);
    QVERIFY(!form_->PointsItem->isEnabled());
    // The reader's message reaches the console.
    QVERIFY(form_->EConsole->toPlainText().size() > consoleLength);
}

void MainFitTest::refusedModelLeavesPictureAndEvaluation() {
    Start();
    form_->RunBatch(kBatch);
    const TIsolineSet* set = form_->Isolines();
    const QImage picture = form_->Bitmap();
    const IsotriModel* before = form_->Evaluation().Model();
    // Ten distinct mixtures cannot separate fifteen coefficients.
    ConfirmModel(QStringLiteral("Полная модель Шеффе четвёртой степени"));
    QVERIFY(form_->ExecCommand(QStringLiteral("fit ") + kExample + u' ' + kStrength));
    QCOMPARE(form_->Isolines(), set);
    QCOMPARE(form_->Bitmap(), picture);
    QCOMPARE(form_->Evaluation().Model(), before);
    QVERIFY(!form_->PointsItem->isEnabled());
    QVERIFY2(form_->EConsole->toPlainText().contains(QStringLiteral("не разделяют")),
             qPrintable(form_->EConsole->toPlainText()));
}

void MainFitTest::readoutNamesTheMeasuredPointUnderTheMouse() {
    Start();
    ConfirmModel(kQuadratic);
    QVERIFY(form_->ExecCommand(QStringLiteral("fit ") + kExample + u' ' + kStrength));
    QVERIFY(form_->Isolines() != nullptr);
    const isotri::MeasuredPoint& point = form_->FitPoints().at(13);  // inside the triangle
    const std::optional<isotri::PicturePoint> placed =
        isotri::PlaceMixture(*form_->Isolines(), nullptr, point.Mixture);
    QVERIFY(placed.has_value());
    auto moveTo = [this](QPointF pixel) {
        QMouseEvent move(QEvent::MouseMove, pixel, form_->OutPanel->mapToGlobal(pixel),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form_->OutPanel, &move);
    };
    // Drawn with the default zoom 0,95 about the picture's centre, two pixels off the centre.
    const QPointF pixel(placed->X * 0.95 + 0.05 * 400 + 2, placed->Y * 0.95 + 0.05 * 370);
    const QString name = QStringLiteral("опыт, строка %1: ").arg(point.Line);
    moveTo(pixel);
    QVERIFY2(form_->StatusBar->currentMessage().contains(name),
             qPrintable(form_->StatusBar->currentMessage()));
    form_->PointsItem->trigger();  // hidden points are not named
    moveTo(pixel);
    QVERIFY(!form_->StatusBar->currentMessage().contains(name));
}

QTEST_MAIN(MainFitTest)
#include "MainFit_test.moc"
