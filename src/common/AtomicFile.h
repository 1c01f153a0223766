// Saving a whole file so that nothing is lost: the bytes go to a temporary file beside the
// target, which replaces the target only once everything is written and on the disk.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace isotri {

// The name that stands for standard output.
inline constexpr const char* kStandardOutputName = "-";

// Writes `bytes` as the whole content of `fileName`:
// - a regular file, a new name, or a symbolic link to either: written to a temporary file in
//   the final target's folder, synced, then renamed over the target; a link stays a link, and a
//   replaced file keeps its mode;
// - a FIFO, a device, or a link to one, and "-" (standard output): written straight through,
//   with no temporary file and no rename, since replacing such a node would lose it.
// Throws isotri::Error "Cannot create file NAME" (the system's reason on a second line) on any
// failure; a replaced file is then left as it was, and no temporary file remains.
void WriteFileAtomically(const QString& fileName, const QByteArray& bytes);

// Checked before the work that makes the bytes: the same message as a failed write when the
// target is a folder, or its folder is missing or not writable; empty when a write may go ahead
// (it can still fail).
std::string WriteProblem(const QString& fileName);

}  // namespace isotri
