#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "dialogs/ChooseMdlUnit.h"
#include "dialogs/ColorSwatch.h"
#include "dialogs/FormatDlg.h"
#include "dialogs/SpinEdit.h"
#include "models/MathDef.h"
#include "shell/MainUnit.h"
#include "support/GuiSupport.h"
#include "support/ShownMainForm.h"

namespace {

const QString kLinear = QStringLiteral("Линейный полином Шеффе");
const std::string kConstant =
    "На концентрационном треугольнике модель постоянна. Построение изолиний невозможно.";
const std::string kNoFiniteValue =
    "На концентрационном треугольнике модель не имеет конечных значений. Построение изолиний "
    "невозможно.";

int CountPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

class MainUnitTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup();
    void startsWithWhitePictureAndMenus();
    void shortcutsReachTheirHandlers_data();
    void shortcutsReachTheirHandlers();
    void noTwoItemsShareAShortcut();
    void withoutAddendsPlotIsDisabledAndCtrlRInert();
    void shortcutsFollowTheSet();
    void constantModelMessageComesBeforeWhitePicture();
    void undefinedModelIsNotCalledConstant();
    void cancelledPlotKeepsPicture();
    void viewSizeChangeWhileSetExists();
    void returnButtonChangesTakeEffectAtNextDrawing();
    void copyPutsOnlyTheMetafileOnTheClipboard();
    void exportSavesTheRecordedMetafile();
    void exportFailureIsShownAndKeepsTheWindow();
    void dialogsOpenCentredOnTheScreen_data();
    void dialogsOpenCentredOnTheScreen();

  private:
    void Start(const char* moduleDir);
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Export(const QString& path, QString* boxText);
    void Plot(const QStringList& coefs, int filter = 0, const QString& model = kLinear);

    RecordingSink sink_;
    std::unique_ptr<TMainForm> form_;
};

void MainUnitTest::cleanup() {
    CancelPendingModals();
    form_.reset();
    sink_.messages.clear();
    sink_.onMessage = nullptr;
}

void MainUnitTest::Start(const char* moduleDir) {
    form_ = ShownMainForm(moduleDir, &sink_);
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void MainUnitTest::Plot(const QStringList& coefs, int filter, const QString& model) {
    WhenModal([=](QWidget* modal) {
        auto* dialog = qobject_cast<TChooseMdlParamsDialog*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->RGModelTypeButtons->button(filter)->click();
        dialog->LBModels->setCurrentItem(
            dialog->LBModels->findItems(model, Qt::MatchExactly).first());
        for (int i = 0; i < coefs.size(); ++i) {
            dialog->SGParameters->item(0, i)->setText(coefs[i]);
        }
        dialog->OkButton->click();
    });
    form_->PlotItem->trigger();
}

void MainUnitTest::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    // The offscreen platform does not give the activation back when a modal dialog closes.
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    // Shortcuts follow the focus window, which can lag behind the active widget under load.
    QTRY_VERIFY(QGuiApplication::focusWindow() == form_->windowHandle());
    QTest::keyClick(form_.get(), key, modifiers);
}

void MainUnitTest::startsWithWhitePictureAndMenus() {
    Start("gui_models");
    QCOMPARE(form_->windowTitle(), QStringLiteral("Изолинии на концентрационном треугольнике"));
    QCOMPARE(form_->size(), QSize(812, 912));
    QCOMPARE(form_->OutPanel->size(), QSize(800, 740));
    QCOMPARE(form_->Bitmap().size(), QSize(800, 740));
    QVERIFY(AllWhite(form_->Bitmap()));
    QVERIFY(form_->Isolines() == nullptr);
    QVERIFY(!form_->ClearItem->isEnabled() && !form_->CopyItem->isEnabled());
    QVERIFY(form_->ConsoleItem->isChecked() && form_->EConsole->isVisible());
    form_->ConsoleItemClick();
    QVERIFY(!form_->ConsoleItem->isChecked() && !form_->EConsole->isVisible());
    form_->ConsoleItemClick();
    QVERIFY(form_->ConsoleItem->isChecked() && form_->EConsole->isVisible());
}

void MainUnitTest::shortcutsReachTheirHandlers_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("opened");  // class of the modal window the handler shows
    QTest::newRow("append") << "AppendItem"
                            << "isotri::TAppendMdlDialog";
    QTest::newRow("plot") << "PlotItem"
                          << "TChooseMdlParamsDialog";
    QTest::newRow("format") << "FormatItem"
                            << "TFormatDialog";
    QTest::newRow("export") << "ExportItem"
                            << "QFileDialog";
    QTest::newRow("batch") << "BatchItem"
                           << "QFileDialog";
}

void MainUnitTest::shortcutsReachTheirHandlers() {
    QFETCH(QString, item);
    QFETCH(QString, opened);
    Start("gui_models");
    Plot({"1", "2", "3"});
    auto* action = form_->findChild<QAction*>(item);
    QVERIFY(action != nullptr && !action->shortcut().isEmpty());
    QStringList modals;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&modals] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modals.append(QString::fromLatin1(modal->metaObject()->className()));
            modal->close();
        }
    });
    answer.start(20);
    const QKeyCombination pressed = action->shortcut()[0];
    Key(pressed.key(), pressed.keyboardModifiers());
    QCOMPARE(modals, QStringList{opened});
}

void MainUnitTest::noTwoItemsShareAShortcut() {
    Start("gui_models");
    QList<QKeySequence> taken;
    for (const QMenu* menu : form_->menuBar()->findChildren<QMenu*>()) {
        for (const QAction* action : menu->actions()) {
            if (action->shortcut().isEmpty()) {
                continue;
            }
            QVERIFY2(!taken.contains(action->shortcut()), qPrintable(action->objectName()));
            taken.append(action->shortcut());
        }
    }
    QVERIFY(taken.size() >= 7);
}

void MainUnitTest::withoutAddendsPlotIsDisabledAndCtrlRInert() {
    Start("gui_no_addens");
    QVERIFY(form_->MathDef().ModelCount() > 0);
    bool opened = false;
    WhenModal([&opened](QWidget* modal) {
        opened = true;
        qobject_cast<QDialog*>(modal)->reject();
    });
    Key(Qt::Key_R, Qt::ControlModifier);
    QTest::qWait(100);
    QVERIFY(!opened);
    QVERIFY(!form_->PlotItem->isEnabled());
    form_->VeridanMenu->popup(form_->mapToGlobal(QPoint(0, 0)));
    QVERIFY(!form_->PlotItem->isEnabled());
    QVERIFY(form_->FormatItem->isEnabled() && form_->BatchItem->isEnabled());
    form_->VeridanMenu->hide();
    // The console calls the handler directly, whatever the menu says.
    WhenModal([&opened](QWidget* modal) {
        opened = true;
        qobject_cast<QDialog*>(modal)->reject();
    });
    form_->PlotItemClick();
    QVERIFY(opened);
}

void MainUnitTest::shortcutsFollowTheSet() {
    Start("gui_models");
    bool opened = false;
    WhenModal([&opened](QWidget* modal) {
        opened = true;
        qobject_cast<QDialog*>(modal)->reject();
    });
    Key(Qt::Key_R, Qt::ControlModifier);
    QVERIFY(opened);

    Plot({"1", "2", "3"});
    QVERIFY(form_->Isolines() != nullptr);
    QVERIFY(!AllWhite(form_->Bitmap()));
    QVERIFY(form_->StatusBar->currentMessage().isEmpty());
    // Clear was disabled at start; its shortcut acts now that a set exists.
    Key(Qt::Key_Delete);
    QVERIFY(form_->Isolines() == nullptr);
    QVERIFY(AllWhite(form_->Bitmap()));
    form_->EditMenu->popup(form_->mapToGlobal(QPoint(0, 0)));
    QVERIFY(!form_->ClearItem->isEnabled() && !form_->CopyItem->isEnabled());
    form_->EditMenu->hide();
}

void MainUnitTest::constantModelMessageComesBeforeWhitePicture() {
    Start("gui_models");
    Plot({"1", "2", "3"});
    QVERIFY(form_->Isolines() != nullptr);
    const QImage before = form_->Bitmap();
    bool oldPictureShown = false;
    sink_.onMessage = [&] { oldPictureShown = form_->Bitmap() == before; };
    Plot({"0", "0", "0"});
    QCOMPARE(sink_.messages, std::vector<std::string>{kConstant});
    QVERIFY(oldPictureShown);
    QVERIFY(AllWhite(form_->Bitmap()));
    QVERIFY(form_->Isolines() == nullptr);
    form_->EditMenu->popup(form_->mapToGlobal(QPoint(0, 0)));
    QVERIFY(!form_->ClearItem->isEnabled() && !form_->CopyItem->isEnabled());
    form_->EditMenu->hide();
    form_->VeridanMenu->popup(form_->mapToGlobal(QPoint(0, 0)));
    QVERIFY(!form_->ExportItem->isEnabled());
    form_->VeridanMenu->hide();
}

void MainUnitTest::undefinedModelIsNotCalledConstant() {
    Start("gui_models");
    Plot({"1"}, 2, QStringLiteral("Неопределённая модель"));
    QCOMPARE(sink_.messages, std::vector<std::string>{kNoFiniteValue});
    QVERIFY(form_->StatusBar->currentMessage().isEmpty());
}

void MainUnitTest::cancelledPlotKeepsPicture() {
    Start("gui_models");
    Plot({"1", "2", "3"});
    const TIsolineSet* set = form_->Isolines();
    const QImage before = form_->Bitmap();
    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    Key(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(form_->Isolines(), set);
    QCOMPARE(form_->Bitmap(), before);
}

void MainUnitTest::viewSizeChangeWhileSetExists() {
    Start("gui_models");
    Plot({"1", "2", "3"});
    WhenModal([](QWidget* modal) {
        auto* format = qobject_cast<TFormatDialog*>(modal);
        format->SEViewWidth->SetText(QStringLiteral("1000"));
        format->SEViewHeight->SetText(QStringLiteral("900"));
        format->BOk->click();
    });
    form_->FormatItem->trigger();
    QCOMPARE(form_->OutPanel->size(), QSize(1000, 900));
    QCOMPARE(form_->Bitmap().size(), QSize(800, 740));
    QVERIFY(form_->Isolines() != nullptr);
    QTRY_VERIFY(form_->AppWorkSpace->horizontalScrollBar()->isVisible());
    Plot({"1", "2", "3"});
    QCOMPARE(form_->Bitmap().size(), QSize(1000, 900));
}

void MainUnitTest::returnButtonChangesTakeEffectAtNextDrawing() {
    Start("gui_models");
    Plot({"1", "2", "3"});
    const QImage before = form_->Bitmap();
    const QRgb red = qRgb(255, 0, 0);
    QCOMPARE(CountPixels(before, red), 0);
    WhenModal([](QWidget* modal) {
        auto* format = qobject_cast<TFormatDialog*>(modal);
        format->LineBox->SetColor(QColor(255, 0, 0));
        format->BCancel->click();
    });
    form_->FormatItem->trigger();
    QCOMPARE(form_->Bitmap(), before);
    Plot({"1", "2", "3"});
    QVERIFY(CountPixels(form_->Bitmap(), red) > 100);
}

void MainUnitTest::copyPutsOnlyTheMetafileOnTheClipboard() {
    Start("gui_models");
    QApplication::clipboard()->clear();
    form_->CopyItemClick();  // no set: nothing happens
    const QMimeData* empty = QApplication::clipboard()->mimeData();
    QVERIFY(empty == nullptr || !empty->hasFormat(QStringLiteral("image/emf")));
    form_->ExportItemClick();  // no set: no dialog
    Plot({"1", "2", "3"});
    Key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    QVERIFY(data->hasFormat(QStringLiteral("image/emf")));
    QVERIFY(!data->hasImage() && !data->hasText());
    QCOMPARE(data->data(QStringLiteral("image/emf")), form_->Metafile());
    QVERIFY(form_->Metafile().startsWith(QByteArray::fromHex("01000000")));
}

// The file dialog answers with `path`; the save's message box, if one comes, is read and closed.
void MainUnitTest::Export(const QString& path, QString* boxText) {
    WhenModal([path, boxText](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        QVERIFY(files != nullptr);
        // Typed as a user would: selectFile() does not leave the dialog's folder.
        auto* typed = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(typed != nullptr);
        typed->setText(path);
        if (boxText != nullptr) {
            WhenModal([boxText](QWidget* box) {
                auto* message = qobject_cast<QMessageBox*>(box);
                QVERIFY(message != nullptr);
                *boxText = message->text();
                message->accept();
            });
        }
        // Straight to the answer: accept() would question a folder that does not exist.
        static_cast<QDialog*>(files)->done(QDialog::Accepted);
    });
    form_->ExportItemClick();
}

void MainUnitTest::exportSavesTheRecordedMetafile() {
    Start("gui_models");
    Plot({"1", "2", "3"});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.emf"));
    Export(path, nullptr);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), form_->Metafile());
    QVERIFY(!form_->Metafile().isEmpty());
}

void MainUnitTest::exportFailureIsShownAndKeepsTheWindow() {
    Start("gui_models");
    Plot({"1", "2", "3"});
    const TIsolineSet* set = form_->Isolines();
    const QImage picture = form_->Bitmap();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/plot.emf"));
    QString boxText;
    Export(path, &boxText);
    QVERIFY2(boxText.startsWith(QStringLiteral("Cannot create file")), qPrintable(boxText));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(form_->Isolines(), set);
    QCOMPARE(form_->Bitmap(), picture);
    QVERIFY(sink_.messages.empty());
}

void MainUnitTest::dialogsOpenCentredOnTheScreen_data() {
    QTest::addColumn<QString>("item");
    QTest::newRow("model") << QStringLiteral("PlotItem");
    QTest::newRow("format") << QStringLiteral("FormatItem");
    QTest::newRow("append") << QStringLiteral("AppendItem");
    QTest::newRow("about") << QStringLiteral("AboutItem");
}

void MainUnitTest::dialogsOpenCentredOnTheScreen() {
    QFETCH(QString, item);
    Start("gui_models");
    // Away from the centre, so that centring on the window would show.
    form_->move(0, 0);
    QRect frame;
    WhenModal([&frame](QWidget* modal) {
        frame = modal->frameGeometry();
        qobject_cast<QDialog*>(modal)->reject();
    });
    form_->findChild<QAction*>(item)->trigger();
    QVERIFY(frame.isValid());
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2(
        (frame.center() - centre).manhattanLength() <= 2,
        qPrintable(
            QStringLiteral("frame centre %1,%2").arg(frame.center().x()).arg(frame.center().y())));
}

QTEST_MAIN(MainUnitTest)
#include "MainUnit_test.moc"
