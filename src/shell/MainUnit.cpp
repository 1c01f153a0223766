#include "shell/MainUnit.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>

#include "common/ProgramFiles.h"
#include "dialogs/AboutUnit.h"
#include "dialogs/AppendMdlUnit.h"
#include "dialogs/ChooseMdlUnit.h"
#include "dialogs/FormatDlg.h"
#include "export/Metafile.h"
#include "export/MetafileSupport.h"
#include "models/MathDef.h"
#include "shell/Application.h"
#include "shell/Command.h"
#include "shell/ConsoleMemo.h"
#include "shell/MessageBoxSink.h"
#include "shell/PictureReadout.h"
#include "shell/PlotBreather.h"

namespace {

constexpr int kConsoleHeight = 100;
constexpr int kSplitterMinSize = 20;

// Clears the progress text however the generator ends.
class StatusClearer {
  public:
    explicit StatusClearer(QStatusBar* bar) : bar_(bar) {}
    ~StatusClearer() { bar_->clearMessage(); }
    StatusClearer(const StatusClearer&) = delete;
    StatusClearer& operator=(const StatusClearer&) = delete;

  private:
    QStatusBar* bar_;
};

}  // namespace

void TPaintBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, source_);
}

TMainForm::TMainForm(const isotri::NumberText& numbers, isotri::MessageSink* sink,
                     ModuleLoader loadModules, QWidget* parent)
    : QMainWindow(parent), numbers_(numbers) {
    if (sink == nullptr) {
        ownSink_ = std::make_unique<TMessageBoxSink>(this);
        sink = ownSink_.get();
    }
    sink_ = sink;
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kProgramTitle));
    BuildLayout();
    BuildMenus();
    resize(812, 912);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    FormCreate(loadModules);
    ConsoleStartUp();
    ReadoutStartUp();
    // Menu items' enabled states are brought up to date before their shortcuts act.
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    ConsoleShutDown();
    FormDestroy();
}

void TMainForm::FormCreate(const ModuleLoader& loadModules) {
    _MathDef = std::make_unique<isotri::TMathDefinition>(*sink_);
    if (loadModules) {
        loadModules(*_MathDef);
    } else {
        _MathDef->LoadDirectory(".");
    }
    _Bitmap = QImage(OutPanel->width(), OutPanel->height(), QImage::Format_RGB32);
    FillBitmapWhite();
    _Metafile.clear();
    _Isolines.reset();
}

void TMainForm::FormDestroy() {
    _MathDef.reset();
    _Bitmap = QImage();
    _Metafile.clear();
    _Isolines.reset();
}

void TMainForm::ConsoleStartUp() {
    console_ = std::make_unique<isotri::TConsole>(
        EConsole, this, [this](const QString& line) { return ExecCommand(line); });
    connect(console_.get(), &isotri::TConsole::ToggleRequested, this, &TMainForm::ConsoleItemClick);
    console_->Start();
    // Commands can be typed as soon as the window appears.
    EConsole->setFocus();
}

void TMainForm::ConsoleShutDown() {
    console_->Stop();
}

bool TMainForm::ExecCommand(const QString& line) {
    using isotri::CommandKind;
    const isotri::Command command = isotri::ParseCommand(line);
    switch (command.kind) {
        case CommandKind::Unknown:
            return false;
        case CommandKind::Shell:
            // What the shell says of the command is its own business; only a shell that could
            // not be started at all is noted, and only on standard error.
            if (!isotri::StartShellCommand(command.argument)) {
                qWarning("/bin/sh could not be started for: %s", qPrintable(command.argument));
            }
            return true;
        case CommandKind::Quit:
        case CommandKind::Exit:
            ExitItemClick();
            return true;
        case CommandKind::Clear:
            console_->Clear();
            return true;
        case CommandKind::HelpAbout:
            AboutItemClick();
            return true;
        case CommandKind::Append:
            AppendItemClick();
            return true;
        case CommandKind::Plot:
            PlotItemClick();
            return true;
        case CommandKind::Format:
            FormatItemClick();
            return true;
        case CommandKind::Export:
            ExportItemClick();
            return true;
        case CommandKind::BatchAsk:
            BatchItemClick();
            return true;
        case CommandKind::BatchNoName:
            con_lputs(16, isotri::kBatchNoNameError);
            return true;
        case CommandKind::BatchFile:
            RunBatch(command.argument);
            return true;
        case CommandKind::FitAsk:
            FitItemClick();
            return true;
        case CommandKind::FitNoName:
            con_lputs(16, isotri::kFitNoNameError);
            return true;
        case CommandKind::FitFile:
            RunFitCommand(command.argument);
            return true;
        case CommandKind::At:
            ReadAtCommand(command.argument);
            return true;
    }
    return false;
}

void TMainForm::CreateDialogs() {
    AboutDialog = new isotri::TAboutDialog(this);
    AppendMdlDialog = new isotri::TAppendMdlDialog(this);
    ChooseMdlParamsDialog =
        new TChooseMdlParamsDialog(*_MathDef, *sink_, numbers_, evaluation_, this);
    FormatDialog = new TFormatDialog(numbers_, this);
    evaluation_.SetProgressHook([this](int percent) {
        StatusBar->showMessage(QStringLiteral("Выполнено %1%").arg(percent));
        // The generator holds the event loop; the bar is painted at once or not at all.
        StatusBar->repaint();
        return isotri::ProgressAnswer::Go;
    });
    breather_ = std::make_unique<TPlotBreather>(*this);
    evaluation_.SetBreathHook([this] { return breather_->Breathe(); });
}

void TMainForm::BuildLayout() {
    AppWorkSpace = new QScrollArea;
    AppWorkSpace->setObjectName(QStringLiteral("AppWorkSpace"));
    AppWorkSpace->setWidgetResizable(false);
    AppWorkSpace->setMinimumHeight(kSplitterMinSize);
    OutPanel = new TPaintBox(_Bitmap, AppWorkSpace);
    OutPanel->setObjectName(QStringLiteral("OutPanel"));
    OutPanel->setFixedSize(kStartWidth, kStartHeight);
    AppWorkSpace->setWidget(OutPanel);

    EConsole = new QPlainTextEdit;
    EConsole->setObjectName(QStringLiteral("EConsole"));

    ConSplitter = new QSplitter(Qt::Vertical);
    ConSplitter->setObjectName(QStringLiteral("ConSplitter"));
    ConSplitter->setHandleWidth(3);
    ConSplitter->setChildrenCollapsible(false);
    ConSplitter->addWidget(AppWorkSpace);
    ConSplitter->addWidget(EConsole);
    ConSplitter->setStretchFactor(0, 1);
    ConSplitter->setStretchFactor(1, 0);
    ConSplitter->setSizes({800, kConsoleHeight});
    setCentralWidget(ConSplitter);

    StatusBar = statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    SaveWMFDialog = new QFileDialog(this);
    SaveWMFDialog->setObjectName(QStringLiteral("SaveWMFDialog"));
    SaveWMFDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveWMFDialog->setFileMode(QFileDialog::AnyFile);
    SaveWMFDialog->setDefaultSuffix(QStringLiteral("emf"));
    SaveWMFDialog->setNameFilter(QStringLiteral("Метафайл Windows (*.emf)"));
    SaveWMFDialog->selectFile(QStringLiteral("triangle"));
}

void TMainForm::BuildMenus() {
    QMenuBar* MainMenu = menuBar();
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    auto addMenu = [&](const char* name, const QString& caption) {
        QMenu* menu = MainMenu->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& shortcut, void (TMainForm::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    FileMenu = addMenu("FileMenu", QStringLiteral("Файл"));
    AppendItem = addItem(FileMenu, "AppendItem", QStringLiteral("Добавить модели ..."),
                         QKeySequence(Qt::CTRL | Qt::Key_A), &TMainForm::AppendItemClick);
    ExitItem =
        addItem(FileMenu, "ExitItem", QStringLiteral("Выход"), {}, &TMainForm::ExitItemClick);
    FitItem = addItem(FileMenu, "FitItem", QStringLiteral("Подогнать по данным ..."), {},
                      &TMainForm::FitItemClick);

    EditMenu = addMenu("EditMenu", QStringLiteral("Правка"));
    ClearItem = addItem(EditMenu, "ClearItem", QStringLiteral("Очистить"),
                        QKeySequence(Qt::Key_Delete), &TMainForm::ClearItemClick);
    CopyItem = addItem(EditMenu, "CopyItem", QStringLiteral("Копировать"),
                       QKeySequence(Qt::CTRL | Qt::Key_C), &TMainForm::CopyItemClick);
    ClearItem->setEnabled(false);
    CopyItem->setEnabled(false);
    connect(EditMenu, &QMenu::aboutToShow, this, &TMainForm::EditMenuClick);

    VeridanMenu = addMenu("VeridanMenu", QStringLiteral("График"));
    PlotItem = addItem(VeridanMenu, "PlotItem", QStringLiteral("Построить ..."),
                       QKeySequence(Qt::CTRL | Qt::Key_R), &TMainForm::PlotItemClick);
    FormatItem = addItem(VeridanMenu, "FormatItem", QStringLiteral("Формат ..."),
                         QKeySequence(Qt::CTRL | Qt::Key_F), &TMainForm::FormatItemClick);
    ExportItem = addItem(VeridanMenu, "ExportItem", QStringLiteral("Экспорт ..."),
                         QKeySequence(Qt::CTRL | Qt::Key_E), &TMainForm::ExportItemClick);
    VeridanMenu->addSeparator();
    BatchItem = addItem(VeridanMenu, "BatchItem", QStringLiteral("Умножение моделей ..."),
                        QKeySequence(Qt::CTRL | Qt::Key_J), &TMainForm::BatchItemClick);
    connect(VeridanMenu, &QMenu::aboutToShow, this, &TMainForm::VeridanMenuClick);

    ViewMenu = addMenu("ViewMenu", QStringLiteral("Вид"));
    ConsoleItem = addItem(ViewMenu, "ConsoleItem", QStringLiteral("Консоль"), {},
                          &TMainForm::ConsoleItemClick);
    ConsoleItem->setCheckable(true);
    ConsoleItem->setChecked(true);
    PointsItem = addItem(ViewMenu, "PointsItem", QStringLiteral("Точки опыта"), {},
                         &TMainForm::PointsItemClick);
    PointsItem->setCheckable(true);
    PointsItem->setEnabled(false);

    HelpMenu = addMenu("HelpMenu", QStringLiteral("Справка"));
    AboutItem = addItem(HelpMenu, "AboutItem", QStringLiteral("О программе ..."), {},
                        &TMainForm::AboutItemClick);
    BatchFormatItem =
        addItem(HelpMenu, "BatchFormatItem", QStringLiteral("О многокритериальной оптимизации ..."),
                {}, &TMainForm::BatchFormatItemClick);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        auto holds = [&pressed](const QMenu* menu) {
            for (const QAction* action : menu->actions()) {
                if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
                    return true;
                }
            }
            return false;
        };
        if (holds(EditMenu)) {
            EditMenuClick();
        }
        if (holds(VeridanMenu)) {
            VeridanMenuClick();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::ResizeBitmap(int width, int height) {
    if (_Bitmap.width() == width && _Bitmap.height() == height) {
        return;
    }
    // The old picture stays in the corner until the new one is drawn.
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(Qt::white);
    QPainter painter(&resized);
    painter.drawImage(0, 0, _Bitmap);
    painter.end();
    _Bitmap = std::move(resized);
}

void TMainForm::ResizeOutPanel(int width, int height) {
    if (OutPanel->width() != width || OutPanel->height() != height) {
        OutPanel->setFixedSize(width, height);
    }
}

void TMainForm::FillBitmapWhite() {
    _Bitmap.fill(Qt::white);
}

void TMainForm::PlotItemClick() {
    if (ChooseMdlParamsDialog->exec() != QDialog::Accepted) {
        return;
    }
    GenerateAndDraw();
}

isotri::PlotRequest TMainForm::CurrentRequest() const {
    isotri::PlotRequest request;
    request.lines = ChooseMdlParamsDialog->Lines();
    request.divisions = ChooseMdlParamsDialog->Split();
    request.bounds = ChooseMdlParamsDialog->Bounds();
    request.scalesOnly = ChooseMdlParamsDialog->ScalesOnly();
    request.width = _Bitmap.width();
    request.height = _Bitmap.height();
    return request;
}

void TMainForm::GenerateAndDraw() {
    const isotri::AppearanceSettings settings = FormatDialog->Settings();
    isotri::PlotRequest request = CurrentRequest();
    request.width = settings.SEViewWidth;
    request.height = settings.SEViewHeight;
    isotri::Plot plot;
    {
        const isotri::TPictureReadout::Pause pause(*readout_);
        const StatusClearer clearer(StatusBar);
        plot = isotri::GeneratePlot(request, evaluation_);
    }
    if (plot.stopAsked) {
        PlotCancelled();
        return;
    }
    _Isolines = std::move(plot.set);
    ShowingModel(plot.extremes);
    SizePicture(settings.SEViewWidth, settings.SEViewHeight);
    if (_Isolines != nullptr) {
        DrawCurrentSet();
        return;
    }
    sink_->ShowMessage(plot.EmptyMessage(false));
    FillBitmapWhite();
    OutPanelPaint();
}

void TMainForm::PlotCancelled() {
    con_lputs(32, (std::string(isotri::kPlotCancelledLine) + "\r").c_str());
}

void TMainForm::DrawCurrentSet() {
    if (_Isolines != nullptr) {
        DrawSet(*_Isolines);
    }
}

void TMainForm::DrawSet(const TIsolineSet& set) {
    isotri::PictureInput input = CurrentPicture();
    input.set = &set;
    PlaceMarks(input);
    isotri::DrawPicture(input, _Bitmap);
    OutPanelPaint();
}

void TMainForm::OutPanelPaint() {
    if (OutPanel->isVisible()) {
        OutPanel->repaint();
    }
}

void TMainForm::FormatItemClick() {
    if (FormatDialog->exec() != QDialog::Accepted) {
        return;
    }
    const isotri::AppearanceSettings settings = FormatDialog->Settings();
    ResizeOutPanel(settings.SEViewWidth, settings.SEViewHeight);
    DrawCurrentSet();
}

void TMainForm::ClearItemClick() {
    _Isolines.reset();
    readout_->Hide();
    FillBitmapWhite();
    OutPanelPaint();
}

void TMainForm::EditMenuClick() {
    const bool hasSet = _Isolines != nullptr;
    CopyItem->setEnabled(hasSet);
    ClearItem->setEnabled(hasSet);
}

void TMainForm::VeridanMenuClick() {
    PlotItem->setEnabled(_MathDef->AddendCount() > 0);
    ExportItem->setEnabled(_Isolines != nullptr);
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

void TMainForm::ExitItemClick() {
    close();
}

void TMainForm::AppendItemClick() {
    if (AppendMdlDialog->exec() != QDialog::Accepted) {
        return;
    }
    const std::int32_t before = _MathDef->ModelCount();
    _MathDef->LoadDirectory(QFile::encodeName(AppendMdlDialog->Directory()).toStdString());
    ChooseMdlParamsDialog->FillModels();
    const std::int32_t added = _MathDef->ModelCount() - before;
    sink_->ShowMessage(QStringLiteral("Добавлено %1 моделей.").arg(added).toStdString());
}

isotri::PictureInput TMainForm::CurrentPicture() {
    pictureSettings_ = FormatDialog->Settings();
    isotri::PictureInput input;
    input.set = _Isolines.get();
    input.width = _Bitmap.width();
    input.height = _Bitmap.height();
    input.divisions = ChooseMdlParamsDialog->Split();
    input.settings = &pictureSettings_;
    input.extremes = ExtremesItem->isChecked() && extremes_ ? &*extremes_ : nullptr;
    input.bounds = ChooseMdlParamsDialog->Bounds().data();
    input.numbers = &numbers_;
    input.sink = sink_;
    input.screen = isotri::PrimaryScreenMetrics();
    PlaceMarks(input);
    return input;
}

bool TMainForm::RenderToMetafile() {
    return _Isolines != nullptr && RecordMetafile(CurrentPicture());
}

bool TMainForm::RecordMetafile(const isotri::PictureInput& input) {
    std::optional<QByteArray> emf = isotri::RenderToMetafile(input);
    if (!emf) {
        return false;
    }
    _Metafile = std::move(*emf);
    return true;
}

void TMainForm::CopyItemClick() {
    if (RenderToMetafile()) {
        QApplication::clipboard()->setMimeData(isotri::MetafileMimeData(_Metafile).release());
    }
}

void TMainForm::ExportItemClick() {
    if (_Isolines == nullptr) {
        return;
    }
    const isotri::PictureInput input = CurrentPicture();
    if (!RecordMetafile(input)) {
        return;
    }
    if (SaveWMFDialog->exec() != QDialog::Accepted || SaveWMFDialog->selectedFiles().isEmpty()) {
        return;
    }
    const QString fileName = SaveWMFDialog->selectedFiles().first();
    const isotri::SaveResult result =
        isotri::SavePictureFile(fileName.toStdString(), input, &_Metafile);
    if (!result.ok) {
        TApplication::ShowException(QString::fromStdString(result.error));
    }
}

void TMainForm::ConsoleItemClick() {
    ConsoleItem->setChecked(EConsole->isHidden());
    EConsole->setVisible(ConsoleItem->isChecked());
    if (ConsoleItem->isChecked()) {
        EConsole->setFocus();
    }
}

void TMainForm::AboutItemClick() {
    AboutDialog->exec();
}

void TMainForm::BatchFormatItemClick() {
    // The viewer's answer is not reported: a missing document simply does not open.
    // Beside the program in the build tree, in the documentation folder when installed.
    const std::string found =
        isotri::FindProgramFile("multiobjective.pdf", isotri::kInstalledDocFolder);
    const QString path = found.empty() ? QDir(QCoreApplication::applicationDirPath())
                                             .filePath(QStringLiteral("multiobjective.pdf"))
                                       : QDir::cleanPath(QString::fromStdString(found));
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
