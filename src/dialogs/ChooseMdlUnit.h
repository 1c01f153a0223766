// The model and parameters dialog: the model to plot, its coefficients, the isoline and grid
// counts and the corners of the shown part of the triangle. It holds the current model choice,
// which the plot command, the renderer and the batch run read; an accepted close hands the model
// and its coefficients to the evaluation context.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/NumberText.h"
#include "isotri/model_module.h"
#include "plot/Evaluation.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class TSpinEdit;

namespace isotri {
class MessageSink;
class TMathDefinition;
}  // namespace isotri

class TChooseMdlParamsDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kMinCoefs = 512;
    static constexpr int kDefaultLines = 5;
    static constexpr int kDefaultSplit = 4;

    TChooseMdlParamsDialog(isotri::TMathDefinition& mathDef, isotri::MessageSink& sink,
                           const isotri::NumberText& numbers, isotri::EvaluationContext& evaluation,
                           QWidget* parent = nullptr);
    ~TChooseMdlParamsDialog() override;

    // The current model choice.
    const IsotriModel* Model() const { return _Model; }
    const std::vector<double>& Coefs() const { return _Coefs; }
    std::int32_t Lines() const { return _Lines; }
    std::int32_t Split() const { return _Split; }
    const std::array<float, 9>& Bounds() const { return _Bounds; }
    bool ScalesOnly() const;

    // Rebuilds the list from the catalogue with the chosen filter (also after models were added).
    void FillModels();
    bool ValidateBounds();
    // Writes `coefs` into the grid of the current model, as the user could have typed them.
    void ShowCoefs(const std::vector<double>& coefs);

    QListWidget* LBModels;
    QGroupBox* RGModelType;
    QButtonGroup* RGModelTypeButtons;
    QTableWidget* SGParameters;
    TSpinEdit* SELines;
    TSpinEdit* SESplit;
    QLineEdit *EAx, *EAy, *EAz, *EBx, *EBy, *EBz, *ECx, *ECy, *ECz;
    QCheckBox* CBScalesOnly;
    QPushButton* OkButton;
    QPushButton* CancelButton;

  public slots:
    void LBModelsClick();
    void RGModelTypeClick();
    void SELinesExit(QObject* sender);
    void SESplitExit(QObject* sender);
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool FormCloseQuery();
    bool FocusedCountPasses();
    void FormClose();
    void BuildControls();
    static bool PassesFilter(int filter, const IsotriModel* model);

    isotri::TMathDefinition& mathDef_;
    isotri::MessageSink& sink_;
    isotri::NumberText numbers_;
    isotri::EvaluationContext& evaluation_;

    const IsotriModel* _Model = nullptr;
    std::vector<double> _Coefs;
    std::int32_t _Lines = kDefaultLines;
    std::int32_t _Split = kDefaultSplit;
    std::array<float, 9> _Bounds{};
    std::array<QLineEdit*, 9> _Edits{};
};
