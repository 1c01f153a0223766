#include "shell/Application.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>
#include <exception>

namespace {

constexpr const char* kQtCatalogue = "qtbase_ru";

}  // namespace

bool InstallQtTranslations() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return false;
    }
    if (app->findChild<QTranslator*>(QString::fromLatin1(kQtCatalogue),
                                     Qt::FindDirectChildrenOnly) != nullptr) {
        return true;
    }
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(app);
    translator->setObjectName(QString::fromLatin1(kQtCatalogue));
    if (!translator->load(QString::fromLatin1(kQtCatalogue), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        std::fprintf(stderr,
                     "isotri: нет перевода Qt %s.qm в %s; стандартные диалоги будут "
                     "по-английски\n",
                     kQtCatalogue, qPrintable(folder));
        return false;
    }
    return true;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("isotri"));
    InstallQtTranslations();
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
