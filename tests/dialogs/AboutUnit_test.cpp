// The About box: its texts, and that Enter and Esc both close it.

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/AboutUnit.h"

using isotri::TAboutDialog;

class AboutUnitTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTitleAndBuildDate() {
        TAboutDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("О программе"));
        QCOMPARE(dialog.Label1->text(),
                 QStringLiteral("Изолинии на концентрационном треугольнике."));
        const QDate built = TAboutDialog::BuildDate();
        QVERIFY(built.isValid());
        QVERIFY(built <= QDate::currentDate());
        QCOMPARE(dialog.Label2->text(),
                 QStringLiteral("Построение: ") + built.toString(QStringLiteral("dd.MM.yyyy")));
        QCOMPARE(dialog.size(), QSize(320, 200));
    }

    void pictureIsPainted() {
        TAboutDialog dialog;
        dialog.show();
        const QImage picture = dialog.Image->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 2) {
            for (int x = 0; x < picture.width(); x += 2) {
                colours.insert(picture.pixel(x, y));
            }
        }
        QVERIFY(colours.size() > 10);
    }

    void enterAndEscapeClose_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("escape") << int(Qt::Key_Escape);
    }
    void enterAndEscapeClose() {
        QFETCH(int, key);
        TAboutDialog dialog;
        QTimer::singleShot(0, &dialog,
                           [&dialog, key] { QTest::keyClick(dialog.focusWidget(), Qt::Key(key)); });
        dialog.exec();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), dialog.OkButton);
    }
};

QTEST_MAIN(AboutUnitTest)
#include "AboutUnit_test.moc"
