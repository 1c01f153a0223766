#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "common/Error.h"
#include "shell/Application.h"
#include "support/GuiSupport.h"

class ApplicationTest : public QObject {
    Q_OBJECT

  private slots:
    void escapedExceptionIsShownAndProgramGoesOn();
    void standardDialogsSpeakRussian();
};

void ApplicationTest::escapedExceptionIsShownAndProgramGoesOn() {
    QString shown;
    WhenModal([&shown](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        shown = box->text();
        box->accept();
    });
    QTimer::singleShot(0, [] { throw isotri::Error("Ошибка обработчика"); });
    bool later = false;
    QTimer::singleShot(50, [&later] { later = true; });
    QTRY_VERIFY(later);
    QCOMPARE(shown, QStringLiteral("Ошибка обработчика"));
}

// The program's texts are Russian whatever the locale; the standard dialogs follow them.
void ApplicationTest::standardDialogsSpeakRussian() {
    QVERIFY(InstallQtTranslations());
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                                   QDialogButtonBox::No);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Да"));
    QCOMPARE(buttons.button(QDialogButtonBox::No)->text(), QStringLiteral("&Нет"));
    QFileDialog save;
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    QCOMPARE(save.windowTitle(), QStringLiteral("Сохранить как"));
    QCOMPARE(save.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(),
             QStringLiteral("&Имя файла:"));
}

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "Application_test.moc"
