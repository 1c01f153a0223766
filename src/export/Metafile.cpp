#include "export/Metafile.h"

#include "export/EmfWriter.h"
#include "export/PictureFile.h"
#include "export/WmfWriter.h"

namespace isotri {

namespace {

template <typename Writer>
std::optional<QByteArray> Record(const PictureInput& in) {
    if (in.set == nullptr) {
        return std::nullopt;
    }
    Writer writer(in.width, in.height, in.screen);
    if (!DrawPictureInput(in, writer)) {
        return std::nullopt;
    }
    return writer.Finish();
}

}  // namespace

std::optional<QByteArray> RenderToMetafile(const PictureInput& input) {
    return Record<EmfWriter>(input);
}

std::optional<QByteArray> RenderToWmf(const PictureInput& input) {
    return Record<WmfWriter>(input);
}

std::unique_ptr<QMimeData> MetafileMimeData(const QByteArray& emf) {
    auto data = std::make_unique<QMimeData>();
    for (const char* type : kEmfMimeTypes) {
        data->setData(QString::fromLatin1(type), emf);
    }
    return data;
}

}  // namespace isotri
