#include "cli/PlotOutput.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "cli/IsolineJson.h"
#include "common/AtomicFile.h"
#include "common/Error.h"
#include "export/PictureFile.h"

namespace isotri::cli {

namespace {

int WriteJson(const PlotOptions& options, const PlotResult& result, const PlotExtras& extras) {
    const std::string json =
        IsolineSetJson(*result.set, result.evaluations, result.extremes, extras.jsonMembers);
    try {
        WriteFileAtomically(QString::fromStdString(options.output),
                            QByteArray::fromStdString(json));
    } catch (const Error& e) {
        std::fprintf(stderr, "isotri-plot: %s\n", e.what());
        return 3;
    }
    return 0;
}

// The picture as the window would export it, with the appearance the options made.
int WritePicture(const PlotOptions& options, const PlotResult& result, const PlotExtras& extras) {
    const NumberText numbers = NumberText::FromSystemLocale();
    StderrMessageSink sink;
    PictureInput input{result.set,          options.width,         options.height, options.split,
                       &options.appearance, options.bounds.data(), &numbers,       &sink};
    input.screen = PrimaryScreenMetrics();
    input.marks = extras.marks;
    input.extremes = options.readout.markExtremes ? result.extremes : nullptr;
    const SaveResult saved =
        SavePictureFile(options.output, input, nullptr, FormExtension(options));
    if (!saved.ok) {
        std::fprintf(stderr, "isotri-plot: %s\n", saved.error.c_str());
        return 3;
    }
    return 0;
}

struct OutputForm {
    const char* extension;
    int (*write)(const PlotOptions&, const PlotResult&, const PlotExtras&);
};

// Every output form of the picture-making modes, by the extension of -o.
const OutputForm kForms[] = {
    {".json", WriteJson},   {".emf", WritePicture}, {".wmf", WritePicture},
    {".png", WritePicture}, {".svg", WritePicture}, {".pdf", WritePicture},
};

const OutputForm* FormOf(const std::string& ext) {
    for (const OutputForm& form : kForms) {
        if (ext == form.extension) {
            return &form;
        }
    }
    return nullptr;
}

}  // namespace

std::string FormExtension(const std::string& output, const std::string& format) {
    if (!format.empty()) {
        std::string ext = "." + format;
        for (char& c : ext) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return ext;
    }
    return output == kStandardOutputName ? ".json" : FileExtension(output);
}

std::string FormExtension(const PlotOptions& options) {
    return FormExtension(options.output, options.format);
}

bool NamesPicture(const Args& args) {
    if (std::find(args.begin(), args.end(), "--list") != args.end()) {
        return false;
    }
    std::string output, format;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "-o") {
            output = args[++i];
        } else if (args[i] == "--format") {
            format = args[++i];
        }
    }
    const OutputForm* form = FormOf(FormExtension(output, format));
    return form != nullptr && form->write == WritePicture;
}

bool KnownOutput(const PlotOptions& options, std::string& error) {
    if (FormOf(FormExtension(options)) != nullptr) {
        return true;
    }
    error = options.format.empty()
                ? "формат выходного файла \"" + options.output + "\" не поддерживается."
                : "формат \"" + options.format + "\" (--format) не поддерживается.";
    return false;
}

int CheckOutputPlace(const PlotOptions& options) {
    const std::string problem = WriteProblem(QString::fromStdString(options.output));
    if (!problem.empty()) {
        std::fprintf(stderr, "isotri-plot: %s\n", problem.c_str());
        return 3;
    }
    return 0;
}

int WritePlotOutput(const PlotOptions& options, const PlotResult& result,
                    const PlotExtras& extras) {
    std::string error;
    const OutputForm* form = FormOf(FormExtension(options));
    if (form == nullptr) {
        KnownOutput(options, error);
        std::fprintf(stderr, "isotri-plot: %s\n", error.c_str());
        return 2;
    }
    return form->write(options, result, extras);
}

}  // namespace isotri::cli
