#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "batch/CombinedModel.h"
#include "dialogs/ChooseMdlUnit.h"
#include "dialogs/FormatDlg.h"
#include "dialogs/SpinEdit.h"
#include "shell/MainUnit.h"
#include "support/GuiSupport.h"

namespace {

const QString kExample = QStringLiteral(ISOTRI_SOURCE_DIR "/examples/strength-and-cost.txt");
const std::string kConstant = "Модель постоянна. Построение изолиний невозможно.";
// Every model value lies at or below its ramp's low end: the combined value is 0 everywhere.
const char* const kConstantBatch = "model \"Линейная модель Шеффе\" 1 1 1 combine1 5 10 1\n";

// Minimum and maximum lines of the reports in the window's console.
int ReportLines(const TMainForm& form) {
    static const QRegularExpression report(QStringLiteral(
        R"(^>?(Minimum|Maximum) +[-+0-9,e]+ at \[ *[-+0-9,e]+(; *[-+0-9,e]+){2}\]$)"));
    int count = 0;
    for (const QString& line : form.EConsole->toPlainText().split(u'\n')) {
        count += report.match(line).hasMatch() ? 1 : 0;
    }
    return count;
}

}  // namespace

class MainBatchTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();
    void startArguments_data();
    void startArguments();
    void pictureTakesTheFormatDialogsViewSize();
    void isolineCountGridAndBoundsComeFromTheModelDialog();
    void ctrlJOpensTheFileDialog();
    void cancelledFileDialogChangesNothing();
    void loaderFailureKeepsPictureAndSet_data();
    void loaderFailureKeepsPictureAndSet();
    void constantBatchShowsMessageThenWhitePicture();
    void runEndsWithAPromptAndTheNextCommandRuns();

  private:
    void Start(const QStringList& arguments = {});
    QString WriteBatch(const char* name, const char* text);

    RecordingSink sink_;
    std::unique_ptr<TMainForm> form_;
    QTemporaryDir dir_;
};

void MainBatchTest::initTestCase() {
    QVERIFY(dir_.isValid());
}

void MainBatchTest::cleanup() {
    CancelPendingModals();
    form_.reset();
    sink_.messages.clear();
    sink_.onMessage = nullptr;
}

// The window of the program with the default module of the working directory.
void MainBatchTest::Start(const QStringList& arguments) {
    form_ = std::make_unique<TMainForm>(isotri::NumberText(','), &sink_);
    form_->CreateDialogs();
    form_->SetArguments(arguments);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

QString MainBatchTest::WriteBatch(const char* name, const char* text) {
    const QString path = dir_.filePath(QString::fromUtf8(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void MainBatchTest::startArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("runs");
    QTest::newRow("none") << QStringList{} << false;
    QTest::newRow("one") << QStringList{kExample} << true;
    QTest::newRow("two") << QStringList{kExample, kExample} << false;
}

void MainBatchTest::startArguments() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, runs);
    Start(arguments);
    QCOMPARE(form_->Isolines() != nullptr, runs);
    QCOMPARE(AllWhite(form_->Bitmap()), !runs);
    QCOMPARE(ReportLines(*form_), runs ? 2 : 0);
    QVERIFY(sink_.messages.empty());
    // Only the first showing looks at the arguments.
    const TIsolineSet* set = form_->Isolines();
    form_->hide();
    form_->show();
    QCOMPARE(form_->Isolines(), set);
    QCOMPARE(ReportLines(*form_), runs ? 2 : 0);
}

void MainBatchTest::pictureTakesTheFormatDialogsViewSize() {
    Start();
    form_->FormatDialog->SEViewWidth->SetText(QStringLiteral("600"));
    form_->FormatDialog->SEViewHeight->SetText(QStringLiteral("500"));
    form_->StatusBar->showMessage(QStringLiteral("stale"));
    form_->RunBatch(kExample);
    QCOMPARE(form_->Bitmap().size(), QSize(600, 500));
    QCOMPARE(form_->OutPanel->size(), QSize(600, 500));
    QVERIFY(form_->StatusBar->currentMessage().isEmpty());
    QVERIFY(!AllWhite(form_->Bitmap()));
}

void MainBatchTest::isolineCountGridAndBoundsComeFromTheModelDialog() {
    Start();
    form_->RunBatch(kExample);
    const QImage defaultPicture = form_->Bitmap();
    QCOMPARE(form_->Isolines()->LevelCount, TChooseMdlParamsDialog::kDefaultLines);
    // Over the whole triangle the lowest value lies at the first corner.
    QCOMPARE(isotri::LowestPoint[0], 1.0);

    // A sub-triangle away from that corner; the model and its coefficients stay unused.
    WhenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<TChooseMdlParamsDialog*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->LBModels->setCurrentItem(
            dialog->LBModels->findItems(QStringLiteral("Линейная модель Шеффе"), Qt::MatchExactly)
                .first());
        for (int i = 0; i < 3; ++i) {
            dialog->SGParameters->item(0, i)->setText(QStringLiteral("0"));
        }
        dialog->SELines->SetText(QStringLiteral("3"));
        dialog->SESplit->SetText(QStringLiteral("8"));
        const char* corners[] = {"0,5", "0,5", "0", "0", "1", "0", "0", "0", "1"};
        QLineEdit* edits[] = {dialog->EAx, dialog->EAy, dialog->EAz, dialog->EBx, dialog->EBy,
                              dialog->EBz, dialog->ECx, dialog->ECy, dialog->ECz};
        for (int i = 0; i < 9; ++i) {
            edits[i]->setText(QString::fromLatin1(corners[i]));
        }
        dialog->OkButton->click();
    });
    QCOMPARE(form_->ChooseMdlParamsDialog->exec(), int(QDialog::Accepted));
    QVERIFY(sink_.messages.empty());

    form_->RunBatch(kExample);
    QCOMPARE(form_->Isolines()->LevelCount, 3);
    QVERIFY(isotri::LowestPoint[0] <= 0.5 + 1e-9);
    QVERIFY(isotri::HighestPoint[0] <= 0.5 + 1e-9);
    QVERIFY(form_->Bitmap() != defaultPicture);

    // Bounds that only shape the scales: the whole triangle again.
    form_->ChooseMdlParamsDialog->CBScalesOnly->setChecked(true);
    form_->RunBatch(kExample);
    QCOMPARE(isotri::LowestPoint[0], 1.0);
    QCOMPARE(ReportLines(*form_), 6);
}

void MainBatchTest::ctrlJOpensTheFileDialog() {
    Start();
    QString caption;
    QStringList filters;
    QString directory;
    // Armed after the activation, whose wait could use up the dialog's polls on a busy machine.
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QTRY_VERIFY(QGuiApplication::focusWindow() == form_->windowHandle());
    // Only the dialog is checked here: its own accept() validates through a file system model
    // that the offscreen platform does not always fill, which left the dialog open for ever.
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog != nullptr);
        caption = dialog->windowTitle();
        filters = dialog->nameFilters();
        directory = dialog->directory().absolutePath();
        static_cast<QDialog*>(dialog)->reject();
    });
    QTest::keyClick(form_.get(), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(caption, QStringLiteral("Открыть"));
    QVERIFY(filters.size() <= 1 && (filters.isEmpty() || filters.first().contains('*')));
    QCOMPARE(directory, QDir::currentPath());
    QVERIFY(form_->findChildren<QFileDialog*>(QStringLiteral("BatchOpenDialog")).isEmpty());
}

void MainBatchTest::cancelledFileDialogChangesNothing() {
    Start({kExample});
    const TIsolineSet* set = form_->Isolines();
    const QImage before = form_->Bitmap();
    const QString console = form_->EConsole->toPlainText();
    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    form_->BatchItemClick();
    QCOMPARE(form_->Isolines(), set);
    QCOMPARE(form_->Bitmap(), before);
    QCOMPARE(form_->EConsole->toPlainText(), console);
    QVERIFY(sink_.messages.empty());
}

void MainBatchTest::loaderFailureKeepsPictureAndSet_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "missing.txt" << QString() << "Файл \"%1\" не найден !";
    QTest::newRow("no model found") << "unknown.txt"
                                    << "model Нет 1 2 combine1 0 1 1\n"
                                    << QString();
    QTest::newRow("empty lines only") << "blank.txt"
                                      << "\n\n"
                                      << QString();
}

void MainBatchTest::loaderFailureKeepsPictureAndSet() {
    QFETCH(QString, name);
    QFETCH(QString, content);
    QFETCH(QString, message);
    Start({kExample});
    form_->FormatDialog->SEViewWidth->SetText(QStringLiteral("300"));
    const TIsolineSet* set = form_->Isolines();
    QVERIFY(set != nullptr);
    const QImage before = form_->Bitmap();
    QCOMPARE(ReportLines(*form_), 2);

    const QString path = content.isNull()
                             ? dir_.filePath(name)
                             : WriteBatch(name.toUtf8().constData(), content.toUtf8().constData());
    form_->RunBatch(path);
    QCOMPARE(form_->Isolines(), set);
    QCOMPARE(form_->Bitmap(), before);
    QCOMPARE(form_->OutPanel->size(), QSize(800, 740));
    QCOMPARE(ReportLines(*form_), 2);
    if (message.isNull()) {
        QVERIFY(sink_.messages.empty());
    } else {
        QCOMPARE(sink_.messages, std::vector<std::string>{message.arg(path).toStdString()});
    }
    // The kept set is still the window's: Clear releases it.
    form_->ClearItemClick();
    QVERIFY(form_->Isolines() == nullptr);
}

void MainBatchTest::constantBatchShowsMessageThenWhitePicture() {
    Start({kExample});
    QVERIFY(form_->Isolines() != nullptr);
    const QImage before = form_->Bitmap();
    QCOMPARE(ReportLines(*form_), 2);
    bool oldPictureShown = false;
    sink_.onMessage = [&] { oldPictureShown = form_->Bitmap() == before; };
    form_->RunBatch(WriteBatch("constant.txt", kConstantBatch));
    QCOMPARE(sink_.messages, std::vector<std::string>{kConstant});
    QVERIFY(oldPictureShown);
    QVERIFY(form_->Isolines() == nullptr);
    QVERIFY(AllWhite(form_->Bitmap()));
    QCOMPARE(ReportLines(*form_), 2);
}

void MainBatchTest::runEndsWithAPromptAndTheNextCommandRuns() {
    Start({kExample});
    QCOMPARE(ReportLines(*form_), 2);
    const QStringList lines = form_->EConsole->toPlainText().split(u'\n');
    QCOMPARE(lines.constLast(), QStringLiteral(">"));
    QVERIFY(lines[lines.size() - 2].startsWith(QStringLiteral(">Maximum")));
    form_->EConsole->setFocus();
    QTest::keyClicks(form_->EConsole, QStringLiteral("clear"));
    QTest::keyClick(form_->EConsole, Qt::Key_Return);
    QCOMPARE(form_->EConsole->toPlainText(), QStringLiteral(">"));
}

QTEST_MAIN(MainBatchTest)
#include "MainBatch_test.moc"
