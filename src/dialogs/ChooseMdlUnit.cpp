#include "dialogs/ChooseMdlUnit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "common/MessageSink.h"
#include "dialogs/InputChecks.h"
#include "dialogs/ScreenCentre.h"
#include "dialogs/SpinEdit.h"
#include "models/MathDef.h"
#include "plot/PlotRoad.h"

namespace {

constexpr int kValueRow = 0;  // the labels row is the grid's header

enum ModelFilter { kScheffeOnly = 0, kThreeFactors = 1, kAllModels = 2 };

const char* const kScheffeMark = "еффе";

QTableWidgetItem* ValueItem(QTableWidget* grid, int column) {
    QTableWidgetItem* item = grid->item(kValueRow, column);
    if (item == nullptr) {
        item = new QTableWidgetItem(QStringLiteral("0"));
        grid->setItem(kValueRow, column, item);
    }
    return item;
}

}  // namespace

TChooseMdlParamsDialog::TChooseMdlParamsDialog(isotri::TMathDefinition& mathDef,
                                               isotri::MessageSink& sink,
                                               const isotri::NumberText& numbers,
                                               isotri::EvaluationContext& evaluation,
                                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      mathDef_(mathDef),
      sink_(sink),
      numbers_(numbers),
      evaluation_(evaluation),
      _Coefs(kMinCoefs, 0.0) {
    setObjectName(QStringLiteral("ChooseMdlParamsDialog"));
    setWindowTitle(QStringLiteral("Параметры семейства изолиний"));
    BuildControls();

    ValueItem(SGParameters, 0)->setText(QStringLiteral("0"));
    FillModels();
    _Edits = {EAx, EAy, EAz, EBx, EBy, EBz, ECx, ECy, ECz};
    ValidateBounds();
    _Lines = SELines->Value();
    _Split = SESplit->Value();
    LBModels->setFocus();
}

TChooseMdlParamsDialog::~TChooseMdlParamsDialog() = default;

void TChooseMdlParamsDialog::BuildControls() {
    auto* GBModel = new QGroupBox(QStringLiteral(" Модель "), this);
    GBModel->setObjectName(QStringLiteral("GBModel"));
    LBModels = new QListWidget(GBModel);
    LBModels->setObjectName(QStringLiteral("LBModels"));
    LBModels->setMinimumWidth(320);
    auto* GBParameters = new QGroupBox(QStringLiteral(" Коэффициенты модели "), GBModel);
    GBParameters->setObjectName(QStringLiteral("GBParameters"));
    SGParameters = new QTableWidget(1, 1, GBParameters);
    SGParameters->setObjectName(QStringLiteral("SGParameters"));
    SGParameters->verticalHeader()->hide();
    SGParameters->setSelectionMode(QAbstractItemView::ContiguousSelection);
    SGParameters->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SGParameters->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SGParameters->setEditTriggers(QAbstractItemView::AllEditTriggers);
    // Row height 16 would clip the text of today's fonts.
    SGParameters->verticalHeader()->setDefaultSectionSize(
        std::max(16, SGParameters->fontMetrics().height() + 6));
    SGParameters->setFixedHeight(SGParameters->horizontalHeader()->sizeHint().height() +
                                 SGParameters->verticalHeader()->defaultSectionSize() +
                                 SGParameters->horizontalScrollBar()->sizeHint().height() + 4);
    auto* paramsLayout = new QVBoxLayout(GBParameters);
    paramsLayout->addWidget(SGParameters);
    auto* modelLayout = new QVBoxLayout(GBModel);
    modelLayout->addWidget(LBModels, 1);
    modelLayout->addWidget(GBParameters);

    RGModelType = new QGroupBox(QStringLiteral(" Тип моделей "), this);
    RGModelType->setObjectName(QStringLiteral("RGModelType"));
    RGModelTypeButtons = new QButtonGroup(RGModelType);
    auto* typeLayout = new QVBoxLayout(RGModelType);
    const QString typeNames[] = {QStringLiteral("Только полиномы Шеффе"),
                                 QStringLiteral("Модели от трех факторов"),
                                 QStringLiteral("Все модели")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(typeNames[i], RGModelType);
        button->setObjectName(QStringLiteral("RGModelType%1").arg(i));
        RGModelTypeButtons->addButton(button, i);
        typeLayout->addWidget(button);
    }
    RGModelTypeButtons->button(kScheffeOnly)->setChecked(true);

    auto spinGroup = [this](const QString& caption, const QString& groupName, TSpinEdit*& edit,
                            const QString& editName, isotri::SpinRange range, int value) {
        auto* group = new QGroupBox(caption, this);
        group->setObjectName(groupName);
        edit = new TSpinEdit(range.min, range.max, value, group);
        edit->setObjectName(editName);
        auto* layout = new QHBoxLayout(group);
        layout->addWidget(edit);
        layout->addStretch();
        return group;
    };
    auto* GBLines =
        spinGroup(QStringLiteral(" Количество изолиний "), QStringLiteral("GBLines"), SELines,
                  QStringLiteral("SELines"), isotri::kLineRange, kDefaultLines);
    auto* GBSplit =
        spinGroup(QStringLiteral(" Количество делений сетки "), QStringLiteral("GBSplit"), SESplit,
                  QStringLiteral("SESplit"), isotri::kDivisionRange, kDefaultSplit);

    auto* GroupBox1 = new QGroupBox(QStringLiteral(" Границы смесевого треугольника "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* boundsLayout = new QGridLayout(GroupBox1);
    const char* const rows[] = {"A", "B", "C"};
    const char* const columns[] = {"x", "y", "z"};
    QLineEdit** edits[] = {&EAx, &EAy, &EAz, &EBx, &EBy, &EBz, &ECx, &ECy, &ECz};
    for (int r = 0; r < 3; ++r) {
        auto* label = new QLabel(QString::fromLatin1(rows[r]) + QLatin1Char(':'), GroupBox1);
        label->setObjectName(QStringLiteral("Label%1").arg(r + 1));
        boundsLayout->addWidget(label, r, 0);
        for (int c = 0; c < 3; ++c) {
            auto* edit =
                new QLineEdit(r == c ? QStringLiteral("1") : QStringLiteral("0"), GroupBox1);
            edit->setObjectName(
                QStringLiteral("E%1%2").arg(QLatin1String(rows[r]), QLatin1String(columns[c])));
            edit->setMaximumWidth(70);
            *edits[r * 3 + c] = edit;
            boundsLayout->addWidget(edit, r, c + 1);
        }
    }

    CBScalesOnly = new QCheckBox(QStringLiteral("Учитывать только при построении шкал"), this);
    CBScalesOnly->setObjectName(QStringLiteral("CBScalesOnly"));

    OkButton = new QPushButton(QStringLiteral("Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);

    auto* right = new QVBoxLayout;
    right->addWidget(RGModelType);
    right->addWidget(GBLines);
    right->addWidget(GBSplit);
    right->addWidget(GroupBox1);
    right->addWidget(CBScalesOnly);
    right->addStretch();
    right->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addWidget(GBModel, 1);
    top->addLayout(right);
    resize(760, 440);

    connect(LBModels, &QListWidget::itemSelectionChanged, this,
            &TChooseMdlParamsDialog::LBModelsClick);
    connect(RGModelTypeButtons, &QButtonGroup::idClicked, this,
            &TChooseMdlParamsDialog::RGModelTypeClick);
    connect(SELines, &TSpinEdit::Exited, this, [this] { SELinesExit(SELines); });
    connect(SESplit, &TSpinEdit::Exited, this, [this] { SESplitExit(SESplit); });
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool TChooseMdlParamsDialog::ScalesOnly() const {
    return CBScalesOnly->isChecked();
}

bool TChooseMdlParamsDialog::PassesFilter(int filter, const IsotriModel* model) {
    switch (filter) {
        case kScheffeOnly:
            return isotri::ModelName(model).find(kScheffeMark) != std::string::npos;
        case kThreeFactors:
            return isotri::ModelFactorCount(model) == 3;
        default:
            return true;
    }
}

void TChooseMdlParamsDialog::FillModels() {
    {
        const QSignalBlocker blocker(LBModels);
        LBModels->clear();
        const int filter = RGModelTypeButtons->checkedId();
        for (std::int32_t i = 0; i < mathDef_.ModelCount(); ++i) {
            const IsotriModel* model = mathDef_.GetModel(i);
            if (!PassesFilter(filter, model)) {
                continue;
            }
            const std::string name = isotri::ModelName(model);
            auto* item = new QListWidgetItem(QString::fromStdString(name), LBModels);
            // The catalogue compares names byte-wise: keep the bytes, not the display text.
            item->setData(Qt::UserRole, QByteArray::fromStdString(name));
        }
        OkButton->setEnabled(LBModels->count() > 0);
        if (OkButton->isEnabled()) {
            LBModels->setCurrentRow(0);
        }
    }
    LBModelsClick();
}

void TChooseMdlParamsDialog::RGModelTypeClick() {
    FillModels();
}

void TChooseMdlParamsDialog::LBModelsClick() {
    if (!OkButton->isEnabled()) {
        return;
    }
    const QListWidgetItem* item = LBModels->currentItem();
    if (item == nullptr) {
        return;
    }
    const QByteArray name = item->data(Qt::UserRole).toByteArray();
    _Model = mathDef_.GetModel(mathDef_.IndexOfModel(name.toStdString()));

    const int oldCount = SGParameters->columnCount();
    const int newCount = std::max(1, isotri::ModelCoefCount(_Model));
    SGParameters->setColumnCount(newCount);
    QStringList labels;
    for (int i = 0; i < newCount; ++i) {
        labels << QString::fromStdString(isotri::ModelCoefLabel(_Model, i));
    }
    SGParameters->setHorizontalHeaderLabels(labels);
    for (int i = oldCount; i < newCount; ++i) {
        ValueItem(SGParameters, i)->setText(QStringLiteral("0"));
    }
}

void TChooseMdlParamsDialog::ShowCoefs(const std::vector<double>& coefs) {
    const int count = std::min(static_cast<int>(coefs.size()), SGParameters->columnCount());
    for (int i = 0; i < count; ++i) {
        // Fifteen digits: all a fit can claim, and no tail of binary noise.
        ValueItem(SGParameters, i)
            ->setText(QString::fromStdString(numbers_.Format("%.15g", coefs[i])));
    }
    if (static_cast<int>(_Coefs.size()) < count) {
        _Coefs.resize(count, 0.0);
    }
    std::copy_n(coefs.begin(), count, _Coefs.begin());
}

bool TChooseMdlParamsDialog::FormCloseQuery() {
    bool coefsOk = true;
    const int count = _Model != nullptr ? isotri::ModelCoefCount(_Model) : 0;
    if (static_cast<int>(_Coefs.size()) < count) {
        _Coefs.resize(count, 0.0);
    }
    for (int i = 0; i < count; ++i) {
        const QString text = ValueItem(SGParameters, i)->text();
        const auto value = numbers_.Parse(text.toStdString());
        if (!value) {
            SGParameters->setCurrentCell(kValueRow, i);
            sink_.ShowMessage((QStringLiteral("Содержимое \"") + text +
                               QStringLiteral("\" ячейки не является числом !"))
                                  .toStdString());
            coefsOk = false;
            break;
        }
        _Coefs[i] = *value;
    }
    if (!ValidateBounds()) {
        sink_.ShowMessage("Содержимое ячейки не является числом !");
        return false;
    }
    return coefsOk;
}

bool TChooseMdlParamsDialog::ValidateBounds() {
    for (int i = 0; i < 9; ++i) {
        if (!CheckFloatEdit(_Edits[i], this, &_Bounds[i], numbers_)) {
            return false;
        }
    }
    return true;
}

void TChooseMdlParamsDialog::SELinesExit(QObject* sender) {
    if (!CheckSpinEdit(sender, this)) {
        SELines->SetValue(kDefaultLines);
    }
    _Lines = SELines->Value();
}

void TChooseMdlParamsDialog::SESplitExit(QObject* sender) {
    if (!CheckSpinEdit(sender, this)) {
        SESplit->SetValue(kDefaultSplit);
    }
    _Split = SESplit->Value();
}

void TChooseMdlParamsDialog::FormClose() {
    SELinesExit(nullptr);
    SESplitExit(nullptr);
}

bool TChooseMdlParamsDialog::FocusedCountPasses() {
    // Enter confirms without leaving the field, so its leaving check runs here: a bad count is
    // reset and refused as if the field had been left.
    TSpinEdit* edit = TSpinEdit::Holding(focusWidget());
    if (edit != SELines && edit != SESplit) {
        return true;
    }
    const bool passes = edit->InRange();
    if (edit == SELines) {
        SELinesExit(edit);
    } else {
        SESplitExit(edit);
    }
    return passes;
}

void TChooseMdlParamsDialog::done(int result) {
    if (result == QDialog::Accepted) {
        if (!FocusedCountPasses() || !FormCloseQuery()) {
            return;
        }
        evaluation_.SetModel(_Model, _Coefs);
    }
    FormClose();
    QDialog::done(result);
}

void TChooseMdlParamsDialog::showEvent(QShowEvent* event) {
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
