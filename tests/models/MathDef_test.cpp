#include "models/MathDef.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
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

const char* const kNotRegular = "Это не обычный файл.";

// A load failure is one line naming the file, then the reason on a second line.
std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}
std::string SecondLine(const std::string& text) {
    const std::size_t end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(end + 1);
}
std::vector<std::string> FirstLines(const std::vector<std::string>& messages) {
    std::vector<std::string> lines;
    for (const std::string& message : messages) {
        lines.push_back(FirstLine(message));
    }
    return lines;
}

std::vector<unsigned char> VersionBytes(std::uint16_t major, std::uint16_t minor) {
    std::vector<unsigned char> bytes(ISOTRI_VERSION_BLOCK_SIZE);
    IsotriFillVersionBlock(bytes.data(), major, minor);
    return bytes;
}

std::vector<unsigned char> VersionOf(const TMathDefinition& catalogue, std::int32_t module) {
    const std::span<const unsigned char> block = catalogue.VersionInfo(module);
    return {block.begin(), block.end()};
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

// An export of a module that the catalogue keeps loaded.
template <typename Fn>
Fn ModuleExport(const std::string& path, const char* name) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return nullptr;
    }
    auto fn = reinterpret_cast<Fn>(::dlsym(handle, name));
    ::dlclose(handle);
    return fn;
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
    EXPECT_EQ(VersionOf(catalogue, 0), VersionBytes(2, 7));
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
    std::vector<std::string> messages;  // first lines
    // Second line of a load failure: the loader's reason, which names the file, or this text.
    const char* reason = nullptr;
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
    EXPECT_EQ(FirstLines(sink.messages), c.messages);
    for (const std::string& message : sink.messages) {
        if (message.starts_with("Ошибка загрузки")) {
            const std::string second = SecondLine(message);
            if (c.reason != nullptr) {
                EXPECT_EQ(second, c.reason);
            } else {
                EXPECT_NE(second.find(c.file), std::string::npos) << second;
            }
        }
    }
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
                 {LoadError(kModules + "/dir_bad/folder" + kSuffix)},
                 kNotRegular},
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
        LoadCase{"HeaderAsCpp", Module("cpp_header"), true, 1, 0, 0, {}},
        LoadCase{"HeaderAsC11", kModules + "/c11/c_module" + kSuffix, true, 1, 3, 2, {}},
        LoadCase{"DeviceNeverOpened",
                 "/dev/zero",
                 false,
                 0,
                 0,
                 0,
                 {LoadError("/dev/zero")},
                 kNotRegular}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(MathDefTest, NullDescriptorGetsZeroValidOneGetsOne) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    ASSERT_TRUE(catalogue.LoadModule(Module("null_descriptor")));
    auto answer = ModuleExport<std::int32_t (*)(std::int32_t)>(Module("null_descriptor"),
                                                               "NullDescriptorAnswer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(0), 0);
    EXPECT_EQ(answer(1), 0);
    EXPECT_EQ(answer(2), 1);
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
    EXPECT_EQ(FirstLines(sink.messages),
              (std::vector<std::string>{LoadError(dir + "broken" + kSuffix),
                                        LoadError(dir + "folder" + kSuffix)}));
    EXPECT_EQ(SecondLine(sink.messages.back()), kNotRegular);
}

// A temporary folder, removed with what it holds.
class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "isotri-modules-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path = pattern;
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
};

// Opening a FIFO would block for ever: the scan must pass it over, also behind a link.
TEST(MathDefTest, DirectoryNeverOpensNonRegularEntries) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path + "/pipe" + kSuffix).c_str(), 0600), 0);
    std::filesystem::create_symlink(dir.path + "/pipe" + kSuffix, dir.path + "/to_pipe" + kSuffix);
    std::filesystem::create_symlink(Module("version_only"), dir.path + "/to_module" + kSuffix);
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    EXPECT_EQ(catalogue.LoadDirectory(dir.path), 2);
    EXPECT_EQ(catalogue.FileNames().back(), dir.path + "/to_module" + kSuffix);
    std::sort(sink.messages.begin(), sink.messages.end());
    ASSERT_EQ(sink.messages.size(), 2U);
    EXPECT_EQ(sink.messages[0], LoadError(dir.path + "/pipe" + kSuffix) + "\n" + kNotRegular);
    EXPECT_EQ(sink.messages[1], LoadError(dir.path + "/to_pipe" + kSuffix) + "\n" + kNotRegular);
}

// The module may fill all of a far larger block than the contract's; the first 8 bytes count.
TEST(MathDefTest, VersionBlockKeepsFirstBytesOfSloppyWrite) {
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    ASSERT_TRUE(catalogue.LoadModule(Module("sloppy_version")));
    ASSERT_TRUE(catalogue.LoadModule(kDefaultModuleName));
    EXPECT_EQ(VersionOf(catalogue, 0), std::vector<unsigned char>(8, 0xA5));
    EXPECT_EQ(VersionOf(catalogue, 1), VersionBytes(1, 0));
    EXPECT_TRUE(sink.messages.empty());
}

struct OfferedModel {
    const char* name;
    bool taken;
    std::string refusal;  // after "Модель ... не добавлена: "
};

TEST(MathDefTest, ModelsBreakingTheContractAreRefusedByName) {
    const std::string file = Module("contract_breach");
    const std::string module = "внешнего модуля \"" + file + "\" не добавлена: ";
    const std::vector<OfferedModel> offered = {
        {nullptr, false, "Модель " + module + "нет таблицы операций."},
        {"Без Evaluate", false, "Модель \"Без Evaluate\" " + module + "нет операции Evaluate."},
        {nullptr, false, "Модель " + module + "нет операции GetName."},
        {"Без GetTerm", false, "Модель \"Без GetTerm\" " + module + "нет операции GetTerm."},
        {"Факторов 0", true, ""},
        {"Факторов -7", true, ""},
        {"Факторов 1000", true, ""},
        {"Коэффициентов 0", true, ""},
        {"Коэффициентов 4096", true, ""},
        {"Коэффициентов 4097", false,
         "Модель \"Коэффициентов 4097\" " + module +
             "число коэффициентов 4097 вне диапазона от 0 до 4096."},
        {"Коэффициентов 2147483647", false,
         "Модель \"Коэффициентов 2147483647\" " + module +
             "число коэффициентов 2147483647 вне диапазона от 0 до 4096."},
        {"Коэффициентов -1", false,
         "Модель \"Коэффициентов -1\" " + module +
             "число коэффициентов -1 вне диапазона от 0 до 4096."},
        {"Последняя", true, ""},
    };
    RecordingSink sink;
    TMathDefinition catalogue(sink);
    ASSERT_TRUE(catalogue.LoadModule(file));
    auto answer = ModuleExport<std::int32_t (*)(std::int32_t)>(file, "ContractBreachAnswer");
    ASSERT_NE(answer, nullptr);
    std::vector<std::string> taken, refusals;
    for (std::size_t i = 0; i < offered.size(); ++i) {
        EXPECT_EQ(answer(static_cast<std::int32_t>(i)), offered[i].taken ? 1 : 0) << i;
        if (offered[i].taken) {
            taken.emplace_back(offered[i].name);
        } else {
            refusals.push_back(offered[i].refusal);
        }
    }
    EXPECT_EQ(ModelNames(catalogue), taken);
    EXPECT_EQ(sink.messages, refusals);
    // Any factor count is a model like another: it evaluates at the three components.
    const IsotriModel* model = catalogue.GetModel(catalogue.IndexOfModel("Факторов -7"));
    EXPECT_EQ(ModelFactorCount(model), -7);
    const double point[3] = {0.25, 0.5, 0.25};
    const double coef = 1;
    double result = 0;
    model->ops->Evaluate(model, point, &coef, &result);
    EXPECT_EQ(result, 0.25);
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
