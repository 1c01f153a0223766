#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "GuiSupport.h"
#include "common/Error.h"
#include "shell/Application.h"

class ApplicationTest : public QObject {
    Q_OBJECT

  private slots:
    void escapedExceptionIsShownAndProgramGoesOn();
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

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "Application_test.moc"
