#include "common/AtomicFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <thread>

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
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                               QDir::System);
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

// A file-size limit makes the writes fail as a full disk would; the save runs in a child so
// that the limit binds nothing else. Sizes below the stream buffers are the case that a lost
// flush error used to turn into a truncated file.
TEST(WriteFileAtomically, AFailedWriteKeepsTheOldFileAndLeavesNoPartOfTheNewOne) {
    for (const int size : {4097, 10000, 1 << 20}) {
        SCOPED_TRACE(size);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString name = dir.filePath("picture.emf");
        WriteFile(name, "old picture");

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{4096, 4096};
            int status = setrlimit(RLIMIT_FSIZE, &small) == 0 ? 1 : 2;
            try {
                WriteFileAtomically(name, QByteArray(size, 'n'));
            } catch (const Error& e) {
                const std::string expected =
                    "Cannot create file " + name.toStdString() + "\n" +
                    QString::fromLocal8Bit(std::strerror(EFBIG)).toStdString();
                status = e.what() == expected ? 0 : 3;
            }
            _exit(status);
        }
        int status = -1;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: saved, 2: no limit, 3: another message";
        EXPECT_EQ(ReadAll(name), "old picture");
        EXPECT_EQ(Entries(dir.path()), QStringList{"picture.emf"});
    }
}

TEST(WriteFileAtomically, AReplacedFileKeepsItsModeAndANewFileFollowsTheUmask) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("kept.svg");
    for (const mode_t mode : {0640, 0600, 0755, 0604}) {
        WriteFile(name, "old");
        ASSERT_EQ(chmod(QFile::encodeName(name).constData(), mode), 0);
        WriteFileAtomically(name, "new");
        struct stat st {};
        ASSERT_EQ(stat(QFile::encodeName(name).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        EXPECT_EQ(ReadAll(name), "new");
    }
    const mode_t mask = umask(022);
    umask(mask);
    WriteFileAtomically(dir.filePath("fresh.svg"), "new");
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(dir.filePath("fresh.svg")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
}

TEST(WriteFileAtomically, ALinkToAFileReplacesItsTargetAndStaysALink) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    WriteFile(dir.filePath("real/plot.pdf"), "old");
    const QByteArray folder = QFile::encodeName(dir.path());
    // A relative link in another folder, and a chain of two links.
    ASSERT_EQ(symlink("real/plot.pdf", (folder + "/link.pdf").constData()), 0);
    ASSERT_EQ(symlink((folder + "/link.pdf").constData(), (folder + "/chain.pdf").constData()), 0);
    for (const char* leaf : {"link.pdf", "chain.pdf"}) {
        SCOPED_TRACE(leaf);
        const QByteArray bytes = QByteArray("through ") + leaf;
        WriteFileAtomically(dir.filePath(leaf), bytes);
        EXPECT_TRUE(QFileInfo(dir.filePath(leaf)).isSymLink());
        EXPECT_EQ(ReadAll(dir.filePath("real/plot.pdf")), bytes);
    }
    EXPECT_EQ(Entries(dir.filePath("real")), QStringList{"plot.pdf"});
}

// Reads a FIFO to its end in a thread, as another program would.
class FifoReader {
  public:
    explicit FifoReader(const QByteArray& path)
        : thread_([this, path] {
              const int fd = open(path.constData(), O_RDONLY);
              char buffer[4096];
              for (ssize_t n = 0; fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0;) {
                  bytes_.append(buffer, n);
              }
              if (fd >= 0) {
                  close(fd);
              }
          }) {}
    QByteArray Bytes() {
        thread_.join();
        return bytes_;
    }

  private:
    QByteArray bytes_;
    std::thread thread_;
};

TEST(WriteFileAtomically, FifosDevicesAndStandardOutputAreWrittenStraightThrough) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(mkfifo((folder + "/pipe.emf").constData(), 0600), 0);
    ASSERT_EQ(symlink((folder + "/pipe.emf").constData(), (folder + "/to-pipe.emf").constData()),
              0);
    ASSERT_EQ(symlink("/dev/null", (folder + "/to-null.png").constData()), 0);
    const QByteArray bytes(100000, 'p');

    for (const char* leaf : {"pipe.emf", "to-pipe.emf"}) {
        SCOPED_TRACE(leaf);
        FifoReader reader(folder + "/pipe.emf");
        WriteFileAtomically(dir.filePath(leaf), bytes);
        EXPECT_EQ(reader.Bytes(), bytes);
    }
    WriteFileAtomically(dir.filePath("to-null.png"), bytes);
    EXPECT_TRUE(QFileInfo(dir.filePath("to-null.png")).isSymLink());
    struct stat st {};
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    // Standard output, here a file of the test's own.
    const QByteArray out = folder + "/stdout";
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int fd = open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    dup2(fd, STDOUT_FILENO);
    close(fd);
    WriteFileAtomically(kStandardOutputName, "to standard output");
    dup2(saved, STDOUT_FILENO);
    close(saved);
    EXPECT_EQ(ReadAll(dir.filePath("stdout")), "to standard output");

    EXPECT_EQ(Entries(dir.path()),
              (QStringList{"pipe.emf", "stdout", "to-null.png", "to-pipe.emf"}));
}

TEST(WriteFileAtomically, AFifoWithoutAReaderFailsInsteadOfHanging) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("nobody.emf");
    ASSERT_EQ(mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    ExpectFailure(name, "data");
    EXPECT_EQ(QFileInfo(name).isFile(), false);
    EXPECT_EQ(Entries(dir.path()), QStringList{"nobody.emf"});

    // A reader that leaves early: the write fails with EPIPE, the process goes on.
    std::thread reader([&] {
        const int fd = open(QFile::encodeName(name).constData(), O_RDONLY);
        char byte = 0;
        if (fd >= 0) {
            (void)read(fd, &byte, 1);
            close(fd);
        }
    });
    ExpectFailure(name, QByteArray(1 << 22, 'x'));
    reader.join();
}

}  // namespace
}  // namespace isotri
