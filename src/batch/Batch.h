// The batch file of the model multiplication and its loader: one model per line with its
// coefficients and an optional desirability clause, read into BatchList.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/MessageSink.h"
#include "common/NumberText.h"
#include "isotri/model_module.h"
#include "models/MathDef.h"

namespace isotri {

inline constexpr std::size_t kBatchNameLength = 256;  // characters (code points) of a name kept

struct TBatchEntry {
    std::string Name;                    // as written, cut to kBatchNameLength characters
    const IsotriModel* Model = nullptr;  // owned by the model catalogue
    std::vector<double> Coefs;           // coefficient i of the line at Coefs[i - 1]
    bool Combined = false;               // the line had a combine1/combine2 clause
    bool OneSided = false;               // combine1
    double Low = 0;
    double High = 0;
    double Target = 0;  // combine2 only
    double Weight = 0;
};

// The entries of the last load, in line order; read by EvalBatchProc. Only the last entry may
// be a single-model (not combined) one.
extern std::vector<TBatchEntry> BatchList;

// Finds a model by its exact name; null when there is none.
using ModelFinder = std::function<const IsotriModel*(std::string_view name)>;

inline ModelFinder FinderOf(TMathDefinition& catalogue) {
    return [&catalogue](std::string_view name) -> const IsotriModel* {
        const std::int32_t index = catalogue.IndexOfModel(name);
        return index < 0 ? nullptr : catalogue.GetModel(index);
    };
}

// A locale number; failing that, the text with every full stop made a comma, read once more.
std::optional<double> ParseCoefficient(const NumberText& numbers, std::string_view text);

// Where a batch may come from: the window takes regular files only (a FIFO would freeze it), the
// command line also FIFOs, devices and standard input ("-").
enum class BatchSource { File, Stream };
inline constexpr const char* kStandardInputName = "-";

// Replaces BatchList with the entries of the file and reports on the console (levels 16, 32,
// 48); a missing file, or with BatchSource::File one that is not regular, goes to `sink`. A file
// that ends in binary bytes, passes the tokenizer's size limit, is UTF-16, or holds a line too
// long for the memory is refused whole. True when at least one entry was accepted.
bool LoadBatch(const std::string& fileName, const ModelFinder& findModel, const NumberText& numbers,
               MessageSink& sink, BatchSource source = BatchSource::File);

}  // namespace isotri
