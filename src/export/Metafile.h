// The picture as a metafile for the clipboard and for files: the kept isoline set drawn afresh
// by the renderer onto an EMF or WMF recorder at the picture's size.
#pragma once

#include <QByteArray>
#include <QMimeData>
#include <memory>
#include <optional>

#include "export/PictureFile.h"

namespace isotri {

// The EMF bytes of the picture; none when there is no set or when the renderer refused the
// geometry texts (it has told the user through the input's sink). A level text that does not
// read as a number throws isotri::Error.
std::optional<QByteArray> RenderToMetafile(const PictureInput& input);
// The same as a placeable WMF.
std::optional<QByteArray> RenderToWmf(const PictureInput& input);

// Clipboard contents holding only the metafile, under the names Linux applications read.
std::unique_ptr<QMimeData> MetafileMimeData(const QByteArray& emf);

inline constexpr const char* kEmfMimeTypes[] = {
    "application/x-openoffice-emf;windows_formatname=\"Image EMF\"",
    "image/x-emf",
    "image/emf",
};

}  // namespace isotri
