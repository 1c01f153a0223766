#include "shell/Application.h"

#include <QMessageBox>
#include <exception>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("isotri"));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowException(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

void TApplication::ShowException(const QString& message) {
    QWidget* parent = activeModalWidget();
    if (parent == nullptr) {
        parent = activeWindow();
    }
    QMessageBox::critical(parent, QString::fromUtf8(kProgramTitle), message);
}
