#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "common/NumberText.h"
#include "dialogs/InputChecks.h"
#include "dialogs/SpinEdit.h"

class InputChecksTest : public QObject {
    Q_OBJECT

  private slots:
    void spinEditReadsBadTextAsMinimum_data();
    void spinEditReadsBadTextAsMinimum();
    void spinEditStepsWithinRange();
    void checkSpinEdit_data();
    void checkSpinEdit();
    void checkFloatEdit_data();
    void checkFloatEdit();
    void otherControlsPass();
};

void InputChecksTest::spinEditReadsBadTextAsMinimum_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << "17" << 17;
    QTest::newRow("blanks around") << " 17 " << 17;
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("letters") << "abc" << 1;
    QTest::newRow("fraction") << "2,5" << 1;
    QTest::newRow("above") << "51" << 1;
    QTest::newRow("below") << "0" << 1;
}

void InputChecksTest::spinEditReadsBadTextAsMinimum() {
    QFETCH(QString, text);
    QFETCH(int, value);
    TSpinEdit edit(1, 50, 5);
    edit.SetText(text);
    QCOMPARE(edit.text(), text);  // the field never corrects the typing itself
    QCOMPARE(edit.Value(), value);
}

void InputChecksTest::spinEditStepsWithinRange() {
    TSpinEdit edit(1, 10, 9);
    edit.stepBy(1);
    QCOMPARE(edit.Value(), 10);
    edit.stepBy(1);
    QCOMPARE(edit.Value(), 10);
    edit.SetText(QStringLiteral("x"));
    edit.stepBy(1);
    QCOMPARE(edit.Value(), 2);
}

void InputChecksTest::checkSpinEdit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<QString>("after");
    QTest::newRow("maximum") << "50" << true << "50";
    QTest::newRow("minimum") << "1" << true << "1";
    QTest::newRow("above") << "51" << false << "1";
    QTest::newRow("zero") << "0" << false << "1";
    QTest::newRow("empty") << "" << false << "1";
    QTest::newRow("huge") << "99999999999999999999" << false << "1";
    QTest::newRow("letters") << "5a" << false << "1";
}

void InputChecksTest::checkSpinEdit() {
    QFETCH(QString, text);
    QFETCH(bool, passes);
    QFETCH(QString, after);
    QWidget form;
    auto* edit = new TSpinEdit(1, 50, 5, &form);
    auto* other = new QLineEdit(&form);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    other->setFocus();
    edit->SetText(text);
    QCOMPARE(CheckSpinEdit(edit, &form), passes);
    QCOMPARE(edit->text(), after);
    QCOMPARE(edit->hasFocus(), !passes);
}

void InputChecksTest::checkFloatEdit_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<QString>("after");
    QTest::addColumn<float>("stored");
    const float kept = 7.0f;
    QTest::newRow("comma number") << QChar(',') << "0,25" << true << "0,25" << 0.25f;
    QTest::newRow("negative") << QChar(',') << "-1" << true << "-1" << -1.0f;
    QTest::newRow("point in comma locale") << QChar(',') << "0.25" << false << "0,0" << kept;
    QTest::newRow("letter") << QChar(',') << "a" << false << "0,0" << kept;
    QTest::newRow("empty") << QChar(',') << "" << false << "0,0" << kept;
    QTest::newRow("beyond single") << QChar(',') << "1e300" << false << "0,0" << kept;
    QTest::newRow("point locale") << QChar('.') << "0.5" << true << "0.5" << 0.5f;
    QTest::newRow("reset in point locale") << QChar('.') << "0,5" << false << "0.0" << kept;
}

void InputChecksTest::checkFloatEdit() {
    QFETCH(QChar, separator);
    QFETCH(QString, text);
    QFETCH(bool, passes);
    QFETCH(QString, after);
    QFETCH(float, stored);
    const isotri::NumberText numbers(separator.toLatin1());
    QWidget form;
    auto* edit = new QLineEdit(text, &form);
    auto* other = new QLineEdit(&form);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    other->setFocus();
    float target = 7.0f;
    QCOMPARE(CheckFloatEdit(edit, &form, &target, numbers), passes);
    QCOMPARE(edit->text(), after);
    QCOMPARE(target, stored);
    QCOMPARE(edit->hasFocus(), !passes);
    // The reset text is itself a valid number in the same locale.
    QVERIFY(CheckFloatEdit(edit, nullptr, nullptr, numbers));
}

void InputChecksTest::otherControlsPass() {
    const isotri::NumberText numbers(',');
    QPushButton button(QStringLiteral("x"));
    QLineEdit edit(QStringLiteral("abc"));
    TSpinEdit spin(1, 50, 5);
    spin.SetText(QStringLiteral("abc"));
    QVERIFY(CheckSpinEdit(nullptr, nullptr));
    QVERIFY(CheckSpinEdit(&button, nullptr));
    QVERIFY(CheckSpinEdit(&edit, nullptr));
    QVERIFY(CheckFloatEdit(nullptr, nullptr, nullptr, numbers));
    QVERIFY(CheckFloatEdit(&button, nullptr, nullptr, numbers));
    QVERIFY(CheckFloatEdit(&spin, nullptr, nullptr, numbers));
    QCOMPARE(edit.text(), QStringLiteral("abc"));
    QCOMPARE(spin.text(), QStringLiteral("abc"));
}

QTEST_MAIN(InputChecksTest)
#include "InputChecks_test.moc"
