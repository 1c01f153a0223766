#include "common/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "common/Error.h"

namespace isotri {
namespace {

QByteArray ReadAll(const QString& name) {
    QFile f(name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// Expects the save to fail with the file's name in the message.
void ExpectFailure(const QString& name, const QByteArray& bytes) {
    try {
        WriteFileAtomically(name, bytes);
        ADD_FAILURE() << "saved " << name.toStdString();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file " + name.toStdString(), 0), 0U)
            << e.what();
    }
}

TEST(WriteFileAtomically, WritesNewFilesAndReplacesOldOnes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& leaf : {QStringLiteral("plain.emf"), QStringLiteral("с пробелом и Ё.wmf"),
                                QStringLiteral(" leading space")}) {
        const QString name = dir.filePath(leaf);
        WriteFileAtomically(name, "first");
        EXPECT_EQ(ReadAll(name), "first");
        WriteFileAtomically(name, QByteArray(100000, 'x'));
        EXPECT_EQ(ReadAll(name).size(), 100000);
    }
    EXPECT_EQ(Entries(dir.path()).size(), 3);  // no temporary files left
}

TEST(WriteFileAtomically, FailsClearlyWhereNoFileCanBeMade) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    WriteFile(dir.filePath("sub/keep.txt"), "kept");

    ExpectFailure(dir.filePath("missing/триангл.emf"), "data");
    ExpectFailure(dir.filePath("sub"), "data");
    ExpectFailure(QString(), "data");
    ExpectFailure(dir.filePath("sub/keep.txt/inner.emf"), "data");

    EXPECT_EQ(Entries(dir.path()), QStringList{"sub"});
    EXPECT_EQ(Entries(dir.filePath("sub")), QStringList{"keep.txt"});
    EXPECT_EQ(ReadAll(dir.filePath("sub/keep.txt")), "kept");
}

// A file-size limit makes the write itself fail half way, as a full disk would.
TEST(WriteFileAtomically, AFailedWriteKeepsTheOldFileAndLeavesNoPartOfTheNewOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("picture.emf");
    WriteFile(name, "old picture");

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ExpectFailure(name, QByteArray(1 << 20, 'n'));
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadAll(name), "old picture");
    EXPECT_EQ(Entries(dir.path()), QStringList{"picture.emf"});
}

}  // namespace
}  // namespace isotri
