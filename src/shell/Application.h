// The application object: an exception that escapes an event handler is shown in a message box
// and the program goes on.
#pragma once

#include <QApplication>

// Caption of the main window and of message boxes that have no title of their own.
inline constexpr const char* kProgramTitle = "Изолинии на концентрационном треугольнике";

class TApplication : public QApplication {
    Q_OBJECT

  public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    static void ShowException(const QString& message);
};

// Qt's own Russian catalogue, so that the standard dialogs speak the program's language in every
// locale. Safe to call again; false (with a line on standard error) when the catalogue is missing.
bool InstallQtTranslations();
