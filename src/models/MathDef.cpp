#include "models/MathDef.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fnmatch.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
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

// Nothing is lost when no catalogue is alive: the message still reaches the user.
void ShowInternal(const char* what) {
    const std::string text = std::string(kInternalError) + what;
    if (pDestSink != nullptr) {
        pDestSink->ShowMessage(text);
    } else {
        StderrMessageSink().ShowMessage(text, {}, MessageButtons::Ok);
    }
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
void* OpenModule(const std::string& fileName) {
    if (fileName.find('/') == std::string::npos) {
        const std::string path = FindProgramFile(fileName, kInstalledModuleFolder);
        if (!path.empty()) {
            return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        }
    }
    return ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
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
    void* handle = OpenModule(fileName);
    if (handle == nullptr) {
        sink_.ShowMessage("Ошибка загрузки внешнего модуля \"" + fileName + "\".");
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
    getVersion(_VersionInfos.back()->data());

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

}  // namespace isotri
