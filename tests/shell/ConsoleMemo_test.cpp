// The console memo as the user types into it, first in a bare window with two menu actions,
// then in the main window, where its words reach the window's handlers.

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>
#include <string>

#include "companion/zorb_lib.h"
#include "dialogs/AppendMdlUnit.h"
#include "dialogs/ChooseMdlUnit.h"
#include "models/MathDef.h"
#include "shell/ConsoleMemo.h"
#include "shell/MainUnit.h"
#include "support/GuiSupport.h"

using isotri::TConsole;

class ConsoleMemoTest : public QObject {
    Q_OBJECT

  private:
    QMainWindow* window_ = nullptr;
    QPlainTextEdit* edit_ = nullptr;
    QPlainTextEdit* other_ = nullptr;
    QAction* enabledAction_ = nullptr;
    QAction* disabledAction_ = nullptr;
    TConsole* console_ = nullptr;
    QStringList commands_;
    QStringList known_{QStringLiteral("plot")};

    QString Text() const { return edit_->toPlainText(); }
    // QTest types ASCII only; other letters come as their text, as from a national layout.
    void Type(const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(edit_, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Click, edit_, Qt::Key_unknown, QString(c), {});
            }
        }
        QTest::keyClick(edit_, Qt::Key_Return);
    }

  private slots:
    void init() {
        window_ = new QMainWindow;
        auto* central = new QWidget(window_);
        auto* layout = new QVBoxLayout(central);
        other_ = new QPlainTextEdit(central);
        edit_ = new QPlainTextEdit(central);
        edit_->setObjectName(QStringLiteral("EConsole"));
        layout->addWidget(other_);
        layout->addWidget(edit_);
        window_->setCentralWidget(central);
        enabledAction_ = new QAction(QStringLiteral("enabled"), window_);
        enabledAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        disabledAction_ = new QAction(QStringLiteral("disabled"), window_);
        disabledAction_->setShortcut(QKeySequence(Qt::Key_Delete));
        disabledAction_->setEnabled(false);
        window_->addAction(enabledAction_);
        window_->addAction(disabledAction_);
        commands_.clear();
        console_ = new TConsole(edit_, window_, [this](const QString& line) {
            commands_.append(line);
            if (line == u"say") {
                con_lputs(48, "said\r");
            }
            return known_.contains(line) || line == u"say";
        });
        console_->Start();
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_));
        edit_->setFocus();
    }

    void cleanup() {
        delete console_;
        delete window_;
    }

    void startTypesThePrompt() { QCOMPARE(Text(), QStringLiteral(">")); }

    void longOutputLeavesTheViewAtTheLineStart() {
        window_->resize(300, 200);
        const std::string line = std::string(600, 'x') + "\r";
        con_puts(line.c_str());
        QCOMPARE(edit_->horizontalScrollBar()->value(), 0);
        QVERIFY(edit_->horizontalScrollBar()->maximum() > 0);
    }

    void enterOnBarePromptRunsNothing() {
        QTest::keyClick(edit_, Qt::Key_Return);
        QCOMPARE(Text(), QStringLiteral(">\n>"));
        QVERIFY(commands_.isEmpty());
    }

    void enterHandsTheLineOverAndEchoesTheUnknown_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("known") << "plot"
                               << ">plot\n>";
        QTest::newRow("capital") << "Plot"
                                 << ">Plot\nUser: Plot\n>";
        QTest::newRow("leading blank") << " plot"
                                       << "> plot\nUser:  plot\n>";
        QTest::newRow("trailing blank") << "plot "
                                        << ">plot \nUser: plot \n>";
        QTest::newRow("output in between") << "say"
                                           << ">say\n>said\n>";
        QTest::newRow("cyrillic") << "график"
                                  << ">график\nUser: график\n>";
    }
    void enterHandsTheLineOverAndEchoesTheUnknown() {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        Type(typed);
        QCOMPARE(commands_, QStringList{typed});
        QCOMPARE(Text(), text);
    }

    void enterWorksWithAnyModifier() {
        QTest::keyClicks(edit_, QStringLiteral("plot"));
        QTest::keyClick(edit_, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(edit_, QStringLiteral("plot"));
        QTest::keyClick(edit_, Qt::Key_Enter, Qt::KeypadModifier | Qt::ControlModifier);
        QCOMPARE(commands_, QStringList({"plot", "plot"}));
        QCOMPARE(Text(), QStringLiteral(">plot\n>plot\n>"));
    }

    void deletedPromptCostsTheFirstLetter() {
        QTest::keyClick(edit_, Qt::Key_Backspace);
        Type(QStringLiteral("plot"));
        QCOMPARE(commands_, QStringList{"lot"});
        QCOMPARE(Text(), QStringLiteral("plot\nUser: lot\n>"));
    }

    void onlyTheLastLineIsRead() {
        Type(QStringLiteral("x"));
        QTextCursor cursor(edit_->document());
        edit_->setTextCursor(cursor);
        QTest::keyClicks(edit_, QStringLiteral("plot"));
        QTest::keyClick(edit_, Qt::Key_Return);
        QCOMPARE(commands_, QStringList{"x"});
        QCOMPARE(Text(), QStringLiteral("plot>x\nUser: x\n>\n>"));
    }

    void aVeryLongLineIsCutAtItsLimit() {
        const QString line(20000, u'a');
        edit_->insertPlainText(line);
        QTest::keyClick(edit_, Qt::Key_Return);
        QCOMPARE(commands_.size(), 1);
        QCOMPARE(commands_[0], QString(TConsole::kMaxLineLength - 1, u'a'));
    }

    void outputShowsTheFirstLineWithAPrompt_data() {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("text");
        QTest::newRow("line") << QByteArray("done\r") << ">\n>done\n>";
        QTest::newRow("carriage return inside") << QByteArray("ab\rcd\r") << ">\n>ab\n>cd\n>";
        QTest::newRow("empty line") << QByteArray("\r") << ">\n>\n>";
    }
    void outputShowsTheFirstLineWithAPrompt() {
        QFETCH(QByteArray, written);
        QFETCH(QString, text);
        con_puts(written.constData());
        QCOMPARE(Text(), text);
    }

    void callbackTakesTheTextUpToTheFirstLineEnd() {
        TConsole::ConsoleOutput("first\rsecond\nthird");
        TConsole::ConsoleOutput("one\ntwo");
        TConsole::ConsoleOutput(nullptr);
        TConsole::ConsoleOutput("\r");
        QCOMPARE(Text(), QStringLiteral(">\n>first\n>one\n>\n>\n>"));
    }

    void outputWithoutACommandEndsWithOnePromptAndTheNextCommandRuns() {
        con_puts("Min = 1\r");
        con_puts("Max = 2\r");
        QCOMPARE(Text(), QStringLiteral(">\n>Min = 1\n>Max = 2\n>"));
        QCOMPARE(edit_->textCursor().position(), Text().size());
        Type(QStringLiteral("plot"));
        QCOMPARE(commands_, QStringList{"plot"});
        QCOMPARE(Text(), QStringLiteral(">\n>Min = 1\n>Max = 2\n>plot\n>"));
    }

    void outputLandsAtTheEndWhereverTheCaretStands() {
        con_puts("Min = 1\r");
        edit_->moveCursor(QTextCursor::Start);
        con_puts("Max = 2\r");
        QCOMPARE(Text(), QStringLiteral(">\n>Min = 1\n>Max = 2\n>"));
        QCOMPARE(edit_->textCursor().position(), Text().size());
    }

    void typedTextAfterThePromptIsKept() {
        con_puts("Min = 1\r");
        QTest::keyClicks(edit_, QStringLiteral("pl"));
        con_puts("Max = 2\r");
        QCOMPARE(Text(), QStringLiteral(">\n>Min = 1\n>pl\n>Max = 2\n>"));
    }

    void commandOutputGetsTheCommandsOnePrompt() {
        Type(QStringLiteral("say"));
        con_puts("late\r");
        QCOMPARE(Text(), QStringLiteral(">say\n>said\n>\n>late\n>"));
    }

    void keysThatNeverEditTheText() {
        QTest::keyClicks(edit_, QStringLiteral("ab"));
        QTest::keyClick(edit_, Qt::Key_Return);
        QTest::keyClicks(edit_, QStringLiteral("cd"));
        const QString before = Text();
        const int position = edit_->textCursor().position();
        QTest::keyClick(edit_, Qt::Key_Up);
        QTest::keyClick(edit_, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(edit_->textCursor().position(), position);
        QTest::keyClick(edit_, Qt::Key_Left);
        QTest::keyClick(edit_, Qt::Key_Delete);  // the disabled menu item's shortcut
        QTest::keyClick(edit_, Qt::Key_Z, Qt::NoModifier);
        QCOMPARE(Text(), before.left(before.size() - 1) + u'z' + before.right(1));
    }

    void graveAndTildeNeverEnterTheText() {
        QSignalSpy toggles(console_, &TConsole::ToggleRequested);
        QTest::keyClick(edit_, Qt::Key_QuoteLeft);
        QTest::keyClick(edit_, Qt::Key_AsciiTilde, Qt::ShiftModifier);
        // The same characters from another key of some layout.
        QKeyEvent grave(QEvent::KeyPress, Qt::Key_F35, Qt::NoModifier, QStringLiteral("`~"));
        QApplication::sendEvent(edit_, &grave);
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("a`b~c"));
        QApplication::sendEvent(edit_, &composed);
        QCOMPARE(Text(), QStringLiteral(">abc"));
        QCOMPARE(toggles.count(), 2);
    }

    void consoleKeyTogglesFromAnywhereInTheWindow() {
        QSignalSpy toggles(console_, &TConsole::ToggleRequested);
        other_->setFocus();
        QTest::keyClick(other_, Qt::Key_QuoteLeft);
        QCOMPARE(toggles.count(), 1);
        QVERIFY(other_->toPlainText().isEmpty());
        QPlainTextEdit elsewhere;
        QTest::keyClick(&elsewhere, Qt::Key_QuoteLeft);
        QCOMPARE(toggles.count(), 1);
        QCOMPARE(elsewhere.toPlainText(), QStringLiteral("`"));
    }

    void enabledMenuShortcutWinsOverTheEditingKey() {
        QSignalSpy triggered(enabledAction_, &QAction::triggered);
        QTest::keyClicks(edit_, QStringLiteral("ab"));
        QTest::keyClick(edit_, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(triggered.count(), 1);
        QVERIFY(!edit_->textCursor().hasSelection());
    }

    void stoppedConsoleShowsNoMoreOutput() {
        console_->Stop();
        con_puts("late\r");
        QCOMPARE(Text(), QStringLiteral(">"));
    }
};

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

    void showsInformationButNothingFiner() {
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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    ConsoleMemoTest memo;
    MainConsoleTest window;
    const int memoFailures = QTest::qExec(&memo, argc, argv);
    return memoFailures + QTest::qExec(&window, argc, argv);
}

#include "ConsoleMemo_test.moc"
