// The catalogue of loaded model modules and of the descriptors they hand over.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/MessageSink.h"
#include "isotri/model_module.h"

namespace isotri {

// File name of the default module, loaded by its bare name through the platform's search.
inline constexpr const char* kDefaultModuleName = "default" ISOTRI_MODULE_SUFFIX;

// A model with more coefficients is refused: its tables would be absurd, not useful.
inline constexpr std::int32_t kMaxCoefCount = 4096;

// Size of the zeroed block that GetModuleVersionInfo is given, so that a module writing past the
// contract's 8 bytes cannot reach the heap; only the first 8 bytes are kept.
inline constexpr std::size_t kVersionScratchSize = 4096;

class TMathDefinition {
  public:
    // Create. Messages of the catalogue (failed loads, internal errors) go to `sink`.
    explicit TMathDefinition(MessageSink& sink);
    // Destroy: unloads every recorded module once; descriptors are not touched.
    ~TMathDefinition();
    TMathDefinition(const TMathDefinition&) = delete;
    TMathDefinition& operator=(const TMathDefinition&) = delete;

    void Clear();
    bool LoadModule(const std::string& fileName);
    std::int32_t LoadDirectory(const std::string& dir);

    std::int32_t ModuleCount() const { return static_cast<std::int32_t>(_FileNames.size()); }
    std::int32_t AddendCount() const { return static_cast<std::int32_t>(_Addens.size()); }
    std::int32_t ModelCount() const { return static_cast<std::int32_t>(_Models.size()); }

    // Out of range: message and the first model; negative index or empty catalogue: isotri::Error.
    const IsotriModel* GetModel(std::int32_t index);
    // First model whose name equals `name` byte-wise, or -1.
    std::int32_t IndexOfModel(std::string_view name) const;

    const std::vector<std::string>& FileNames() const { return _FileNames; }
    // The block that recorded module `module` wrote; the catalogue itself never reads it.
    std::span<const unsigned char> VersionInfo(std::int32_t module) const {
        return *_VersionInfos.at(static_cast<std::size_t>(module));
    }

    static std::int32_t EnumAddenProc(const void* descriptor);
    static std::int32_t EnumModelProc(const void* descriptor);
    static std::int32_t EnumGenProc(const void* descriptor);

  private:
    using VersionBlock = std::array<unsigned char, ISOTRI_VERSION_BLOCK_SIZE>;

    MessageSink& sink_;
    std::vector<void*> _Handles;
    std::vector<std::string> _FileNames;
    std::vector<std::unique_ptr<VersionBlock>> _VersionInfos;
    std::vector<const void*> _Addens;
    std::vector<const void*> _Models;
    std::vector<const void*> _Gens;
};

// Convenience readers of a model descriptor; texts are copied at once.
std::string ModelName(const IsotriModel* model);
std::int32_t ModelFactorCount(const IsotriModel* model);
std::int32_t ModelCoefCount(const IsotriModel* model);
std::string ModelCoefLabel(const IsotriModel* model, std::int32_t index);
// Evaluates a model that the catalogue took in. Without coefficients the model still gets a
// valid array, never null.
void ModelEvaluate(const IsotriModel* model, const double* point, const std::vector<double>& coefs,
                   double* result);

}  // namespace isotri
