#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>

#include "common/Error.h"

namespace isotri {

namespace {

std::string Message(const QString& fileName, const QString& reason) {
    return QStringLiteral("Cannot create file %1\n%2").arg(fileName, reason).toStdString();
}

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

const QString kFolderReason = QStringLiteral("Это папка.");

[[noreturn]] void Fail(const QString& fileName, const QString& reason) {
    throw Error(Message(fileName, reason));
}

[[noreturn]] void FailWith(const QString& fileName, int error) {
    Fail(fileName, Reason(error));
}

// 0, or the error number of the write that failed.
int WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    auto left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, data, std::min<std::size_t>(left, 1U << 30));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (written == 0) {
            return EIO;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

// While it lives, a write to a pipe whose reader has gone fails with EPIPE instead of ending the
// process (the window would lose everything with it).
class SigpipeBlocked {
  public:
    SigpipeBlocked() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &saved_);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    }
    ~SigpipeBlocked() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{0, 0};
            sigtimedwait(&pipe_, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }
    SigpipeBlocked(const SigpipeBlocked&) = delete;
    SigpipeBlocked& operator=(const SigpipeBlocked&) = delete;

  private:
    sigset_t pipe_{};
    sigset_t saved_{};
    bool wasPending_ = false;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The last target of a chain of symbolic links, or the path itself when it is no link (or does
// not exist yet). 0 in `error` unless the chain cannot be followed.
std::string FollowLinks(std::string path, int& error) {
    error = 0;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                error = errno;
            }
            return path;
        }
        if (!S_ISLNK(st.st_mode)) {
            return path;
        }
        std::string target(4096, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) == target.size()) {
            error = length < 0 ? errno : ENAMETOOLONG;
            return path;
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
    }
    error = ELOOP;
    return path;
}

// Opens a FIFO or device for writing. A FIFO that nobody reads would block the open for ever, so
// a reader gets a moment to come and is otherwise reported as missing (ENXIO).
int OpenStraight(const std::string& path) {
    constexpr auto kReaderWait = std::chrono::seconds(2);
    const auto giveUp = std::chrono::steady_clock::now() + kReaderWait;
    while (true) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0) {
            const int flags = ::fcntl(fd, F_GETFL);
            if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
                const int error = errno;
                ::close(fd);
                errno = error;
                return -1;
            }
            return fd;
        }
        if (errno != ENXIO || std::chrono::steady_clock::now() >= giveUp) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void WriteStraight(const QString& fileName, const std::string& path, const QByteArray& bytes) {
    const bool standardOutput = path == kStandardOutputName;
    const int fd = standardOutput ? STDOUT_FILENO : OpenStraight(path);
    if (fd < 0) {
        FailWith(fileName, errno);
    }
    int error = 0;
    {
        const SigpipeBlocked blocked;
        error = WriteAll(fd, bytes);
    }
    if (!standardOutput && ::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        FailWith(fileName, error);
    }
}

// Creates a new file beside `target` that no one else uses; -1 with errno on failure.
int CreateTemporary(const std::string& target, mode_t mode, std::string& name) {
    const std::string folder = FolderOf(target);
    // Room for the suffix within the usual 255-byte limit of a name.
    const std::string leaf = target.substr(target.find_last_of('/') + 1).substr(0, 200);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto stamp = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        name = folder + "/." + leaf + "." + std::to_string(::getpid()) + "." +
               std::to_string(++counter) + "." + std::to_string(stamp % 100000);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

void ReplaceRegular(const QString& fileName, const std::string& target, const struct stat* old,
                    const QByteArray& bytes) {
    std::string temporary;
    // A new file gets 0666 less the umask, as any other new file would.
    const int fd = CreateTemporary(target, old != nullptr ? 0600 : 0666, temporary);
    if (fd < 0) {
        FailWith(fileName, errno);
    }
    int error = 0;
    if (old != nullptr) {
        // Owner and group can be kept only by a privileged user; the mode always.
        (void)::fchown(fd, old->st_uid, old->st_gid);
        if (::fchmod(fd, old->st_mode & 07777) != 0) {
            error = errno;
        }
    }
    if (error == 0) {
        error = WriteAll(fd, bytes);
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        FailWith(fileName, error);
    }
}

}  // namespace

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes) {
    if (fileName.isEmpty()) {
        Fail(fileName, QStringLiteral("Имя файла пусто."));
    }
    const std::string name = QFile::encodeName(fileName).toStdString();
    if (name == kStandardOutputName) {
        WriteStraight(fileName, name, bytes);
        return;
    }
    int error = 0;
    const std::string target = FollowLinks(name, error);
    if (error != 0) {
        FailWith(fileName, error);
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            FailWith(fileName, errno);
        }
        ReplaceRegular(fileName, target, nullptr, bytes);
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        Fail(fileName, kFolderReason);
    }
    if (!S_ISREG(st.st_mode)) {
        WriteStraight(fileName, target, bytes);
        return;
    }
    ReplaceRegular(fileName, target, &st, bytes);
}

std::string WriteProblem(const QString& fileName) {
    if (fileName.isEmpty()) {
        return Message(fileName, QStringLiteral("Имя файла пусто."));
    }
    const std::string name = QFile::encodeName(fileName).toStdString();
    if (name == kStandardOutputName) {
        return {};
    }
    int error = 0;
    const std::string target = FollowLinks(name, error);
    if (error != 0) {
        return Message(fileName, Reason(error));
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return Message(fileName, kFolderReason);
        }
        if (!S_ISREG(st.st_mode)) {
            return {};  // written straight through, whatever its folder
        }
    } else if (errno != ENOENT) {
        return Message(fileName, Reason(errno));
    }
    const std::string folder = FolderOf(target);
    if (::stat(folder.c_str(), &st) != 0) {
        return Message(fileName, Reason(errno));
    }
    if (!S_ISDIR(st.st_mode)) {
        return Message(fileName, Reason(ENOTDIR));
    }
    // The temporary file is made in the folder, so the folder must take new files.
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return Message(fileName, Reason(errno));
    }
    return {};
}

}  // namespace isotri
