#include "shell/MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

#include "shell/Application.h"

void TMessageBoxSink::ShowMessage(std::string_view text, std::string_view title,
                                  isotri::MessageButtons buttons) {
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr) {
        parent = QApplication::activeWindow();
    }
    if (parent == nullptr) {
        parent = owner_;
    }
    const QString caption =
        title.empty() ? QString::fromUtf8(kProgramTitle)
                      : QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    QMessageBox box(QMessageBox::NoIcon, caption,
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                    buttons == isotri::MessageButtons::OkCancel
                        ? QMessageBox::Ok | QMessageBox::Cancel
                        : QMessageBox::Ok,
                    parent);
    box.exec();
}
