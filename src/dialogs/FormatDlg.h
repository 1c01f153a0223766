// The Format dialog: every setting of the picture's look and size. The dialog is the only holder
// of these settings; readers take a snapshot of its components at the moment of drawing.
#pragma once

#include <QDialog>
#include <QFont>
#include <array>

#include "common/NumberText.h"
#include "render/AppearanceSettings.h"

class QCheckBox;
class QColorDialog;
class QFontDialog;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TColorSwatch;
class TSpinEdit;

class TFormatDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TFormatDialog(const isotri::NumberText& numbers, QWidget* parent = nullptr);

    // The components as they stand now.
    isotri::AppearanceSettings Settings() const;

    TSpinEdit *SEViewWidth, *SEViewHeight;
    QCheckBox* CBBound;
    TColorSwatch* BoundBox;
    TSpinEdit* SEBoundW;
    QCheckBox* CBFill;
    TColorSwatch* FillBox;
    QCheckBox* CBGrid;
    TColorSwatch* GridBox;
    TSpinEdit* SEGridW;
    QCheckBox* CBAxes;
    TColorSwatch* AxesBox;
    TSpinEdit* SEAxesW;
    QCheckBox* CBLabels;
    QPushButton* BLabelF;
    QLineEdit* SLabForm;
    TColorSwatch* LineBox;
    TSpinEdit* SELineW;
    QCheckBox* CBTics;
    QPushButton* BTicsF;
    QLineEdit* STicksForm;
    TSpinEdit *SEPageWidth, *SEPageHeight;
    QCheckBox* CBFillB;
    TColorSwatch* BackBox;
    QLineEdit *LabelA, *LabelB, *LabelC;
    QPushButton* BPtsF;
    QLineEdit *EGlobalZoom, *Eaoscale, *ELabelOffset, *Etickslen, *Edit1, *Edit4;
    QPushButton* BOk;
    QPushButton* BCancel;

    QColorDialog* ColorDialog;
    QFontDialog* LabelFontDialog;
    QFontDialog* TicsFontDialog;
    QFontDialog* PointsFontDialog;

    QFont LabelFont() const { return labelFont_; }
    QFont TicsFont() const { return ticsFont_; }
    QFont PointsFont() const { return pointsFont_; }

  public slots:
    void BoundBoxMouseDown(QObject* sender);
    void CBBoundClick();
    void CBLabelsClick();
    void CBTicsClick();
    void BLabelFClick();
    void BTicsFClick();
    void BPtsFClick();
    void SEBoundWExit(QObject* sender);
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QGroupBox* BuildView();
    QGroupBox* BuildPlotArea(const isotri::AppearanceSettings& d);
    QGroupBox* BuildGrid(const isotri::AppearanceSettings& d);
    QGroupBox* BuildAxes(const isotri::AppearanceSettings& d);
    QGroupBox* BuildLineFmt(const isotri::AppearanceSettings& d);
    QGroupBox* BuildExport();
    QGroupBox* BuildBackground(const isotri::AppearanceSettings& d);
    QGroupBox* BuildLabels(const isotri::AppearanceSettings& d);
    QGroupBox* BuildGeom(const isotri::AppearanceSettings& d);
    TSpinEdit* NewSpin(const QString& name, isotri::SpinRange range, int value, QWidget* parent);
    TColorSwatch* NewSwatch(const QString& name, isotri::Rgb color, QWidget* parent);
    void RunFontDialog(QFontDialog* dialog, QFont& font);
    isotri::FontSpec ToFontSpec(const QFont& font) const;

    QFont labelFont_;
    QFont ticsFont_;
    QFont pointsFont_;
};
