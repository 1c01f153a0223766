// The console in the main window: every word reaches its handler, whatever the menus allow.

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "GuiSupport.h"
#include "dialogs/AppendMdlUnit.h"
#include "dialogs/ChooseMdlUnit.h"
#include "models/MathDef.h"
#include "shell/MainUnit.h"

namespace {

// A window whose batch runs are only noted.
class BatchRecordingForm final : public TMainForm {
  public:
    using TMainForm::TMainForm;
    void RunBatch(const QString& fileName) override { batches.append(fileName); }
    QStringList batches;
};

}  // namespace

class MainConsoleTest : public QObject {
    Q_OBJECT

  private:
    RecordingSink sink_;
    std::unique_ptr<BatchRecordingForm> form_;
    QStringList modals_;  // class names of the modal windows the commands opened

    QString Text() const { return form_->EConsole->toPlainText(); }

    // Types a command line and Enter; every modal window it opens is noted and cancelled.
    void Command(const QString& line) {
        QTimer answer;
        connect(&answer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modals_.append(QString::fromLatin1(modal->metaObject()->className()));
                modal->close();
            }
        });
        answer.start(20);
        QTest::keyClicks(form_->EConsole, line);
        QTest::keyClick(form_->EConsole, Qt::Key_Return);
    }

  private slots:
    void init() {
        const std::string path = ModulePath("gui_models");
        form_ = std::make_unique<BatchRecordingForm>(
            isotri::NumberText(','), &sink_,
            [path](isotri::TMathDefinition& mathDef) { mathDef.LoadModule(path); });
        form_->CreateDialogs();
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        form_->EConsole->setFocus();
        modals_.clear();
        sink_.messages.clear();
    }
    void cleanup() { form_.reset(); }

    void startsWithThePromptAndShowsOutput() {
        QCOMPARE(Text(), QStringLiteral(">"));
        con_lputs(48, "information\r");
        con_lputs(64, "too detailed\r");
        QCOMPARE(Text(), QStringLiteral(">\n>information\n>"));
    }

    void wordsReachTheirHandlersEvenWhenDisabled_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("opened");
        QTest::newRow("helpabout") << "helpabout"
                                   << "isotri::TAboutDialog";
        QTest::newRow("append") << "append"
                                << "isotri::TAppendMdlDialog";
        QTest::newRow("format") << "format"
                                << "TFormatDialog";
        QTest::newRow("plot") << "plot"
                              << "TChooseMdlParamsDialog";
    }
    void wordsReachTheirHandlersEvenWhenDisabled() {
        QFETCH(QString, word);
        QFETCH(QString, opened);
        for (QAction* action : form_->findChildren<QAction*>()) {
            action->setEnabled(false);
        }
        Command(word);
        QCOMPARE(modals_.size(), 1);
        QVERIFY2(modals_[0].endsWith(opened.section(u':', -1)), qPrintable(modals_[0]));
        QCOMPARE(Text(), QStringLiteral(">%1\n>").arg(word));
    }

    void exportReachesItsHandlerWhenDisabled() {
        WhenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<TChooseMdlParamsDialog*>(modal);
            QVERIFY(dialog != nullptr);
            dialog->LBModels->setCurrentItem(dialog->LBModels->findItems(
                QStringLiteral("Линейный полином Шеффе"), Qt::MatchExactly)[0]);
            for (int i = 0; i < 3; ++i) {
                dialog->SGParameters->item(0, i)->setText(QString::number(i + 1));
            }
            dialog->OkButton->click();
        });
        form_->PlotItemClick();
        QVERIFY(form_->Isolines() != nullptr);
        form_->ExportItem->setEnabled(false);
        Command(QStringLiteral("export"));
        QCOMPARE(modals_, QStringList{"QFileDialog"});
    }

    void unknownLinesAreEchoed_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("capital") << "Plot";
        QTest::newRow("leading blank") << " plot";
        QTest::newRow("trailing blank") << "plot ";
    }
    void unknownLinesAreEchoed() {
        QFETCH(QString, line);
        Command(line);
        QVERIFY(modals_.isEmpty());
        QCOMPARE(Text(), QStringLiteral(">%1\nUser: %1\n>").arg(line));
    }

    void enterOnTheBarePrompt() {
        QTest::keyClick(form_->EConsole, Qt::Key_Return);
        QCOMPARE(Text(), QStringLiteral(">\n>"));
        QVERIFY(modals_.isEmpty());
    }

    void batchWords() {
        Command(QStringLiteral("batch"));
        QCOMPARE(modals_, QStringList{"QFileDialog"});
        Command(QStringLiteral("batch   "));
        Command(QStringLiteral("batch  name.txt"));
        Command(QStringLiteral("batchname.txt  "));
        QCOMPARE(form_->batches, QStringList({"name.txt", "name.txt  "}));
        QCOMPARE(modals_.size(), 1);
        QCOMPARE(Text(), QStringLiteral(">batch\n>batch   \n"
                                        ">\"batch\" keyword must be followed by file name !\n"
                                        ">batch  name.txt\n>batchname.txt  \n>"));
    }

    void clearLeavesOnlyThePrompt() {
        Command(QStringLiteral("Plot"));
        Command(QStringLiteral("clear"));
        QCOMPARE(Text(), QStringLiteral(">"));
    }

    void quitClosesTheWindow() {
        Command(QStringLiteral("quit"));
        QVERIFY(!form_->isVisible());
    }

    void bareShellMarkReportsNothing() {
        Command(QStringLiteral("!"));
        QCOMPARE(Text(), QStringLiteral(">!\n>"));
        QVERIFY(sink_.messages.empty());
    }

    void consoleKeyHidesAndShowsTheConsole() {
        QTest::keyClicks(form_->EConsole, QStringLiteral("ab"));
        QTest::keyClick(form_->EConsole, Qt::Key_QuoteLeft);
        QVERIFY(form_->EConsole->isHidden());
        QVERIFY(!form_->ConsoleItem->isChecked());
        QCOMPARE(Text(), QStringLiteral(">ab"));
        QTest::keyClick(form_.get(), Qt::Key_AsciiTilde, Qt::ShiftModifier);
        QVERIFY(form_->EConsole->isVisible());
        QVERIFY(form_->ConsoleItem->isChecked());
        QCOMPARE(QApplication::focusWidget(), form_->EConsole);
        QCOMPARE(Text(), QStringLiteral(">ab"));
    }

    void disabledShortcutsDoNotEditTheConsole() {
        QTest::keyClicks(form_->EConsole, QStringLiteral("abc"));
        QTest::keyClick(form_->EConsole, Qt::Key_Left);
        QTest::keyClick(form_->EConsole, Qt::Key_Delete);  // Clear without a set: disabled
        QTest::keyClick(form_->EConsole, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Text(), QStringLiteral(">abc"));
    }

    void appendReportsTheModelsAdded() {
        const QString before = QDir::currentPath();
        const int models = form_->MathDef().ModelCount();
        const int listed = form_->ChooseMdlParamsDialog->LBModels->count();
        QDir::setCurrent(QString::fromUtf8(ISOTRI_TEST_MODULE_DIR "/gui_models"));
        form_->AppendMdlDialog->DirectoryListBox->OpenDirectory(QDir::currentPath());
        WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
        form_->AppendItemClick();
        QDir::setCurrent(before);
        const int added = form_->MathDef().ModelCount() - models;
        QVERIFY(added > 0);
        QCOMPARE(sink_.messages.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(sink_.messages[0]),
                 QStringLiteral("Добавлено %1 моделей.").arg(added));
        QVERIFY(form_->ChooseMdlParamsDialog->LBModels->count() > listed);
    }

    void outputAfterTheWindowIsGoneIsDropped() {
        form_.reset();
        con_puts("nobody listens\r");
    }
};

QTEST_MAIN(MainConsoleTest)
#include "MainConsole_test.moc"
