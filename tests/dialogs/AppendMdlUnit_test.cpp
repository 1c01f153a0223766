// The append-models dialog: which directory the list opens and what it leaves current.

#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "dialogs/AppendMdlUnit.h"

using isotri::TAppendMdlDialog;

namespace {

QTreeWidgetItem* FindItem(QTreeWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList Texts(QTreeWidget* list) {
    QStringList texts;
    for (QTreeWidgetItemIterator it(list); *it != nullptr; ++it) {
        texts.append((*it)->text(0));
    }
    return texts;
}

void DoubleClick(QTreeWidget* list, const QString& text) {
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    QTreeWidgetItem* item = FindItem(list, text);
    QVERIFY2(item != nullptr, qPrintable(text));
    const QRect place = list->visualItemRect(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place.center());
}

}  // namespace

class AppendMdlUnitTest : public QObject {
    Q_OBJECT

  private:
    QString startDir_;
    QTemporaryDir temp_;
    QString root_;

  private slots:
    void initTestCase() {
        startDir_ = QDir::currentPath();
        QVERIFY(temp_.isValid());
        root_ = QDir(temp_.path()).canonicalPath();
        for (const char* name : {"beta", "alpha", "alpha/inner", ".hidden"}) {
            QVERIFY(QDir(root_).mkpath(QString::fromLatin1(name)));
        }
    }
    void init() { QVERIFY(QDir::setCurrent(root_)); }
    void cleanupTestCase() { QDir::setCurrent(startDir_); }

    void opensTheCurrentDirectoryWithThePathAndSubdirectories() {
        TAppendMdlDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Добавить модули из каталога"));
        QCOMPARE(dialog.Directory(), root_);
        QStringList expected{QStringLiteral("/")};
        expected += root_.split(u'/', Qt::SkipEmptyParts);
        expected += {QStringLiteral("alpha"), QStringLiteral("beta")};
        QCOMPARE(Texts(dialog.DirectoryListBox), expected);
        QCOMPARE(dialog.DirectoryListBox->currentItem()->text(0), QDir(root_).dirName());
    }

    void doubleClickOpensAndMakesCurrentEvenOnCancel() {
        TAppendMdlDialog dialog;
        dialog.show();
        DoubleClick(dialog.DirectoryListBox, QStringLiteral("alpha"));
        QCOMPARE(dialog.Directory(), root_ + QStringLiteral("/alpha"));
        QCOMPARE(QDir::currentPath(), root_ + QStringLiteral("/alpha"));
        QVERIFY(FindItem(dialog.DirectoryListBox, QStringLiteral("inner")) != nullptr);
        QVERIFY(FindItem(dialog.DirectoryListBox, QStringLiteral("beta")) == nullptr);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(QDir::currentPath(), root_ + QStringLiteral("/alpha"));

        // Going back up through the path.
        dialog.show();
        DoubleClick(dialog.DirectoryListBox, QDir(root_).dirName());
        QCOMPARE(dialog.Directory(), root_);
    }

    void aHighlightedEntryIsNotTheResult() {
        TAppendMdlDialog dialog;
        dialog.show();
        QTreeWidgetItem* beta = FindItem(dialog.DirectoryListBox, QStringLiteral("beta"));
        QTest::mouseClick(dialog.DirectoryListBox->viewport(), Qt::LeftButton, {},
                          dialog.DirectoryListBox->visualItemRect(beta).center());
        QCOMPARE(dialog.DirectoryListBox->currentItem(), beta);
        QTest::keyClick(dialog.DirectoryListBox, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Directory(), root_);
    }

    void theListKeepsItsDirectoryBetweenOpenings() {
        TAppendMdlDialog dialog;
        dialog.show();
        DoubleClick(dialog.DirectoryListBox, QStringLiteral("beta"));
        dialog.reject();
        QDir::setCurrent(startDir_);
        dialog.show();
        QCOMPARE(dialog.Directory(), root_ + QStringLiteral("/beta"));
    }

    void choosingTheRootVolumeOpensItsLastDirectory() {
        TAppendMdlDialog dialog;
        const int index = dialog.DriveComboBox->findText(QStringLiteral("/"));
        QVERIFY(index >= 0);
        dialog.DriveComboBoxChange(index);
        const QString opened = dialog.Directory();
        QVERIFY(opened == u"/" || root_.startsWith(opened) || opened == root_);
        QCOMPARE(QDir::currentPath(), opened);
    }

    void aVanishedDirectoryIsReportedOnceAndNothingChanges() {
        TAppendMdlDialog dialog;
        dialog.show();
        QVERIFY(QDir(root_).mkdir(QStringLiteral("gone")));
        dialog.DirectoryListBox->Refresh();
        QVERIFY(QDir(root_).rmdir(QStringLiteral("gone")));
        int messages = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&messages] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++messages;
                box->accept();
            }
        });
        answer.start(20);
        DoubleClick(dialog.DirectoryListBox, QStringLiteral("gone"));
        QCOMPARE(messages, 1);
        QCOMPARE(dialog.Directory(), root_);
        QCOMPARE(QDir::currentPath(), root_);
    }

    void anUnreadableDirectoryIsShownEmpty() {
        if (QDir(QStringLiteral("/root")).isReadable() && geteuid() == 0) {
            QSKIP("permissions do not bind the superuser");
        }
        const QString locked = root_ + QStringLiteral("/locked");
        QVERIFY(QDir(root_).mkpath(QStringLiteral("locked/sub")));
        QFile::setPermissions(locked, QFile::ExeOwner);
        TAppendMdlDialog dialog;
        dialog.show();
        DoubleClick(dialog.DirectoryListBox, QStringLiteral("locked"));
        QCOMPARE(dialog.Directory(), locked);
        QVERIFY(FindItem(dialog.DirectoryListBox, QStringLiteral("sub")) == nullptr);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_MAIN(AppendMdlUnitTest)
#include "AppendMdlUnit_test.moc"
