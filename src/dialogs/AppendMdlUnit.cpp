#include "dialogs/AppendMdlUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>

#include "dialogs/ScreenCentre.h"

namespace isotri {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString FullPath(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

// The mount point that holds `path`: the longest root that is a prefix of it.
QString VolumeRootOf(const QString& path, const QStringList& roots) {
    QString best = QStringLiteral("/");
    for (const QString& root : roots) {
        const QString prefix = root.endsWith(u'/') ? root : root + u'/';
        if ((path == root || path.startsWith(prefix)) && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

}  // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(14);
    setUniformRowHeights(true);
    // The path is always shown whole: no arrows that suggest it folds.
    setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
}

bool TDirectoryListBox::OpenDirectory(const QString& path) {
    const QString full = FullPath(path);
    if (!QFileInfo(full).isDir() || !QDir::setCurrent(full)) {
        return false;
    }
    directory_ = full;
    Refresh();
    return true;
}

void TDirectoryListBox::Refresh() {
    clear();
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);

    auto* item = new QTreeWidgetItem(this, {QStringLiteral("/")});
    item->setData(0, kPathRole, QStringLiteral("/"));
    item->setIcon(0, open);
    QString walked;
    for (const QString& part : directory_.split(u'/', Qt::SkipEmptyParts)) {
        walked += u'/' + part;
        item = new QTreeWidgetItem(item, {part});
        item->setData(0, kPathRole, walked);
        item->setIcon(0, open);
    }
    QTreeWidgetItem* opened = item;

    // An unreadable directory lists nothing: it is shown empty.
    const QDir dir(directory_);
    const QStringList children =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : children) {
        auto* child = new QTreeWidgetItem(opened, {name});
        child->setData(0, kPathRole, dir.filePath(name));
        child->setIcon(0, closed);
    }
    expandAll();
    setCurrentItem(opened);
    scrollToItem(opened, QAbstractItemView::PositionAtTop);
}

TAppendMdlDialog::TAppendMdlDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AppendMdlDialog"));
    setWindowTitle(QStringLiteral("Добавить модули из каталога"));
    setFixedSize(372, 351);

    DirectoryListBox = new TDirectoryListBox(this);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    DirectoryListBox->setGeometry(8, 8, 356, 266);

    Label1 = new QLabel(QStringLiteral("Диск:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 282, 40, 24);

    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
    DriveComboBox->setGeometry(48, 282, 316, 24);
    Label1->setBuddy(DriveComboBox);

    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(208, 318, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(289, 318, 75, 25);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(DirectoryListBox, &QTreeWidget::itemDoubleClicked, this,
            &TAppendMdlDialog::DirectoryListBoxDblClick);
    connect(DriveComboBox, &QComboBox::activated, this, &TAppendMdlDialog::DriveComboBoxChange);

    FillDrives();
    Open(QDir::currentPath());
    DirectoryListBox->setFocus();
}

void TAppendMdlDialog::FillDrives() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath())) {
            roots.append(volume.rootPath());
        }
    }
    roots.sort();
    DriveComboBox->clear();
    DriveComboBox->addItems(roots);
}

void TAppendMdlDialog::SelectDriveOf(const QString& path) {
    QStringList roots;
    for (int i = 0; i < DriveComboBox->count(); ++i) {
        roots.append(DriveComboBox->itemText(i));
    }
    const QString root = VolumeRootOf(path, roots);
    lastDirectoryOfDrive_[root] = path;
    DriveComboBox->setCurrentIndex(DriveComboBox->findText(root));
}

void TAppendMdlDialog::Open(const QString& path) {
    if (!DirectoryListBox->OpenDirectory(path)) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Не удалось открыть каталог \"%1\".").arg(path));
        return;
    }
    SelectDriveOf(DirectoryListBox->Directory());
}

void TAppendMdlDialog::DirectoryListBoxDblClick(QTreeWidgetItem* item) {
    if (item != nullptr) {
        Open(item->data(0, kPathRole).toString());
    }
}

void TAppendMdlDialog::DriveComboBoxChange(int index) {
    const QString root = DriveComboBox->itemText(index);
    const QString last = lastDirectoryOfDrive_.value(root, root);
    // A remembered directory that has gone since leaves the volume's root.
    Open(QFileInfo(last).isDir() ? last : root);
}

void TAppendMdlDialog::showEvent(QShowEvent* event) {
    // Volumes come and go between openings; the list keeps the directory it had.
    FillDrives();
    SelectDriveOf(DirectoryListBox->Directory());
    DirectoryListBox->Refresh();
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

}  // namespace isotri
