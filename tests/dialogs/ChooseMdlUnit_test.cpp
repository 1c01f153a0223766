#include <QButtonGroup>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "dialogs/ChooseMdlUnit.h"
#include "dialogs/SpinEdit.h"
#include "models/MathDef.h"
#include "support/GuiSupport.h"

namespace {

const QString kLinear = QStringLiteral("Линейный полином Шеффе");
const QString kQuadratic = QStringLiteral("Квадратичный полином Шеффе");
const QString kCapitals = QStringLiteral("ПОЛИНОМ ШЕФФЕ");
const QString kTwoFactors = QStringLiteral("Модель двух факторов");
const QString kUndefined = QStringLiteral("Неопределённая модель");

QStringList Items(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        names << list->item(i)->text();
    }
    return names;
}

QStringList Headers(const QTableWidget* grid) {
    QStringList labels;
    for (int i = 0; i < grid->columnCount(); ++i) {
        labels << grid->horizontalHeaderItem(i)->text();
    }
    return labels;
}

QStringList Values(const QTableWidget* grid) {
    QStringList values;
    for (int i = 0; i < grid->columnCount(); ++i) {
        values << grid->item(0, i)->text();
    }
    return values;
}

}  // namespace

class ChooseMdlUnitTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void startsWithDefaults();
    void filters_data();
    void filters();
    void emptyCatalogueDisablesOk();
    void typedValuesStayInSharedColumns();
    void closeChecks_data();
    void closeChecks();
    void acceptedCloseStoresChoice();
    void spinEditExitsFallBackToDefaults();
    void closeReadsCountsAsTheyStand();
    void acceptedCloseHandsTheModelToEvaluation();
    void countConfirmedWithEnter_data();
    void countConfirmedWithEnter();
    void badCountRefusesTheOkClickOnly_data();
    void badCountRefusesTheOkClickOnly();

  private:
    void ChooseFilter(int index);
    void SelectModel(const QString& name);

    RecordingSink sink_;
    isotri::EvaluationContext evaluation_;
    std::unique_ptr<isotri::TMathDefinition> mathDef_;
    std::unique_ptr<TChooseMdlParamsDialog> dialog_;
};

void ChooseMdlUnitTest::init() {
    sink_.messages.clear();
    mathDef_ = std::make_unique<isotri::TMathDefinition>(sink_);
    QVERIFY(mathDef_->LoadModule(ModulePath("gui_models")));
    evaluation_ = isotri::EvaluationContext();
    dialog_ = std::make_unique<TChooseMdlParamsDialog>(*mathDef_, sink_, isotri::NumberText(','),
                                                       evaluation_);
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
}

void ChooseMdlUnitTest::cleanup() {
    dialog_.reset();
    mathDef_.reset();
}

void ChooseMdlUnitTest::ChooseFilter(int index) {
    // On the indicator: a radio button takes clicks on its indicator and text only.
    QTest::mouseClick(dialog_->RGModelTypeButtons->button(index), Qt::LeftButton, {},
                      QPoint(6, 10));
}

void ChooseMdlUnitTest::SelectModel(const QString& name) {
    const auto items = dialog_->LBModels->findItems(name, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    const QRect rect = dialog_->LBModels->visualItemRect(items.first());
    QTest::mouseClick(dialog_->LBModels->viewport(), Qt::LeftButton, {}, rect.center());
}

void ChooseMdlUnitTest::startsWithDefaults() {
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Параметры семейства изолиний"));
    QCOMPARE(dialog_->RGModelTypeButtons->checkedId(), 0);
    QCOMPARE(dialog_->Lines(), 5);
    QCOMPARE(dialog_->Split(), 4);
    const std::array<float, 9> identity{1, 0, 0, 0, 1, 0, 0, 0, 1};
    QCOMPARE(dialog_->Bounds(), identity);
    QVERIFY(!dialog_->ScalesOnly());
    QVERIFY(dialog_->OkButton->isDefault());
    QCOMPARE(dialog_->LBModels->currentRow(), 0);
    QCOMPARE(QString::fromStdString(isotri::ModelName(dialog_->Model())), kLinear);
}

void ChooseMdlUnitTest::filters_data() {
    QTest::addColumn<int>("filter");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("labels");
    // Capitals do not contain the lower-case mark; the two-factor model drops out of filter 1.
    QTest::newRow("Scheffe only") << 0 << QStringList{kLinear, kQuadratic}
                                  << QStringList{"b1", "b2", "b3"};
    QTest::newRow("three factors") << 1 << QStringList{kLinear, kQuadratic, kCapitals, kUndefined}
                                   << QStringList{"b1", "b2", "b3"};
    QTest::newRow("all") << 2
                         << QStringList{kLinear, kQuadratic, kCapitals, kTwoFactors, kUndefined}
                         << QStringList{"b1", "b2", "b3"};
}

void ChooseMdlUnitTest::filters() {
    QFETCH(int, filter);
    QFETCH(QStringList, names);
    QFETCH(QStringList, labels);
    SelectModel(kQuadratic);
    ChooseFilter(filter);
    QCOMPARE(Items(dialog_->LBModels), names);
    QCOMPARE(dialog_->LBModels->currentRow(), 0);
    QVERIFY(dialog_->OkButton->isEnabled());
    QCOMPARE(Headers(dialog_->SGParameters), labels);
}

void ChooseMdlUnitTest::emptyCatalogueDisablesOk() {
    isotri::TMathDefinition empty(sink_);
    TChooseMdlParamsDialog dialog(empty, sink_, isotri::NumberText(','), evaluation_);
    QCOMPARE(dialog.LBModels->count(), 0);
    QVERIFY(!dialog.OkButton->isEnabled());
    QVERIFY(dialog.Model() == nullptr);
    QCOMPARE(dialog.SGParameters->columnCount(), 1);
    QCOMPARE(dialog.SGParameters->item(0, 0)->text(), QStringLiteral("0"));
    QTest::mouseClick(dialog.RGModelTypeButtons->button(2), Qt::LeftButton, {}, QPoint(6, 10));
    QVERIFY(!dialog.OkButton->isEnabled());
}

void ChooseMdlUnitTest::typedValuesStayInSharedColumns() {
    QTableWidget* grid = dialog_->SGParameters;
    for (int i = 0; i < 3; ++i) {
        grid->item(0, i)->setText(QString::number(i + 1));
    }
    SelectModel(kQuadratic);
    QCOMPARE(Headers(grid), (QStringList{"b1", "b2", "b3", "b12", "b13", "b23"}));
    QCOMPARE(Values(grid), (QStringList{"1", "2", "3", "0", "0", "0"}));
    grid->item(0, 4)->setText(QStringLiteral("9"));
    SelectModel(kLinear);
    QCOMPARE(Values(grid), (QStringList{"1", "2", "3"}));
    ChooseFilter(2);
    SelectModel(kUndefined);
    QCOMPARE(Values(grid), QStringList{"1"});
    SelectModel(kCapitals);
    QCOMPARE(Values(grid), (QStringList{"1", "0", "0"}));
}

void ChooseMdlUnitTest::closeChecks_data() {
    QTest::addColumn<QString>("coef");
    QTest::addColumn<QString>("bound");
    QTest::addColumn<QStringList>("messages");
    const QString badCoef = QStringLiteral("Содержимое \"x\" ячейки не является числом !");
    const QString badBound = QStringLiteral("Содержимое ячейки не является числом !");
    QTest::newRow("bad coefficient") << "x"
                                     << "0" << QStringList{badCoef};
    QTest::newRow("empty coefficient")
        << ""
        << "0" << QStringList{QStringLiteral("Содержимое \"\" ячейки не является числом !")};
    QTest::newRow("bad bound") << "1"
                               << "a" << QStringList{badBound};
    QTest::newRow("both bad, in order") << "x"
                                        << "a" << QStringList{badCoef, badBound};
}

void ChooseMdlUnitTest::closeChecks() {
    QFETCH(QString, coef);
    QFETCH(QString, bound);
    QFETCH(QStringList, messages);
    dialog_->SGParameters->item(0, 1)->setText(coef);
    dialog_->EBy->setText(bound);
    QTest::mouseClick(dialog_->OkButton, Qt::LeftButton);
    QStringList shown;
    for (const auto& text : sink_.messages) {
        shown << QString::fromStdString(text);
    }
    QCOMPARE(shown, messages);
    QVERIFY(dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    if (coef != QStringLiteral("1")) {
        QCOMPARE(dialog_->SGParameters->currentColumn(), 1);
    }
    if (bound == QStringLiteral("a")) {
        QCOMPARE(dialog_->EBy->text(), QStringLiteral("0,0"));
        QVERIFY(dialog_->EBy->hasFocus());
    }
}

void ChooseMdlUnitTest::acceptedCloseStoresChoice() {
    SelectModel(kQuadratic);
    const QStringList coefs{"1,5", "-2", "3", "0", "0", "1e2"};
    for (int i = 0; i < coefs.size(); ++i) {
        dialog_->SGParameters->item(0, i)->setText(coefs[i]);
    }
    dialog_->EAx->setText(QStringLiteral("2"));
    dialog_->EAy->setText(QStringLiteral("-1"));
    QTest::mouseClick(dialog_->OkButton, Qt::LeftButton);
    QVERIFY(sink_.messages.empty());
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    const std::vector<double> expected{1.5, -2, 3, 0, 0, 100};
    QCOMPARE(std::vector<double>(dialog_->Coefs().begin(), dialog_->Coefs().begin() + 6), expected);
    QCOMPARE(dialog_->Bounds()[0], 2.0f);
    QCOMPARE(dialog_->Bounds()[1], -1.0f);
}

void ChooseMdlUnitTest::spinEditExitsFallBackToDefaults() {
    struct Case {
        TSpinEdit* edit;
        QString text;
        int expected;
    };
    const Case cases[] = {{dialog_->SELines, QStringLiteral("0"), 5},
                          {dialog_->SELines, QStringLiteral("51"), 5},
                          {dialog_->SELines, QStringLiteral("50"), 50},
                          {dialog_->SESplit, QStringLiteral("abc"), 4},
                          {dialog_->SESplit, QStringLiteral("7"), 7}};
    for (const Case& c : cases) {
        c.edit->setFocus();
        c.edit->SetText(c.text);
        dialog_->EAx->setFocus();
        QCOMPARE(c.edit->text(), QString::number(c.expected));
        QCOMPARE(c.edit->hasFocus(), c.expected != c.text.toInt());
    }
    QCOMPARE(dialog_->Lines(), 50);
    QCOMPARE(dialog_->Split(), 7);
}

void ChooseMdlUnitTest::closeReadsCountsAsTheyStand() {
    dialog_->SELines->setFocus();
    dialog_->SELines->SetText(QStringLiteral("abc"));
    dialog_->SESplit->SetText(QStringLiteral("12"));
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->Lines(), 1);
    QCOMPARE(dialog_->Split(), 12);
}

void ChooseMdlUnitTest::acceptedCloseHandsTheModelToEvaluation() {
    SelectModel(kQuadratic);
    const QStringList coefs{"1", "2", "3", "4", "0", "0"};
    for (int i = 0; i < coefs.size(); ++i) {
        dialog_->SGParameters->item(0, i)->setText(coefs[i]);
    }
    // A cancelled close hands nothing over.
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    QVERIFY(evaluation_.Model() == nullptr);

    dialog_->show();
    QTest::mouseClick(dialog_->OkButton, Qt::LeftButton);
    QVERIFY(evaluation_.Model() == dialog_->Model());
    const isotri::EvaluationContext::Generation generation(evaluation_, nullptr);
    const double x1 = 0.5, x2 = 0.5, x3 = 0.0;
    double result = 0;
    EvalModelProc(&x1, &x2, &x3, &result);
    QCOMPARE(result, 0.5 + 1.0 + 4 * 0.25);
}

void ChooseMdlUnitTest::countConfirmedWithEnter_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<int>("count");
    QTest::newRow("99 isolines") << "SELines"
                                 << "99" << true << 5;
    QTest::newRow("no isolines") << "SELines"
                                 << "0" << true << 5;
    QTest::newRow("isolines as a word") << "SELines"
                                        << "abc" << true << 5;
    QTest::newRow("99 divisions") << "SESplit"
                                  << "99" << true << 4;
    QTest::newRow("7 isolines") << "SELines"
                                << "7" << false << 7;
    QTest::newRow("50 divisions") << "SESplit"
                                  << "50" << false << 50;
}

void ChooseMdlUnitTest::countConfirmedWithEnter() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, staysOpen);
    QFETCH(int, count);
    auto* edit = dialog_->findChild<TSpinEdit*>(field);
    const auto current = [&] { return field == u"SELines" ? dialog_->Lines() : dialog_->Split(); };
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(dialog_->isVisible(), staysOpen);
    QCOMPARE(edit->text(), QString::number(count));
    QCOMPARE(current(), count);
    QVERIFY(sink_.messages.empty());
    if (staysOpen) {
        QVERIFY(edit->hasFocus());
        // The reset count is confirmed by the next Enter.
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
        QCOMPARE(current(), count);
    }
}

void ChooseMdlUnitTest::badCountRefusesTheOkClickOnly_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("ok") << "OkButton" << int(QDialog::Accepted);
    QTest::newRow("cancel") << "CancelButton" << int(QDialog::Rejected);
}

void ChooseMdlUnitTest::badCountRefusesTheOkClickOnly() {
    QFETCH(QString, button);
    QFETCH(int, result);
    auto* pressed = dialog_->findChild<QPushButton*>(button);
    dialog_->SELines->setFocus();
    dialog_->SELines->selectAll();
    QTest::keyClicks(dialog_->SELines, QStringLiteral("99"));
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(dialog_->SELines->text(), QStringLiteral("5"));
    if (result == QDialog::Accepted) {
        QVERIFY(dialog_->isVisible());
        QVERIFY(dialog_->SELines->hasFocus());
        // Seen corrected, the count is confirmed by the next click.
        QTest::mouseClick(pressed, Qt::LeftButton);
    }
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->result(), result);
    QCOMPARE(dialog_->Lines(), 5);
}

QTEST_MAIN(ChooseMdlUnitTest)
#include "ChooseMdlUnit_test.moc"
