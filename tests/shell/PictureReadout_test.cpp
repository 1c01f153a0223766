#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "dialogs/ChooseMdlUnit.h"
#include "dialogs/FormatDlg.h"
#include "models/MathDef.h"
#include "shell/MainUnit.h"
#include "shell/PictureReadout.h"
#include "support/GuiSupport.h"
#include "support/ShownMainForm.h"

namespace {

const QString kLinear = QStringLiteral("Линейный полином Шеффе");
// Two ramps over y1 = x1 + 2·x2 + 3·x3 and y2 = 3·x1 + 2·x2 + x3, both from 1 to 3.
const char* const kTwoRamps =
    "model \"Линейный полином Шеффе\" 1 2 3 combine1 1 3 1\n"
    "model \"Линейный полином Шеффе\" 3 2 1 combine1 1 3 1\n";

}  // namespace

class PictureReadoutTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();
    void statusBarReadsTheMixtureUnderTheMouse_data();
    void statusBarReadsTheMixtureUnderTheMouse();
    void batchShowsTheDesirabilities();
    void guideLinesStayOutOfThePictureAndItsCopies();
    void leftClickWritesTheReadingToTheConsole();
    void progressTextIsLeftAlone();
    void extremesAreMarkedOnlyWhileChecked();
    void atWordReadsTheModel_data();
    void atWordReadsTheModel();

  private:
    void Start();
    void Plot(const QStringList& coefs);
    // The display pixel of weights of the set's corners A, B, C, with the default zoom 0,95.
    QPointF PixelOf(double a, double b, double c) const;
    void Move(QPointF pixel);
    QString LastConsoleLine() const;

    RecordingSink sink_;
    std::unique_ptr<TMainForm> form_;
    QTemporaryDir dir_;
};

void PictureReadoutTest::initTestCase() {
    QVERIFY(dir_.isValid());
}

void PictureReadoutTest::cleanup() {
    CancelPendingModals();
    form_.reset();
    sink_.messages.clear();
}

void PictureReadoutTest::Start() {
    form_ = ShownMainForm("gui_models", &sink_);
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void PictureReadoutTest::Plot(const QStringList& coefs) {
    WhenModal([=](QWidget* modal) {
        auto* dialog = qobject_cast<TChooseMdlParamsDialog*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->LBModels->setCurrentItem(
            dialog->LBModels->findItems(kLinear, Qt::MatchExactly).first());
        for (int i = 0; i < coefs.size(); ++i) {
            dialog->SGParameters->item(0, i)->setText(coefs[i]);
        }
        dialog->OkButton->click();
    });
    form_->PlotItem->trigger();
    QVERIFY(form_->Isolines() != nullptr);
}

QPointF PictureReadoutTest::PixelOf(double a, double b, double c) const {
    const TPoint3f* v = form_->Isolines()->Vertices;
    const double x = a * v[0].X + b * v[1].X + c * v[2].X;
    const double y = a * v[0].Y + b * v[1].Y + c * v[2].Y;
    const double w = form_->Bitmap().width(), h = form_->Bitmap().height();
    return {x * 0.95 + 0.05 * w / 2, y * 0.95 + 0.05 * h / 2};
}

void PictureReadoutTest::Move(QPointF pixel) {
    QMouseEvent move(QEvent::MouseMove, pixel, form_->OutPanel->mapToGlobal(pixel), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form_->OutPanel, &move);
}

QString PictureReadoutTest::LastConsoleLine() const {
    QStringList lines = form_->EConsole->toPlainText().split(u'\n');
    while (!lines.isEmpty() && (lines.last().isEmpty() || lines.last() == u">")) {
        lines.removeLast();
    }
    return lines.isEmpty() ? QString() : lines.last();
}

void PictureReadoutTest::statusBarReadsTheMixtureUnderTheMouse_data() {
    QTest::addColumn<QPointF>("weights");  // of A and B; C takes the rest
    QTest::addColumn<QString>("corners");  // the Format dialog's names, "" for the defaults
    QTest::addColumn<QString>("text");
    // y = x1 + 2·x2 + 3·x3 with the coefficients 1 2 3.
    QTest::newRow("centre") << QPointF(1.0 / 3, 1.0 / 3) << ""
                            << "A = 0,333  B = 0,333  C = 0,333   y = 2";
    QTest::newRow("inside") << QPointF(0.2, 0.3) << ""
                            << "A = 0,200  B = 0,300  C = 0,500   y = 2,3";
    QTest::newRow("corner A") << QPointF(1, 0) << ""
                              << "A = 1,000  B = 0,000  C = 0,000   y = 1";
    QTest::newRow("names") << QPointF(0, 0.5) << "Вода"
                           << "Вода = 0,000  B = 0,500  C = 0,500   y = 2,5";
}

void PictureReadoutTest::statusBarReadsTheMixtureUnderTheMouse() {
    QFETCH(QPointF, weights);
    QFETCH(QString, corners);
    QFETCH(QString, text);
    Start();
    Plot({"1", "2", "3"});
    if (!corners.isEmpty()) {
        form_->FormatDialog->LabelA->setText(corners);
    }
    const int evaluations = form_->Evaluation().EvalCount();
    Move(PixelOf(weights.x(), weights.y(), 1 - weights.x() - weights.y()));
    QCOMPARE(form_->StatusBar->currentMessage(), text);
    QVERIFY(form_->Readout()->Overlay()->HasLines());
    // Reading evaluates the model apart from the plot's count and never generates again.
    QCOMPARE(form_->Evaluation().EvalCount(), evaluations);

    Move({3, 3});  // outside the triangle
    QCOMPARE(form_->StatusBar->currentMessage(), QString());
    QVERIFY(!form_->Readout()->Overlay()->HasLines());
}

void PictureReadoutTest::batchShowsTheDesirabilities() {
    Start();
    Move(QPointF(400, 400));  // no set yet: nothing to read
    QCOMPARE(form_->StatusBar->currentMessage(), QString());
    const QString path = dir_.filePath(QStringLiteral("ramps.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kTwoRamps);
    file.close();
    form_->RunBatch(path);
    QVERIFY(form_->Isolines() != nullptr);
    Move(PixelOf(0.2, 0.3, 0.5));
    // y1 = 2,3 and y2 = 1,7: d1 = 0,65, d2 = 0,35, D = √(0,65·0,35).
    QCOMPARE(form_->StatusBar->currentMessage(),
             QStringLiteral("A = 0,200  B = 0,300  C = 0,500   D = 0,47697  d1 = 0,65  d2 = 0,35"));
    // A plot afterwards reads its model again.
    Plot({"1", "2", "3"});
    Move(PixelOf(0.2, 0.3, 0.5));
    QCOMPARE(form_->StatusBar->currentMessage(),
             QStringLiteral("A = 0,200  B = 0,300  C = 0,500   y = 2,3"));
}

void PictureReadoutTest::guideLinesStayOutOfThePictureAndItsCopies() {
    Start();
    Plot({"1", "2", "3"});
    QVERIFY(form_->RenderToMetafile());
    const QByteArray before = form_->Metafile();
    const QImage picture = form_->Bitmap().copy();
    const QImage screenBefore = form_->OutPanel->grab().toImage();

    Move(PixelOf(0.2, 0.3, 0.5));
    QVERIFY(form_->Readout()->Overlay()->HasLines());
    // The display shows the lines ...
    QVERIFY(form_->OutPanel->grab().toImage() != screenBefore);
    // ... the picture, its copy and its files do not.
    QCOMPARE(form_->Bitmap(), picture);
    QVERIFY(form_->RenderToMetafile());
    QCOMPARE(form_->Metafile(), before);
}

void PictureReadoutTest::leftClickWritesTheReadingToTheConsole() {
    Start();
    Plot({"1", "2", "3"});
    const QPointF pixel = PixelOf(0.2, 0.3, 0.5);
    QMouseEvent press(QEvent::MouseButtonPress, pixel, form_->OutPanel->mapToGlobal(pixel),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_->OutPanel, &press);
    QCOMPARE(LastConsoleLine(), QStringLiteral(">A = 0,200  B = 0,300  C = 0,500   y = 2,3"));

    const int lines = form_->EConsole->toPlainText().count(u'\n');
    QMouseEvent outside(QEvent::MouseButtonPress, QPointF(2, 2),
                        form_->OutPanel->mapToGlobal(QPointF(2, 2)), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
    QApplication::sendEvent(form_->OutPanel, &outside);
    QMouseEvent right(QEvent::MouseButtonPress, pixel, form_->OutPanel->mapToGlobal(pixel),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(form_->OutPanel, &right);
    QCOMPARE(form_->EConsole->toPlainText().count(u'\n'), lines);
}

void PictureReadoutTest::progressTextIsLeftAlone() {
    Start();
    Plot({"1", "2", "3"});
    const isotri::TPictureReadout::Pause pause(*form_->Readout());
    form_->StatusBar->showMessage(QStringLiteral("Выполнено 40%"));
    Move(PixelOf(0.2, 0.3, 0.5));
    QCOMPARE(form_->StatusBar->currentMessage(), QStringLiteral("Выполнено 40%"));
    Move({3, 3});
    QCOMPARE(form_->StatusBar->currentMessage(), QStringLiteral("Выполнено 40%"));
}

void PictureReadoutTest::extremesAreMarkedOnlyWhileChecked() {
    Start();
    QVERIFY(form_->ExtremesItem->isCheckable());
    QVERIFY(!form_->ExtremesItem->isChecked());
    QCOMPARE(form_->ExtremesItem->text(), QStringLiteral("Экстремумы"));
    QCOMPARE(form_->ViewMenu->actions().first(), form_->ConsoleItem);
    Plot({"1", "2", "3"});
    const QImage plain = form_->Bitmap().copy();
    QVERIFY(form_->RenderToMetafile());
    QVERIFY(!form_->Metafile().contains(QStringLiteral("макс").toUtf8()));

    form_->ExtremesItem->trigger();
    QVERIFY(form_->ExtremesItem->isChecked());
    QVERIFY(form_->Bitmap() != plain);
    // The minimum 1 at corner A, the maximum 3 at corner C, in the label format "%2.3g".
    QVERIFY(form_->RenderToMetafile());
    const QByteArray emf = form_->Metafile();
    auto utf16 = [](const char16_t* text) {
        return QByteArray(reinterpret_cast<const char*>(text),
                          static_cast<qsizetype>(std::char_traits<char16_t>::length(text) * 2));
    };
    QVERIFY(emf.contains(utf16(u"мин  1")));
    QVERIFY(emf.contains(utf16(u"макс  3")));

    form_->ExtremesItem->trigger();
    QCOMPARE(form_->Bitmap(), plain);
}

void PictureReadoutTest::atWordReadsTheModel_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("printed");
    QTest::newRow("normalised") << "at 1 1 2"
                                << ">A = 0,250  B = 0,250  C = 0,500   y = 2,25";
    QTest::newRow("full stops") << "at 0.2 0.3 0.5"
                                << ">A = 0,200  B = 0,300  C = 0,500   y = 2,3";
    QTest::newRow("negative") << "at 1 -1 1"
                              << ">at: Доля смеси не может быть отрицательной: \"-1\".";
    QTest::newRow("missing") << "at 1 1"
                             << ">at: Нужно три доли смеси, задано 2. Пример: 0,2 0,3 0,5";
}

void PictureReadoutTest::atWordReadsTheModel() {
    QFETCH(QString, line);
    QFETCH(QString, printed);
    Start();
    QVERIFY(form_->ExecCommand(QStringLiteral("at 1 1 1")));
    QCOMPARE(LastConsoleLine(),
             QStringLiteral(">at: модель ещё не выбрана: сначала постройте изолинии (plot)."));
    Plot({"1", "2", "3"});
    QVERIFY(form_->ExecCommand(line));
    QCOMPARE(LastConsoleLine(), printed);
}

QTEST_MAIN(PictureReadoutTest)
#include "PictureReadout_test.moc"
