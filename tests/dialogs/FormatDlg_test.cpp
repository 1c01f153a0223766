#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "dialogs/ColorSwatch.h"
#include "dialogs/FormatDlg.h"
#include "dialogs/SpinEdit.h"
#include "support/GuiSupport.h"

class FormatDlgTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void spinEditRanges_data();
    void spinEditRanges();
    void startsWithDefaults();
    void geometryDefaultsFollowTheLocale();
    void leavingASpinEditCorrectsIt_data();
    void leavingASpinEditCorrectsIt();
    void checkBoxCouplings();
    void swatchOpensColourDialogOnAnyButton();
    void cancelledColourDialogKeepsColour();
    void fontDialogSetsFont();
    void returnButtonKeepsChanges();
    void fontDialogShowsTheDrawnFaceAndOkChangesNothing_data();
    void fontDialogShowsTheDrawnFaceAndOkChangesNothing();
    void fontDialogTakesOnlyWhatWasChanged_data();
    void fontDialogTakesOnlyWhatWasChanged();
    void enterOnASpinEdit_data();
    void enterOnASpinEdit();

  private:
    TSpinEdit* Spin(const char* name) const {
        return dialog_->findChild<TSpinEdit*>(QString::fromLatin1(name));
    }

    std::unique_ptr<TFormatDialog> dialog_;
};

void FormatDlgTest::init() {
    dialog_ = std::make_unique<TFormatDialog>(isotri::NumberText(','));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
}

void FormatDlgTest::cleanup() {
    dialog_.reset();
}

void FormatDlgTest::spinEditRanges_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("SEViewWidth") << "SEViewWidth" << 32 << 2048 << 800 << true;
    QTest::newRow("SEViewHeight") << "SEViewHeight" << 32 << 2048 << 740 << true;
    QTest::newRow("SEBoundW") << "SEBoundW" << 1 << 10 << 2 << true;
    QTest::newRow("SEGridW") << "SEGridW" << 1 << 10 << 1 << true;
    QTest::newRow("SEAxesW") << "SEAxesW" << 1 << 10 << 1 << true;
    QTest::newRow("SELineW") << "SELineW" << 1 << 10 << 2 << true;
    QTest::newRow("SEPageWidth") << "SEPageWidth" << 64 << 100000000 << 100 << false;
    QTest::newRow("SEPageHeight") << "SEPageHeight" << 64 << 100000000 << 100 << false;
}

void FormatDlgTest::spinEditRanges() {
    QFETCH(QString, name);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(bool, enabled);
    auto* edit = dialog_->findChild<TSpinEdit*>(name);
    QVERIFY(edit != nullptr);
    QCOMPARE(edit->Minimum(), minimum);
    QCOMPARE(edit->Maximum(), maximum);
    QCOMPARE(edit->Value(), value);
    QCOMPARE(edit->isEnabled(), enabled);
}

void FormatDlgTest::startsWithDefaults() {
    QCOMPARE(dialog_->objectName(), QStringLiteral("FormatDialog"));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Форматирование элементов"));
    QVERIFY(dialog_->width() >= 457 && dialog_->height() >= 628);
    QCOMPARE(dialog_->BOk->text(), QStringLiteral("Ок"));
    QCOMPARE(dialog_->BCancel->text(), QStringLiteral("Вернуть"));
    QVERIFY(dialog_->BOk->isDefault());
    const isotri::AppearanceSettings s = dialog_->Settings();
    QVERIFY(s.CBBound && s.CBFill && s.CBGrid && s.CBAxes && s.CBLabels && s.CBTics);
    QVERIFY(!s.CBFillB);
    QVERIFY(s.FillBox == (isotri::Rgb{255, 255, 255}));
    QVERIFY(s.LineBox == (isotri::Rgb{0, 0, 0}));
    QCOMPARE(s.SLabForm, std::string("%1.1f"));
    QCOMPARE(s.STicksForm, std::string("%2.3g"));
    QCOMPARE(s.LabelA + s.LabelB + s.LabelC, std::string("ABC"));
    QCOMPARE(s.LabelFont.face, std::string("Arial"));
    QCOMPARE(s.LabelFont.pixelHeight, 24);
    QCOMPARE(s.TicsFont.pixelHeight, 21);
    QCOMPARE(s.PointsFont.pixelHeight, 24);
    const QColor text = dialog_->palette().color(QPalette::WindowText);
    QVERIFY(s.TicsFont.color == (isotri::Rgb{static_cast<std::uint8_t>(text.red()),
                                             static_cast<std::uint8_t>(text.green()),
                                             static_cast<std::uint8_t>(text.blue())}));
    QVERIFY(dialog_->Edit1->text().isEmpty() && dialog_->Edit4->text().isEmpty());
}

void FormatDlgTest::geometryDefaultsFollowTheLocale() {
    const isotri::AppearanceSettings comma = dialog_->Settings();
    QCOMPARE(
        comma.EGlobalZoom + " " + comma.Eaoscale + " " + comma.ELabelOffset + " " + comma.Etickslen,
        std::string("0,95 1,4 20 1,3"));
    const TFormatDialog point(isotri::NumberText('.'));
    QCOMPARE(point.Settings().EGlobalZoom, std::string("0.95"));
}

void FormatDlgTest::leavingASpinEditCorrectsIt_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("above the maximum gives the minimum") << "SEViewWidth"
                                                         << "5000"
                                                         << "32";
    QTest::newRow("empty gives the minimum") << "SEGridW"
                                             << ""
                                             << "1";
    QTest::newRow("letters") << "SELineW"
                             << "x"
                             << "1";
    QTest::newRow("valid stays") << "SEViewHeight"
                                 << "1000"
                                 << "1000";
}

void FormatDlgTest::leavingASpinEditCorrectsIt() {
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    auto* edit = dialog_->findChild<TSpinEdit*>(name);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(edit->text(), after);
    QCOMPARE(edit->hasFocus(), after != typed);
}

void FormatDlgTest::checkBoxCouplings() {
    struct Coupling {
        QCheckBox* box;
        QList<QWidget*> followers;
    };
    const Coupling couplings[] = {
        {dialog_->CBBound, {dialog_->SEBoundW, dialog_->CBFill}},
        {dialog_->CBLabels, {dialog_->BLabelF}},
        {dialog_->CBTics, {dialog_->BTicsF}},
    };
    for (const Coupling& c : couplings) {
        QTest::mouseClick(c.box, Qt::LeftButton, {}, QPoint(6, c.box->height() / 2));
        QVERIFY(!c.box->isChecked());
        for (QWidget* w : c.followers) {
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        }
    }
    // Nothing else follows the boxes; a disabled control keeps its value.
    QVERIFY(dialog_->BoundBox->isEnabled() && dialog_->FillBox->isEnabled());
    QVERIFY(dialog_->SLabForm->isEnabled() && dialog_->STicksForm->isEnabled());
    QVERIFY(dialog_->CBFill->isChecked());
    QVERIFY(dialog_->Settings().CBFill);
    for (const Coupling& c : couplings) {
        QTest::mouseClick(c.box, Qt::LeftButton, {}, QPoint(6, c.box->height() / 2));
        for (QWidget* w : c.followers) {
            QVERIFY(w->isEnabled());
        }
    }
}

void FormatDlgTest::swatchOpensColourDialogOnAnyButton() {
    QTest::mouseClick(dialog_->CBBound, Qt::LeftButton, {}, QPoint(6, 8));
    QColor preset;
    WhenModal([&preset](QWidget* modal) {
        auto* colours = qobject_cast<QColorDialog*>(modal);
        preset = colours->currentColor();
        colours->setCurrentColor(QColor(10, 20, 30));
        colours->accept();
    });
    QTest::mousePress(dialog_->BoundBox, Qt::RightButton);
    QCOMPARE(preset, QColor(0, 0, 0));
    QCOMPARE(dialog_->BoundBox->Color(), QColor(10, 20, 30));
    QVERIFY(dialog_->Settings().BoundBox == (isotri::Rgb{10, 20, 30}));
    dialog_->BoundBoxMouseDown(dialog_->BOk);  // not a swatch: nothing opens
}

void FormatDlgTest::cancelledColourDialogKeepsColour() {
    WhenModal([](QWidget* modal) {
        auto* colours = qobject_cast<QColorDialog*>(modal);
        colours->setCurrentColor(QColor(200, 0, 0));
        colours->reject();
    });
    QTest::mousePress(dialog_->BackBox, Qt::MiddleButton);
    QCOMPARE(dialog_->BackBox->Color(), QColor(255, 255, 255));
}

void FormatDlgTest::fontDialogSetsFont() {
    double shownPoints = 0;
    WhenModal([&shownPoints](QWidget* modal) {
        auto* fonts = qobject_cast<QFontDialog*>(modal);
        shownPoints = fonts->currentFont().pointSizeF();
        QFont chosen = fonts->currentFont();
        chosen.setPointSize(24);
        fonts->setCurrentFont(chosen);
        fonts->accept();
    });
    QTest::mouseClick(dialog_->BTicsF, Qt::LeftButton);
    QVERIFY(qAbs(shownPoints - 21 * 72.0 / 96) <= 0.5);  // 21 pixels at 96 pixels per inch
    const isotri::FontSpec tics = dialog_->Settings().TicsFont;
    QCOMPARE(tics.pixelHeight, 32);
    QCOMPARE(dialog_->Settings().LabelFont.pixelHeight, 24);
}

void FormatDlgTest::returnButtonKeepsChanges() {
    dialog_->LabelB->setText(QString());
    dialog_->SLabForm->setText(QStringLiteral("%3.2f"));
    QTest::mouseClick(dialog_->BCancel, Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(!dialog_->isVisible());
    const isotri::AppearanceSettings s = dialog_->Settings();
    QCOMPARE(s.LabelB, std::string());
    QCOMPARE(s.SLabForm, std::string("%3.2f"));
}

namespace {

struct Fonts {
    isotri::FontSpec label, tics, points;
    friend bool operator==(const Fonts&, const Fonts&) = default;
};

Fonts FontsOf(const TFormatDialog& dialog) {
    const isotri::AppearanceSettings s = dialog.Settings();
    return {s.LabelFont, s.TicsFont, s.PointsFont};
}

}  // namespace

void FormatDlgTest::fontDialogShowsTheDrawnFaceAndOkChangesNothing_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("scale values") << QStringLiteral("BLabelF");
    QTest::newRow("level values") << QStringLiteral("BTicsF");
    QTest::newRow("vertex names") << QStringLiteral("BPtsF");
}

void FormatDlgTest::fontDialogShowsTheDrawnFaceAndOkChangesNothing() {
    QFETCH(QString, button);
    const Fonts before = FontsOf(*dialog_);
    for (int round = 0; round < 2; ++round) {
        QFont shown;
        WhenModal([&shown](QWidget* modal) {
            auto* fonts = qobject_cast<QFontDialog*>(modal);
            shown = fonts->currentFont();
            fonts->accept();
        });
        QTest::mouseClick(dialog_->findChild<QPushButton*>(button), Qt::LeftButton);
        // fonts-liberation2 is Arial's metric twin, the face fontconfig draws for it.
        QCOMPARE(shown.family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(shown.styleName(), QStringLiteral("Regular"));
        QVERIFY(!shown.bold() && !shown.italic());
        QVERIFY(FontsOf(*dialog_) == before);
    }
}

void FormatDlgTest::fontDialogTakesOnlyWhatWasChanged_data() {
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("expectedFace");
    QTest::addColumn<int>("expectedPixels");
    QTest::newRow("size") << QString() << 15 << false << "Arial" << 20;
    QTest::newRow("style") << QString() << 0 << true << "Arial" << 21;
    QTest::newRow("face") << "Liberation Serif" << 0 << false << "Liberation Serif" << 21;
}

void FormatDlgTest::fontDialogTakesOnlyWhatWasChanged() {
    QFETCH(QString, face);
    QFETCH(int, points);
    QFETCH(bool, bold);
    QFETCH(QString, expectedFace);
    QFETCH(int, expectedPixels);
    WhenModal([&](QWidget* modal) {
        auto* fonts = qobject_cast<QFontDialog*>(modal);
        QFont chosen = fonts->currentFont();
        if (!face.isEmpty()) {
            chosen.setFamily(face);
        }
        if (points > 0) {
            chosen.setPointSize(points);
        }
        if (bold) {
            chosen.setStyleName(QStringLiteral("Bold"));  // as the dialog's style list picks it
        }
        fonts->setCurrentFont(chosen);
        fonts->accept();
    });
    QTest::mouseClick(dialog_->BTicsF, Qt::LeftButton);
    const isotri::FontSpec tics = dialog_->Settings().TicsFont;
    QCOMPARE(QString::fromStdString(tics.face), expectedFace);
    QCOMPARE(tics.pixelHeight, expectedPixels);
    QCOMPARE(tics.bold, bold);
    QVERIFY(!tics.italic);
}

void FormatDlgTest::enterOnASpinEdit_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<int>("value");
    QTest::newRow("width above the maximum") << "SEViewWidth"
                                             << "5000" << true << 32;
    QTest::newRow("empty line width") << "SELineW"
                                      << "" << true << 1;
    QTest::newRow("good height") << "SEViewHeight"
                                 << "1000" << false << 1000;
}

void FormatDlgTest::enterOnASpinEdit() {
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(bool, staysOpen);
    QFETCH(int, value);
    auto* edit = Spin(name.toLatin1().constData());
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(dialog_->isVisible(), staysOpen);
    QCOMPARE(edit->text(), QString::number(value));
    QCOMPARE(edit->Value(), value);
    if (staysOpen) {
        QVERIFY(edit->hasFocus());
    } else {
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    }
}

QTEST_MAIN(FormatDlgTest)
#include "FormatDlg_test.moc"
