#include "models/MathDef.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fnmatch.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "common/Error.h"
#include "common/ProgramFiles.h"

namespace isotri {

namespace {

const char* const kInternalError = "Внутренняя ошибка: ";
const char* const kModuleMask = "*" ISOTRI_MODULE_SUFFIX;

// The list that the running enumeration appends to, and where its messages go. Loads never
// overlap (one thread, no nesting), so module-wide state is enough.
std::vector<const void*>* pDestList = nullptr;
MessageSink* pDestSink = nullptr;
// The module whose descriptors are being enumerated, named when one of them is refused.
std::string destFileName;

// Nothing is lost when no catalogue is alive: the message still reaches the user.
void Show(const std::string& text) {
    if (pDestSink != nullptr) {
        pDestSink->ShowMessage(text);
    } else {
        StderrMessageSink().ShowMessage(text, {}, MessageButtons::Ok);
    }
}

void ShowInternal(const char* what) {
    Show(std::string(kInternalError) + what);
}

// Why the catalogue cannot take a model in, or nothing. Every slot is checked because the program
// calls all five; the coefficient count is read once, as everything after it relies on it.
std::optional<std::string> ModelFault(const IsotriModel* model) {
    const IsotriModelOps* ops = model->ops;
    if (ops == nullptr) {
        return "нет таблицы операций";
    }
    const std::pair<bool, const char*> slots[] = {
        {ops->GetName != nullptr, "GetName"},
        {ops->GetFactorCount != nullptr, "GetFactorCount"},
        {ops->GetCoefCount != nullptr, "GetCoefCount"},
        {ops->GetTerm != nullptr, "GetTerm"},
        {ops->Evaluate != nullptr, "Evaluate"},
    };
    for (const auto& [present, name] : slots) {
        if (!present) {
            return std::string("нет операции ") + name;
        }
    }
    const std::int32_t coefs = ops->GetCoefCount(model);
    if (coefs < 0 || coefs > kMaxCoefCount) {
        return "число коэффициентов " + std::to_string(coefs) + " вне диапазона от 0 до " +
               std::to_string(kMaxCoefCount);
    }
    return std::nullopt;
}

std::string RefusalText(const IsotriModel* model, const std::string& reason) {
    std::string text = "Модель ";
    if (model->ops != nullptr && model->ops->GetName != nullptr) {
        if (const char* name = model->ops->GetName(model); name != nullptr) {
            text += "\"" + std::string(name) + "\" ";
        }
    }
    return text + "внешнего модуля \"" + destFileName + "\" не добавлена: " + reason + ".";
}

std::int32_t Append(const void* descriptor, const char* refusal) {
    if (pDestList != nullptr && descriptor != nullptr) {
        pDestList->push_back(descriptor);
        return 1;
    }
    ShowInternal(refusal);
    return 0;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (!dir.empty() && dir.back() == '/') {
        return dir + name;
    }
    return dir + '/' + name;
}

// Entry names matching the module mask, in listing order; none when the directory cannot be
// read.
std::vector<std::string> ListModuleFiles(const std::string& dir) {
    std::vector<std::string> names;
    DIR* listing = ::opendir(dir.c_str());
    if (listing == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(listing)) {
        if (::fnmatch(kModuleMask, entry->d_name, 0) == 0) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(listing);
    return names;
}

// A bare name is looked for beside the executable first, as the platform's own search does on
// Windows, then in the install tree's module folder; then through the loader's search
// (LD_LIBRARY_PATH, run path, system folders). The loader's search alone is not enough: under a
// sanitizer the loader sees the sanitizer's runtime as the caller and ignores the executable's
// run path.
std::string ModulePath(const std::string& fileName) {
    if (fileName.find('/') == std::string::npos) {
        const std::string path = FindProgramFile(fileName, kInstalledModuleFolder);
        if (!path.empty()) {
            return path;
        }
    }
    return fileName;
}

// On failure `reason` gets the loader's own words. A FIFO or a device is never handed to the
// loader: opening it would block, or read what is not a file.
void* OpenModule(const std::string& fileName, std::string& reason) {
    const std::string path = ModulePath(fileName);
    struct stat info {};
    if (path.find('/') != std::string::npos && ::stat(path.c_str(), &info) == 0 &&
        !S_ISREG(info.st_mode)) {
        reason = "Это не обычный файл.";
        return nullptr;
    }
    ::dlerror();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = ::dlerror();
        reason = error != nullptr ? error : "Причина неизвестна.";
    }
    return handle;
}

std::string ListIndexError(std::int32_t index) {
    return "Индекс списка вне допустимого диапазона (" + std::to_string(index) + ").";
}

}  // namespace

TMathDefinition::TMathDefinition(MessageSink& sink) : sink_(sink) {
    pDestSink = &sink_;
    Clear();
}

TMathDefinition::~TMathDefinition() {
    for (void* handle : _Handles) {
        if (handle != nullptr && ::dlclose(handle) != 0) {
            const char* reason = ::dlerror();
            std::fprintf(stderr, "dlclose: %s\n", reason != nullptr ? reason : "?");
        }
    }
    // A module that kept the callback must not reach lists that are gone.
    if (pDestList == &_Addens || pDestList == &_Models || pDestList == &_Gens) {
        pDestList = nullptr;
    }
    if (pDestSink == &sink_) {
        pDestSink = nullptr;
    }
}

void TMathDefinition::Clear() {
    _Handles.clear();
    _FileNames.clear();
    _VersionInfos.clear();
    _Addens.clear();
    _Models.clear();
    _Gens.clear();
}

bool TMathDefinition::LoadModule(const std::string& fileName) {
    std::string reason;
    void* handle = OpenModule(fileName, reason);
    if (handle == nullptr) {
        sink_.ShowMessage("Ошибка загрузки внешнего модуля \"" + fileName + "\".\n" + reason);
        return false;
    }
    auto getVersion =
        reinterpret_cast<IsotriGetModuleVersionInfoFn>(::dlsym(handle, "GetModuleVersionInfo"));
    if (getVersion == nullptr) {
        // Not recorded, so nothing could ever refer to it.
        ::dlclose(handle);
        return false;
    }
    _FileNames.push_back(fileName);
    _VersionInfos.push_back(std::make_unique<VersionBlock>());
    _Handles.push_back(handle);
    std::vector<unsigned char> scratch(kVersionScratchSize, 0);
    getVersion(scratch.data());
    std::copy_n(scratch.begin(), ISOTRI_VERSION_BLOCK_SIZE, _VersionInfos.back()->begin());

    struct Enumeration {
        const char* exportName;
        std::vector<const void*>* list;
        IsotriEnumProc callback;
    };
    const Enumeration enumerations[] = {
        {"AddensEnumerate", &_Addens, &EnumAddenProc},
        {"ModelsEnumerate", &_Models, &EnumModelProc},
        {"GensEnumerate", &_Gens, &EnumGenProc},
    };
    for (const Enumeration& e : enumerations) {
        auto enumerate = reinterpret_cast<IsotriEnumerateFn>(::dlsym(handle, e.exportName));
        if (enumerate != nullptr) {
            pDestList = e.list;
            pDestSink = &sink_;
            destFileName = fileName;
            enumerate(e.callback);
        }
    }
    return true;
}

std::int32_t TMathDefinition::LoadDirectory(const std::string& dir) {
    LoadModule(kDefaultModuleName);
    for (const std::string& name : ListModuleFiles(dir)) {
        if (name != kDefaultModuleName) {
            LoadModule(JoinPath(dir, name));
        }
    }
    return ModuleCount();
}

const IsotriModel* TMathDefinition::GetModel(std::int32_t index) {
    if (ModelCount() > index) {
        if (index < 0) {
            throw Error(ListIndexError(index));
        }
        return static_cast<const IsotriModel*>(_Models[static_cast<std::size_t>(index)]);
    }
    sink_.ShowMessage(std::string(kInternalError) + "Index > _Models.Count");
    if (_Models.empty()) {
        throw Error(ListIndexError(0));
    }
    return static_cast<const IsotriModel*>(_Models.front());
}

std::int32_t TMathDefinition::IndexOfModel(std::string_view name) const {
    for (std::size_t i = 0; i < _Models.size(); ++i) {
        if (ModelName(static_cast<const IsotriModel*>(_Models[i])) == name) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

std::int32_t TMathDefinition::EnumAddenProc(const void* descriptor) {
    return Append(descriptor, "EnumAddenProc: pDestList = nil");
}

std::int32_t TMathDefinition::EnumModelProc(const void* descriptor) {
    if (pDestList != nullptr && descriptor != nullptr) {
        const auto* model = static_cast<const IsotriModel*>(descriptor);
        if (const std::optional<std::string> fault = ModelFault(model)) {
            Show(RefusalText(model, *fault));
            return 0;
        }
    }
    return Append(descriptor, "EnumModelProc: pDestList = nil");
}

std::int32_t TMathDefinition::EnumGenProc(const void* descriptor) {
    return Append(descriptor, "EnumGenProc: pDestList = nil");
}

// A module that breaks the contract (null table, slot or text) reads as empty, not as a crash.
std::string ModelName(const IsotriModel* model) {
    if (model == nullptr || model->ops == nullptr || model->ops->GetName == nullptr) {
        return {};
    }
    const char* name = model->ops->GetName(model);
    return name != nullptr ? std::string(name) : std::string();
}

std::int32_t ModelFactorCount(const IsotriModel* model) {
    if (model == nullptr || model->ops == nullptr || model->ops->GetFactorCount == nullptr) {
        return 0;
    }
    return model->ops->GetFactorCount(model);
}

std::int32_t ModelCoefCount(const IsotriModel* model) {
    if (model == nullptr || model->ops == nullptr || model->ops->GetCoefCount == nullptr) {
        return 0;
    }
    return model->ops->GetCoefCount(model);
}

std::string ModelCoefLabel(const IsotriModel* model, std::int32_t index) {
    if (model == nullptr || model->ops == nullptr || model->ops->GetTerm == nullptr) {
        return {};
    }
    const IsotriTerm* term = model->ops->GetTerm(model, index);
    if (term == nullptr || term->ops == nullptr || term->ops->GetLabel == nullptr) {
        return {};
    }
    const char* label = term->ops->GetLabel(term);
    return label != nullptr ? std::string(label) : std::string();
}

void ModelEvaluate(const IsotriModel* model, const double* point, const std::vector<double>& coefs,
                   double* result) {
    static const double kNoCoefs[1] = {0};
    model->ops->Evaluate(model, point, coefs.empty() ? kNoCoefs : coefs.data(), result);
}

}  // namespace isotri
