#include "models/MathDef.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/Error.h"

namespace isotri {
namespace {

const std::string kModules = ISOTRI_TEST_MODULE_DIR;
const std::string kSuffix = ISOTRI_MODULE_SUFFIX;

std::string Module(const std::string& name) {
    return kModules + "/" + name + kSuffix;
}

std::string LoadError(const std::string& name) {
    return "Ошибка загрузки внешнего модуля \"" + name + "\".";
}

class RecordingSink : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view, MessageButtons) override {
        messages.emplace_back(text);
    }
    std::vector<std::string> messages;
};

bool IsResident(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    ::dlclose(handle);
    return true;
}

std::vector<std::string> ModelNames(TMathDefinition& catalogue) {
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < catalogue.ModelCount(); ++i) {
        names.push_back(ModelName(catalogue.GetModel(i)));
    }
    return names;
}

TEST(MathDefTest, CModuleRecordedWithItsDescriptorsInOrder) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    ASSERT_TRUE(catalogue.LoadModule(Module("c_module")));
    EXPECT_EQ(catalogue.ModuleCount(), 1);
    EXPECT_EQ(catalogue.FileNames(), std::vector<std::string>{Module("c_module")});
    EXPECT_EQ(catalogue.AddendCount(), 3);
    EXPECT_EQ(ModelNames(catalogue),
              (std::vector<std::string>{"Модель C линейная", "Модель C двойная"}));
    const IsotriModel* model = catalogue.GetModel(0);
    EXPECT_EQ(ModelFactorCount(model), 3);
    EXPECT_EQ(ModelCoefCount(model), 3);
    EXPECT_EQ(ModelCoefLabel(model, 0), "a1");
    EXPECT_EQ(ModelCoefLabel(model, 2), "a3");
    EXPECT_EQ(ModelCoefLabel(model, 3), "");  // the module answers null past the end
    EXPECT_EQ(ModelFactorCount(catalogue.GetModel(1)), 2);
    const double point[3] = {0.5, 0.25, 0.25};
    const double coefs[3] = {2, 4, 8};
    double result = 0;
    model->ops->Evaluate(model, point, coefs, &result);
    EXPECT_DOUBLE_EQ(result, 4.0);
    EXPECT_TRUE(sink.messages.empty());
}

struct LoadCase {
    const char* name;
    std::string file;
    bool loaded;
    std::int32_t modules, addens, models;
    std::vector<std::string> messages;
};

class MathDefLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(MathDefLoad, AnswersAsExpected) {
    const LoadCase& c = GetParam();
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    EXPECT_EQ(catalogue.LoadModule(c.file), c.loaded);
    EXPECT_EQ(catalogue.ModuleCount(), c.modules);
    EXPECT_EQ(catalogue.FileNames().size(), static_cast<std::size_t>(c.modules));
    EXPECT_EQ(catalogue.AddendCount(), c.addens);
    EXPECT_EQ(catalogue.ModelCount(), c.models);
    EXPECT_EQ(sink.messages, c.messages);
}

const char* const kAddenNil = "Внутренняя ошибка: EnumAddenProc: pDestList = nil";
const char* const kModelNil = "Внутренняя ошибка: EnumModelProc: pDestList = nil";
const char* const kGenNil = "Внутренняя ошибка: EnumGenProc: pDestList = nil";

INSTANTIATE_TEST_SUITE_P(
    Cases, MathDefLoad,
    ::testing::Values(
        LoadCase{"MissingFile", Module("missing"), false, 0, 0, 0, {LoadError(Module("missing"))}},
        LoadCase{"TextFile",
                 kModules + "/dir_bad/broken" + kSuffix,
                 false,
                 0,
                 0,
                 0,
                 {LoadError(kModules + "/dir_bad/broken" + kSuffix)}},
        LoadCase{"Directory",
                 kModules + "/dir_bad/folder" + kSuffix,
                 false,
                 0,
                 0,
                 0,
                 {LoadError(kModules + "/dir_bad/folder" + kSuffix)}},
        LoadCase{"BareNameNowhere",
                 "no_such_module.so",
                 false,
                 0,
                 0,
                 0,
                 {LoadError("no_such_module.so")}},
        // Not beside the executable: the loader's search finds it; no version export, no record.
        LoadCase{"BareNameThroughLoaderSearch", "libm.so.6", false, 0, 0, 0, {}},
        LoadCase{"VersionOnly", Module("version_only"), true, 1, 0, 0, {}},
        LoadCase{"NoVersionSilentlySkipped", Module("no_version"), false, 0, 0, 0, {}},
        LoadCase{"NullDescriptorsRefused",
                 Module("null_descriptor"),
                 true,
                 1,
                 0,
                 1,
                 {kAddenNil, kModelNil}},
        LoadCase{"HeaderAsCpp", Module("cpp_header"), true, 1, 0, 0, {}}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(MathDefTest, NullDescriptorGetsZeroValidOneGetsOne) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    ASSERT_TRUE(catalogue.LoadModule(Module("null_descriptor")));
    void* handle = ::dlopen(Module("null_descriptor").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    using AnswerFn = std::int32_t (*)(std::int32_t);
    auto answer = reinterpret_cast<AnswerFn>(::dlsym(handle, "NullDescriptorAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(0), 0);
    EXPECT_EQ(answer(1), 0);
    EXPECT_EQ(answer(2), 1);
    ::dlclose(handle);
    EXPECT_EQ(ModelName(catalogue.GetModel(0)), "Модель после пустой");
}

TEST(MathDefTest, ModuleWithoutVersionIsUnloadedAtOnce) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    EXPECT_FALSE(catalogue.LoadModule(Module("no_version")));
    EXPECT_FALSE(IsResident(Module("no_version")));
}

TEST(MathDefTest, DestroyClosesEveryRecordOnce) {
    RecordingSink sink;
    {
        TMathDefinition catalogue(sink);
        ASSERT_TRUE(catalogue.LoadModule(Module("version_only")));
        ASSERT_TRUE(catalogue.LoadModule(Module("version_only")));
        EXPECT_EQ(catalogue.ModuleCount(), 2);
        EXPECT_TRUE(IsResident(Module("version_only")));
    }
    EXPECT_FALSE(IsResident(Module("version_only")));
}

TEST(MathDefTest, CallbacksWithoutListRefuseAndReport) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    const int descriptor = 0;
    EXPECT_EQ(TMathDefinition::EnumAddenProc(&descriptor), 0);
    EXPECT_EQ(TMathDefinition::EnumModelProc(&descriptor), 0);
    EXPECT_EQ(TMathDefinition::EnumGenProc(&descriptor), 0);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{kAddenNil, kModelNil, kGenNil}));
    EXPECT_EQ(catalogue.AddendCount() + catalogue.ModelCount(), 0);
}

// Modules and models that the default module alone brings.
struct Baseline {
    std::int32_t models;
    std::vector<std::string> names;
};

Baseline DefaultOnly() {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    EXPECT_TRUE(catalogue.LoadModule(kDefaultModuleName));
    return {catalogue.ModelCount(), ModelNames(catalogue)};
}

TEST(MathDefTest, DirectoryWithoutModulesStillLoadsDefault) {
    for (const std::string& dir : {kModules + "/dir_empty", kModules + "/no_such_dir"}) {
        RecordingSink sink;
        TMathDefinition catalogue(sink);
        EXPECT_EQ(catalogue.LoadDirectory(dir), 1) << dir;
        EXPECT_EQ(catalogue.FileNames(), std::vector<std::string>{kDefaultModuleName});
        EXPECT_EQ(catalogue.ModelCount(), DefaultOnly().models);
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST(MathDefTest, DirectorySkipsExactDefaultNameOnly) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    const std::string dir = kModules + "/dir_mixed";
    EXPECT_EQ(catalogue.LoadDirectory(dir), 3);
    EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
    std::vector<std::string> files = catalogue.FileNames();
    ASSERT_EQ(files.size(), 3U);
    EXPECT_EQ(files.front(), kDefaultModuleName);
    std::sort(files.begin() + 1, files.end());
    EXPECT_EQ(files[1], dir + "/Default" + kSuffix);
    EXPECT_EQ(files[2], dir + "/c_module" + kSuffix);
    const Baseline base = DefaultOnly();
    EXPECT_EQ(catalogue.ModelCount(), base.models + 4);
    EXPECT_GE(catalogue.IndexOfModel("Модель Default линейная"), base.models);
    EXPECT_GE(catalogue.IndexOfModel("Модель каталога двойная"), base.models);
}

TEST(MathDefTest, DirectoryReportsBadEntriesAndGoesOn) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    const std::string dir = kModules + "/dir_bad/";  // a trailing separator is not doubled
    EXPECT_EQ(catalogue.LoadDirectory(dir), 1);
    std::sort(sink.messages.begin(), sink.messages.end());
    EXPECT_EQ(sink.messages, (std::vector<std::string>{LoadError(dir + "broken" + kSuffix),
                                                       LoadError(dir + "folder" + kSuffix)}));
}

TEST(MathDefTest, SecondLoadOfDirectoryRecordsEverythingAgain) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    const std::string dir = kModules + "/dir_mixed";
    EXPECT_EQ(catalogue.LoadDirectory(dir), 3);
    const std::int32_t first = catalogue.ModelCount();
    const std::int32_t addens = catalogue.AddendCount();
    EXPECT_EQ(catalogue.LoadDirectory(dir), 6);
    EXPECT_EQ(catalogue.ModelCount(), 2 * first);
    EXPECT_EQ(catalogue.AddendCount(), 2 * addens);
    const std::int32_t index = catalogue.IndexOfModel("Модель каталога линейная");
    ASSERT_GE(index, 0);
    EXPECT_LT(index, first);
    EXPECT_EQ(ModelName(catalogue.GetModel(index + first)), "Модель каталога линейная");
}

TEST(MathDefTest, IndexOfModelIsByteWise) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    ASSERT_TRUE(catalogue.LoadModule(Module("c_module")));
    EXPECT_EQ(catalogue.IndexOfModel("Модель C двойная"), 1);
    EXPECT_EQ(catalogue.IndexOfModel("модель C двойная"), -1);
    EXPECT_EQ(catalogue.IndexOfModel("Модель c двойная"), -1);
    EXPECT_EQ(catalogue.IndexOfModel("Модель C двойная "), -1);
    EXPECT_EQ(catalogue.IndexOfModel(""), -1);
    EXPECT_TRUE(sink.messages.empty());
}

TEST(MathDefTest, GetModelOutOfRange) {
    const std::string kIndexMessage = "Внутренняя ошибка: Index > _Models.Count";
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    EXPECT_THROW(catalogue.GetModel(0), Error);
    EXPECT_EQ(sink.messages, std::vector<std::string>{kIndexMessage});

    ASSERT_TRUE(catalogue.LoadModule(Module("c_module")));
    sink.messages.clear();
    EXPECT_EQ(catalogue.GetModel(1), catalogue.GetModel(1));
    EXPECT_NE(catalogue.GetModel(1), catalogue.GetModel(0));
    EXPECT_EQ(catalogue.GetModel(2), catalogue.GetModel(0));
    EXPECT_EQ(catalogue.GetModel(1000), catalogue.GetModel(0));
    EXPECT_EQ(sink.messages, std::vector<std::string>(2, kIndexMessage));
    sink.messages.clear();
    EXPECT_THROW(catalogue.GetModel(-1), Error);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(catalogue.ModelCount(), 2);
}

TEST(MathDefTest, ReadersTolerateBrokenDescriptors) {
    const IsotriModel noTable{nullptr};
    EXPECT_EQ(ModelName(&noTable), "");
    EXPECT_EQ(ModelFactorCount(&noTable), 0);
    EXPECT_EQ(ModelCoefCount(nullptr), 0);
    EXPECT_EQ(ModelCoefLabel(&noTable, 0), "");
}

}  // namespace
}  // namespace isotri
