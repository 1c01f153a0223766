// The About box: the program's title, its build date and a small picture.
#pragma once

#include <QDate>
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace isotri {

class TAboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutDialog(QWidget* parent = nullptr);

    // The date this unit was compiled.
    static QDate BuildDate();

    QFrame* ImagePanel;
    QFrame* Image;
    QFrame* Bevel1;
    QLabel* Label1;
    QFrame* Bevel2;
    QLabel* Label2;
    QPushButton* OkButton;

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace isotri
