#include "dialogs/FormatDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "dialogs/ColorSwatch.h"
#include "dialogs/InputChecks.h"
#include "dialogs/ScreenCentre.h"
#include "dialogs/SpinEdit.h"

namespace {

using isotri::AppearanceSettings;

// Character heights are pixels; the font dialog speaks points at 96 pixels per inch.
constexpr double kPixelsPerPoint = 96.0 / 72.0;

QColor ToQColor(isotri::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

isotri::Rgb ToRgb(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

QFont ToQFont(const isotri::FontSpec& spec) {
    QFont font(QString::fromStdString(spec.face));
    font.setPixelSize(spec.pixelHeight);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

int PixelHeight(const QFont& font) {
    if (font.pixelSize() > 0) {
        return font.pixelSize();
    }
    return std::max(1, static_cast<int>(std::lround(font.pointSizeF() * kPixelsPerPoint)));
}

QLineEdit* NewEdit(const QString& name, const std::string& text, QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(name);
    return edit;
}

QCheckBox* NewCheck(const QString& name, const QString& caption, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QPushButton* NewFontButton(const QString& name, QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("Шрифт ..."), parent);
    button->setObjectName(name);
    return button;
}

QGroupBox* NewGroup(const QString& name, const QString& caption, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(name);
    return group;
}

// The group's widgets in a two-column grid, one pair a row.
void LayRows(QGroupBox* group, std::initializer_list<std::pair<QWidget*, QWidget*>> rows) {
    auto* layout = new QGridLayout(group);
    int row = 0;
    for (const auto& [left, right] : rows) {
        layout->addWidget(left, row, 0);
        layout->addWidget(right, row, 1);
        ++row;
    }
}

}  // namespace

TFormatDialog::TFormatDialog(const isotri::NumberText& numbers, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FormatDialog"));
    setWindowTitle(QStringLiteral("Форматирование элементов"));
    const AppearanceSettings d = AppearanceSettings::Defaults(numbers);

    ColorDialog = new QColorDialog(this);
    ColorDialog->setObjectName(QStringLiteral("ColorDialog"));
    ColorDialog->setOption(QColorDialog::DontUseNativeDialog);
    labelFont_ = ToQFont(d.LabelFont);
    ticsFont_ = ToQFont(d.TicsFont);
    pointsFont_ = ToQFont(d.PointsFont);
    const std::pair<QFontDialog**, const char*> fontDialogs[] = {
        {&LabelFontDialog, "LabelFontDialog"},
        {&TicsFontDialog, "TicsFontDialog"},
        {&PointsFontDialog, "PointsFontDialog"}};
    for (const auto& [dialog, name] : fontDialogs) {
        *dialog = new QFontDialog(this);
        (*dialog)->setObjectName(QString::fromLatin1(name));
        (*dialog)->setOption(QFontDialog::DontUseNativeDialog);
    }

    BPtsF = NewFontButton(QStringLiteral("BPtsF"), this);
    BOk = new QPushButton(QStringLiteral("Ок"), this);
    BOk->setObjectName(QStringLiteral("BOk"));
    BOk->setDefault(true);
    BCancel = new QPushButton(QStringLiteral("Вернуть"), this);
    BCancel->setObjectName(QStringLiteral("BCancel"));

    auto* left = new QVBoxLayout;
    left->addWidget(BuildView());
    left->addWidget(BuildPlotArea(d));
    left->addWidget(BuildGrid(d));
    left->addWidget(BuildBackground(d));
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(BuildAxes(d));
    right->addWidget(BuildLineFmt(d));
    right->addWidget(BuildExport());
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* labelsRow = new QHBoxLayout;
    labelsRow->addWidget(BuildLabels(d), 1);
    labelsRow->addWidget(BPtsF, 0, Qt::AlignVCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BOk);
    buttons->addWidget(BCancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addLayout(labelsRow);
    top->addWidget(BuildGeom(d));
    top->addLayout(buttons);

    const QSize hint = sizeHint();
    setFixedSize(std::max(457, hint.width()), std::max(628, hint.height()));

    for (TColorSwatch* swatch : {BoundBox, FillBox, GridBox, AxesBox, LineBox, BackBox}) {
        connect(swatch, &TColorSwatch::MouseDown, this, &TFormatDialog::BoundBoxMouseDown);
    }
    for (TSpinEdit* edit : {SEViewWidth, SEViewHeight, SEBoundW, SEGridW, SEAxesW, SELineW,
                            SEPageWidth, SEPageHeight}) {
        connect(edit, &TSpinEdit::Exited, this, [this, edit] { SEBoundWExit(edit); });
    }
    connect(CBBound, &QCheckBox::clicked, this, &TFormatDialog::CBBoundClick);
    connect(CBLabels, &QCheckBox::clicked, this, &TFormatDialog::CBLabelsClick);
    connect(CBTics, &QCheckBox::clicked, this, &TFormatDialog::CBTicsClick);
    connect(BLabelF, &QPushButton::clicked, this, &TFormatDialog::BLabelFClick);
    connect(BTicsF, &QPushButton::clicked, this, &TFormatDialog::BTicsFClick);
    connect(BPtsF, &QPushButton::clicked, this, &TFormatDialog::BPtsFClick);
    connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TSpinEdit* TFormatDialog::NewSpin(const QString& name, isotri::SpinRange range, int value,
                                  QWidget* parent) {
    auto* edit = new TSpinEdit(range.min, range.max, value, parent);
    edit->setObjectName(name);
    return edit;
}

TColorSwatch* TFormatDialog::NewSwatch(const QString& name, isotri::Rgb color, QWidget* parent) {
    auto* swatch = new TColorSwatch(ToQColor(color), parent);
    swatch->setObjectName(name);
    return swatch;
}

QGroupBox* TFormatDialog::BuildView() {
    auto* group = NewGroup(QStringLiteral("GBView"), QStringLiteral(" Отображение "), this);
    const AppearanceSettings d;
    SEViewWidth = NewSpin(QStringLiteral("SEViewWidth"), AppearanceSettings::kViewSizeRange,
                          d.SEViewWidth, group);
    SEViewHeight = NewSpin(QStringLiteral("SEViewHeight"), AppearanceSettings::kViewSizeRange,
                           d.SEViewHeight, group);
    auto* layout = new QFormLayout(group);
    layout->addRow(QStringLiteral("Ширина, пикс.:"), SEViewWidth);
    layout->addRow(QStringLiteral("Высота, пикс.:"), SEViewHeight);
    return group;
}

QGroupBox* TFormatDialog::BuildPlotArea(const AppearanceSettings& d) {
    auto* group =
        NewGroup(QStringLiteral("GBPlotArea"), QStringLiteral(" Область построения "), this);
    CBBound = NewCheck(QStringLiteral("CBBound"), QStringLiteral("Граница"), d.CBBound, group);
    BoundBox = NewSwatch(QStringLiteral("BoundBox"), d.BoundBox, group);
    SEBoundW =
        NewSpin(QStringLiteral("SEBoundW"), AppearanceSettings::kPenWidthRange, d.SEBoundW, group);
    CBFill = NewCheck(QStringLiteral("CBFill"), QStringLiteral(" Заливка "), d.CBFill, group);
    FillBox = NewSwatch(QStringLiteral("FillBox"), d.FillBox, group);
    LayRows(group, {{CBBound, BoundBox},
                    {new QLabel(QStringLiteral("Толщина"), group), SEBoundW},
                    {CBFill, FillBox}});
    return group;
}

QGroupBox* TFormatDialog::BuildGrid(const AppearanceSettings& d) {
    auto* group = NewGroup(QStringLiteral("GBGrid"), QStringLiteral(" Сетка "), this);
    CBGrid = NewCheck(QStringLiteral("CBGrid"), QStringLiteral("Сетка"), d.CBGrid, group);
    GridBox = NewSwatch(QStringLiteral("GridBox"), d.GridBox, group);
    SEGridW =
        NewSpin(QStringLiteral("SEGridW"), AppearanceSettings::kPenWidthRange, d.SEGridW, group);
    LayRows(group, {{CBGrid, GridBox}, {new QLabel(QStringLiteral("Толщина"), group), SEGridW}});
    return group;
}

QGroupBox* TFormatDialog::BuildAxes(const AppearanceSettings& d) {
    auto* group = NewGroup(QStringLiteral("GBAxes"), QStringLiteral(" Оси "), this);
    CBAxes = NewCheck(QStringLiteral("CBAxes"), QStringLiteral("Оси"), d.CBAxes, group);
    AxesBox = NewSwatch(QStringLiteral("AxesBox"), d.AxesBox, group);
    SEAxesW =
        NewSpin(QStringLiteral("SEAxesW"), AppearanceSettings::kPenWidthRange, d.SEAxesW, group);
    CBLabels = NewCheck(QStringLiteral("CBLabels"), QStringLiteral("Метки"), d.CBLabels, group);
    BLabelF = NewFontButton(QStringLiteral("BLabelF"), group);
    SLabForm = NewEdit(QStringLiteral("SLabForm"), d.SLabForm, group);
    LayRows(group, {{CBAxes, AxesBox},
                    {new QLabel(QStringLiteral("Толщина"), group), SEAxesW},
                    {CBLabels, BLabelF},
                    {new QLabel(QStringLiteral("Формат:"), group), SLabForm}});
    return group;
}

QGroupBox* TFormatDialog::BuildLineFmt(const AppearanceSettings& d) {
    auto* group = NewGroup(QStringLiteral("GBLineFmt"), QStringLiteral(" Серии линий "), this);
    LineBox = NewSwatch(QStringLiteral("LineBox"), d.LineBox, group);
    SELineW =
        NewSpin(QStringLiteral("SELineW"), AppearanceSettings::kPenWidthRange, d.SELineW, group);
    CBTics = NewCheck(QStringLiteral("CBTics"), QStringLiteral("Метки"), d.CBTics, group);
    BTicsF = NewFontButton(QStringLiteral("BTicsF"), group);
    STicksForm = NewEdit(QStringLiteral("STicksForm"), d.STicksForm, group);
    LayRows(group, {{new QLabel(QStringLiteral("Цвет"), group), LineBox},
                    {new QLabel(QStringLiteral("Толщина"), group), SELineW},
                    {CBTics, BTicsF},
                    {new QLabel(QStringLiteral("Формат:"), group), STicksForm}});
    return group;
}

QGroupBox* TFormatDialog::BuildExport() {
    auto* group = NewGroup(QStringLiteral("GBExport"), QStringLiteral(" Экспорт "), this);
    // Shown only: the exported picture takes the pixel size of the screen picture.
    SEPageWidth = NewSpin(QStringLiteral("SEPageWidth"), AppearanceSettings::kPageSizeRange,
                          AppearanceSettings::kPageSizeDefault, group);
    SEPageHeight = NewSpin(QStringLiteral("SEPageHeight"), AppearanceSettings::kPageSizeRange,
                           AppearanceSettings::kPageSizeDefault, group);
    SEPageWidth->setEnabled(false);
    SEPageHeight->setEnabled(false);
    auto* layout = new QFormLayout(group);
    layout->addRow(QStringLiteral("Ширина, у.е.:"), SEPageWidth);
    layout->addRow(QStringLiteral("Высота, у.е.:"), SEPageHeight);
    return group;
}

QGroupBox* TFormatDialog::BuildBackground(const AppearanceSettings& d) {
    auto* group = NewGroup(QStringLiteral("GBBackground"), QStringLiteral(" Фон "), this);
    CBFillB = NewCheck(QStringLiteral("CBFillB"), QStringLiteral("Заливка"), d.CBFillB, group);
    BackBox = NewSwatch(QStringLiteral("BackBox"), d.BackBox, group);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(CBFillB);
    layout->addWidget(BackBox);
    return group;
}

QGroupBox* TFormatDialog::BuildLabels(const AppearanceSettings& d) {
    auto* group = NewGroup(QStringLiteral("GBLabels"), QStringLiteral("Названия вершин"), this);
    LabelA = NewEdit(QStringLiteral("LabelA"), d.LabelA, group);
    LabelB = NewEdit(QStringLiteral("LabelB"), d.LabelB, group);
    LabelC = NewEdit(QStringLiteral("LabelC"), d.LabelC, group);
    auto* layout = new QGridLayout(group);
    layout->addWidget(new QLabel(QStringLiteral("Первая"), group), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Вторая"), group), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Третья"), group), 0, 2);
    layout->addWidget(LabelA, 1, 0);
    layout->addWidget(LabelB, 1, 1);
    layout->addWidget(LabelC, 1, 2);
    return group;
}

QGroupBox* TFormatDialog::BuildGeom(const AppearanceSettings& d) {
    auto* group = NewGroup(
        QStringLiteral("GBGeom"),
        QStringLiteral(" Тонкие настройки геометрии (десятичный разделитель; текущая локаль!)"),
        this);
    EGlobalZoom = NewEdit(QStringLiteral("EGlobalZoom"), d.EGlobalZoom, group);
    Eaoscale = NewEdit(QStringLiteral("Eaoscale"), d.Eaoscale, group);
    ELabelOffset = NewEdit(QStringLiteral("ELabelOffset"), d.ELabelOffset, group);
    Etickslen = NewEdit(QStringLiteral("Etickslen"), d.Etickslen, group);
    Edit1 = NewEdit(QStringLiteral("Edit1"), {}, group);
    Edit4 = NewEdit(QStringLiteral("Edit4"), {}, group);
    auto* layout = new QGridLayout(group);
    const std::pair<const char*, QLineEdit*> rows[] = {{"Масштабный множитель", EGlobalZoom},
                                                       {"Смещение осей", Eaoscale},
                                                       {"Смещение меток", ELabelOffset},
                                                       {"Множиттель для меток", Etickslen},
                                                       {"резерв", Edit1},
                                                       {"резерв", Edit4}};
    for (int i = 0; i < 6; ++i) {
        const int row = i / 2;
        const int column = (i % 2) * 2;
        layout->addWidget(new QLabel(QString::fromUtf8(rows[i].first), group), row, column);
        layout->addWidget(rows[i].second, row, column + 1);
    }
    return group;
}

void TFormatDialog::BoundBoxMouseDown(QObject* sender) {
    auto* swatch = qobject_cast<TColorSwatch*>(sender);
    if (swatch == nullptr) {
        return;
    }
    ColorDialog->setCurrentColor(swatch->Color());
    if (ColorDialog->exec() == QDialog::Accepted) {
        swatch->SetColor(ColorDialog->selectedColor());
    }
}

void TFormatDialog::CBBoundClick() {
    const bool on = CBBound->isChecked();
    SEBoundW->setEnabled(on);
    CBFill->setEnabled(on);
}

void TFormatDialog::CBLabelsClick() {
    BLabelF->setEnabled(CBLabels->isChecked());
}

void TFormatDialog::CBTicsClick() {
    BTicsF->setEnabled(CBTics->isChecked());
}

void TFormatDialog::RunFontDialog(QFontDialog* dialog, QFont& font) {
    // The dialog lists real faces only, and "Arial" is a fontconfig alias: it is shown the face
    // fontconfig draws, with that face's own style name (the dialog's match of a computed one
    // fails under the Russian catalogue). Only what the user changed is taken, so a face left as
    // shown keeps the setting's own name and a height keeps its pixels.
    const QFontInfo drawn(font);
    QFont shown = font;
    shown.setFamily(drawn.family());
    shown.setStyleName(drawn.styleName());
    shown.setPointSizeF(PixelHeight(font) / kPixelsPerPoint);
    dialog->setCurrentFont(shown);
    const QFont offered = dialog->currentFont();
    if (dialog->exec() != QDialog::Accepted) {
        return;
    }
    const QFont chosen = dialog->selectedFont();
    if (chosen.family() != offered.family()) {
        font.setFamily(chosen.family());
    }
    if (chosen.pointSizeF() != offered.pointSizeF()) {
        font.setPixelSize(PixelHeight(chosen));
    }
    if (chosen.weight() != offered.weight()) {
        font.setWeight(chosen.weight());
    }
    if (chosen.italic() != offered.italic()) {
        font.setItalic(chosen.italic());
    }
    if (chosen.underline() != offered.underline()) {
        font.setUnderline(chosen.underline());
    }
    if (chosen.strikeOut() != offered.strikeOut()) {
        font.setStrikeOut(chosen.strikeOut());
    }
}

void TFormatDialog::BLabelFClick() {
    RunFontDialog(LabelFontDialog, labelFont_);
}

void TFormatDialog::BTicsFClick() {
    RunFontDialog(TicsFontDialog, ticsFont_);
}

void TFormatDialog::BPtsFClick() {
    RunFontDialog(PointsFontDialog, pointsFont_);
}

void TFormatDialog::SEBoundWExit(QObject* sender) {
    // A bad value is left at the edit's minimum; nothing else follows from the check.
    CheckSpinEdit(sender, this);
}

isotri::FontSpec TFormatDialog::ToFontSpec(const QFont& font) const {
    isotri::FontSpec spec;
    spec.face = font.family().toStdString();
    spec.pixelHeight = PixelHeight(font);
    spec.color = ToRgb(palette().color(QPalette::WindowText));
    spec.bold = font.bold();
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeOut = font.strikeOut();
    return spec;
}

AppearanceSettings TFormatDialog::Settings() const {
    auto text = [](const QLineEdit* edit) { return edit->text().toStdString(); };
    AppearanceSettings s;
    s.SEViewWidth = SEViewWidth->Value();
    s.SEViewHeight = SEViewHeight->Value();
    s.CBBound = CBBound->isChecked();
    s.BoundBox = ToRgb(BoundBox->Color());
    s.SEBoundW = SEBoundW->Value();
    s.CBFill = CBFill->isChecked();
    s.FillBox = ToRgb(FillBox->Color());
    s.CBGrid = CBGrid->isChecked();
    s.GridBox = ToRgb(GridBox->Color());
    s.SEGridW = SEGridW->Value();
    s.CBAxes = CBAxes->isChecked();
    s.AxesBox = ToRgb(AxesBox->Color());
    s.SEAxesW = SEAxesW->Value();
    s.CBLabels = CBLabels->isChecked();
    s.LabelFont = ToFontSpec(labelFont_);
    s.SLabForm = text(SLabForm);
    s.LineBox = ToRgb(LineBox->Color());
    s.SELineW = SELineW->Value();
    s.CBTics = CBTics->isChecked();
    s.TicsFont = ToFontSpec(ticsFont_);
    s.STicksForm = text(STicksForm);
    s.CBFillB = CBFillB->isChecked();
    s.BackBox = ToRgb(BackBox->Color());
    s.LabelA = text(LabelA);
    s.LabelB = text(LabelB);
    s.LabelC = text(LabelC);
    s.PointsFont = ToFontSpec(pointsFont_);
    s.EGlobalZoom = text(EGlobalZoom);
    s.Eaoscale = text(Eaoscale);
    s.ELabelOffset = text(ELabelOffset);
    s.Etickslen = text(Etickslen);
    return s;
}

void TFormatDialog::done(int result) {
    // Enter confirms without leaving a spin edit; a bad value there is handled as leaving it
    // would, and the dialog stays open rather than apply a number the field does not show.
    if (result == QDialog::Accepted) {
        TSpinEdit* edit = TSpinEdit::Holding(focusWidget());
        if (edit != nullptr && !edit->InRange()) {
            SEBoundWExit(edit);
            return;
        }
    }
    QDialog::done(result);
}

void TFormatDialog::showEvent(QShowEvent* event) {
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
