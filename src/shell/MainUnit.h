// The main window: owner of the model library, the current isoline set and the picture; the plot
// command from the model dialog to the picture on screen, and the menus.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/BatchRun.h"
#include "common/NumberText.h"
#include "companion/zorb_lib.h"
#include "export/PictureFile.h"
#include "fit/DataTable.h"
#include "plot/Evaluation.h"
#include "plot/PlotRoad.h"
#include "render/ExtremeMarks.h"

class QAction;
class QFileDialog;
class QMenu;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;
class QStatusBar;
class TChooseMdlParamsDialog;
class TFormatDialog;
class TMessageBoxSink;
class TPlotBreather;

namespace isotri {
class MessageSink;
class TAboutDialog;
class TAppendMdlDialog;
class TConsole;
class TMathDefinition;
class TPictureReadout;
}  // namespace isotri

// Shows a picture at its top left corner and paints nothing else.
class TPaintBox : public QWidget {
  public:
    TPaintBox(const QImage& source, QWidget* parent) : QWidget(parent), source_(source) {}

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const QImage& source_;
};

// The window is the batch run's view; only its own batch run calls that side.
class TMainForm : public QMainWindow, private isotri::BatchView {
    Q_OBJECT

  public:
    static constexpr int kStartWidth = 800;
    static constexpr int kStartHeight = 740;

    using ModuleLoader = std::function<void(isotri::TMathDefinition&)>;

    // Messages go to `sink`, or to message boxes when none is given. The model library loads the
    // modules of the current directory unless another loader is given.
    explicit TMainForm(const isotri::NumberText& numbers, isotri::MessageSink* sink = nullptr,
                       ModuleLoader loadModules = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The dialogs, in start-up order, after the window itself: About, append, model, format.
    void CreateDialogs();

    isotri::TMathDefinition& MathDef() { return *_MathDef; }
    isotri::MessageSink& Sink() { return *sink_; }
    const isotri::NumberText& Numbers() const { return numbers_; }
    const QImage& Bitmap() const { return _Bitmap; }
    const TIsolineSet* Isolines() const { return _Isolines.get(); }
    isotri::EvaluationContext& Evaluation() { return evaluation_; }

    isotri::TAboutDialog* AboutDialog = nullptr;
    isotri::TAppendMdlDialog* AppendMdlDialog = nullptr;
    TChooseMdlParamsDialog* ChooseMdlParamsDialog = nullptr;
    TFormatDialog* FormatDialog = nullptr;

    // Steps of a plot after the model dialog: the picture is sized from the Format dialog, the
    // set generated from the evaluation context and drawn (or the constant-model message).
    void GenerateAndDraw();
    // Draws the current set onto the picture at the picture's size and shows it.
    void DrawCurrentSet();
    // Records the current set into _Metafile at the picture's size; false without a set or when
    // the renderer refused the appearance settings (it has told the user).
    bool RenderToMetafile();
    const QByteArray& Metafile() const { return _Metafile; }

    // The console's interpreter: true when the line is one of its words.
    bool ExecCommand(const QString& line);
    // The command-line arguments after the program's name, looked at on the first showing.
    void SetArguments(const QStringList& arguments) { arguments_ = arguments; }
    // Loads the batch file and draws its combined model in place of a plot.
    virtual void RunBatch(const QString& fileName);
    // Fits a model chosen in the model dialog to the table and plots it with the measured points;
    // an empty response asks for one when the table offers several.
    void RunFit(const QString& fileName, const QString& response);
    // The console's "fit" argument: the longest leading part that names a file is the table, the
    // rest the response column.
    void RunFitCommand(const QString& argument);
    // The measured points of the last fit.
    const std::vector<isotri::MeasuredPoint>& FitPoints() const { return fitPoints_; }

    QScrollArea* AppWorkSpace;
    TPaintBox* OutPanel;
    QSplitter* ConSplitter;
    QPlainTextEdit* EConsole;
    QStatusBar* StatusBar;
    QFileDialog* SaveWMFDialog;

    QMenu* FileMenu;
    QAction* AppendItem;
    QAction* ExitItem;
    QAction* FitItem;
    QMenu* EditMenu;
    QAction* ClearItem;
    QAction* CopyItem;
    QMenu* VeridanMenu;
    QAction* PlotItem;
    QAction* FormatItem;
    QAction* ExportItem;
    QAction* BatchItem;
    QMenu* ViewMenu;
    QAction* ConsoleItem;
    QAction* PointsItem;
    QAction* ExtremesItem = nullptr;
    isotri::TPictureReadout* Readout() const { return readout_.get(); }
    QMenu* HelpMenu;
    QAction* AboutItem;
    QAction* BatchFormatItem;

  public slots:
    void PlotItemClick();
    void OutPanelPaint();
    void FormatItemClick();
    void ClearItemClick();
    void EditMenuClick();
    void VeridanMenuClick();
    void ExitItemClick();
    void AppendItemClick();
    void CopyItemClick();
    void ExportItemClick();
    void BatchItemClick();
    void ConsoleItemClick();
    void AboutItemClick();
    void BatchFormatItemClick();
    void FitItemClick();
    void PointsItemClick();
    void FormShow();
    void ExtremesItemClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void FormCreate(const ModuleLoader& loadModules);
    void FormDestroy();
    // The console's own start-up (after FormCreate) and shut-down (before FormDestroy).
    void ConsoleStartUp();
    void ConsoleShutDown();
    void BuildLayout();
    void BuildMenus();
    void ResizeBitmap(int width, int height);
    void ResizeOutPanel(int width, int height);
    void FillBitmapWhite();
    // Draws `set` onto the picture at the picture's size and shows it.
    void DrawSet(const TIsolineSet& set);
    void SizePicture(int width, int height) override;
    void ClearStatus() override;
    void ShowSet(const TIsolineSet& set) override;
    void ShowBlank() override;
    // The plot the dialogs ask for now, at the picture's size.
    isotri::PlotRequest CurrentRequest() const;
    // The current set (never null here) at the picture's size with the dialogs' settings as
    // they are now, as the screen, the clipboard and the files take it.
    isotri::PictureInput CurrentPicture();
    // The shown measured points that lie in `input`'s triangle, into `input.marks`.
    void PlaceMarks(isotri::PictureInput& input);
    // A fit's failure: on the console, and in a box when the console is hidden.
    void ReportFitError(const std::string& message);
    // Records `input` into _Metafile; false when the renderer refused the appearance settings.
    bool RecordMetafile(const isotri::PictureInput& input);
    // Reading the picture (MainReadout.cpp): the readout and "Экстремумы" set up, the set now
    // shown being a model's or a batch's, and the console word "at".
    void ReadoutStartUp();
    void ShowingModel(std::optional<isotri::PlotExtremes> extremes);
    void ShowingBatch(const TIsolineSet& set);
    void ReadAtCommand(const QString& mixture);
    // A plot stopped by the user: the old set and picture stay, the console says so.
    void PlotCancelled();

    std::unique_ptr<TMessageBoxSink> ownSink_;
    isotri::MessageSink* sink_;
    isotri::NumberText numbers_;

    std::unique_ptr<isotri::TConsole> console_;
    std::unique_ptr<isotri::TMathDefinition> _MathDef;
    isotri::EvaluationContext evaluation_;
    std::unique_ptr<TPlotBreather> breather_;
    QImage _Bitmap;
    // The last recording of the set for the clipboard and export.
    QByteArray _Metafile;
    isotri::IsolineSetPtr _Isolines;
    // The settings the last picture input points to.
    isotri::AppearanceSettings pictureSettings_;
    std::vector<isotri::MeasuredPoint> fitPoints_;
    // The marks the last picture input points to.
    std::vector<isotri::PicturePoint> marks_;
    QStringList arguments_;
    bool formShown_ = false;
    std::unique_ptr<isotri::TPictureReadout> readout_;
    std::optional<isotri::PlotExtremes> extremes_;  // of the set shown
    bool batchShown_ = false;                       // the set shown is a batch's
};
