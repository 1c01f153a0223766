// Saving a whole file so that nothing is lost: the bytes go to a temporary file beside the
// target, which replaces the target only once everything is written and flushed.
#pragma once

#include <QByteArray>
#include <QString>

namespace isotri {

// Throws isotri::Error "Cannot create file NAME" (the system's reason on a second line) when
// the file cannot be written; the file that was there before is then left as it was, and no
// temporary file remains.
void WriteFileAtomically(const QString& fileName, const QByteArray& bytes);

}  // namespace isotri
