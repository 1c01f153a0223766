#include "common/AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include "common/Error.h"

namespace isotri {

namespace {

[[noreturn]] void Fail(const QString& fileName, const QString& reason) {
    throw Error(QStringLiteral("Cannot create file %1\n%2").arg(fileName, reason).toStdString());
}

}  // namespace

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes) {
    if (fileName.isEmpty()) {
        Fail(fileName, QStringLiteral("Имя файла пусто."));
    }
    // Renaming over a directory would fail only at the very end; say so at once.
    if (QFileInfo(fileName).isDir()) {
        Fail(fileName, QStringLiteral("Это папка."));
    }
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        Fail(fileName, file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Fail(fileName, reason);
    }
    if (!file.commit()) {
        Fail(fileName, file.errorString());
    }
}

}  // namespace isotri
