#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Изолинии на концентрационном треугольнике"));
    window.resize(812, 912);
    window.show();
    return app.exec();
}
