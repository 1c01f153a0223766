// The dialog that chooses a directory whose model modules are added to the model library.
#pragma once

#include <QDialog>
#include <QMap>
#include <QString>
#include <QTreeWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace isotri {

// The path from the root down to the opened directory, then the opened directory's
// subdirectories. Opening a directory also makes it the program's current directory.
class TDirectoryListBox : public QTreeWidget {
    Q_OBJECT

  public:
    explicit TDirectoryListBox(QWidget* parent = nullptr);

    // The opened directory, as a full path.
    QString Directory() const { return directory_; }
    // False, with nothing changed, when the directory cannot be made current.
    bool OpenDirectory(const QString& path);
    // Lists the opened directory afresh.
    void Refresh();

  private:
    QString directory_;
};

class TAppendMdlDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TAppendMdlDialog(QWidget* parent = nullptr);

    // The directory opened in the list, as a full path: the result after OK.
    QString Directory() const { return DirectoryListBox->Directory(); }

    TDirectoryListBox* DirectoryListBox;
    QComboBox* DriveComboBox;
    QLabel* Label1;
    QPushButton* Button1;
    QPushButton* Button2;

  public slots:
    void DriveComboBoxChange(int index);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void DirectoryListBoxDblClick(QTreeWidgetItem* item);
    void Open(const QString& path);
    void FillDrives();
    void SelectDriveOf(const QString& path);

    // The last directory opened on each volume: choosing a volume goes back there.
    QMap<QString, QString> lastDirectoryOfDrive_;
};

}  // namespace isotri
