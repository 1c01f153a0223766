#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "models/MathDef.h"

namespace isotri {
namespace {

class NoMessages : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view, MessageButtons) override {
        ADD_FAILURE() << text;
    }
};

class DefaultModuleTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(catalogue_.LoadModule(kDefaultModuleName)); }

    const IsotriModel* Find(const std::string& name) {
        const std::int32_t index = catalogue_.IndexOfModel(name);
        return index >= 0 ? catalogue_.GetModel(index) : nullptr;
    }

    NoMessages sink_;
    TMathDefinition catalogue_{sink_};
};

struct Evaluation {
    std::vector<double> point;
    std::vector<double> coefs;
    double expected;
};

struct ModelCase {
    const char* name;
    std::int32_t factors;
    const char* labels;
    std::vector<Evaluation> evaluations;
};

std::string Labels(const IsotriModel* model) {
    std::string joined;
    for (std::int32_t i = 0; i < ModelCoefCount(model); ++i) {
        joined += (i > 0 ? "," : "") + ModelCoefLabel(model, i);
    }
    return joined;
}

double Evaluate(const IsotriModel* model, const std::vector<double>& point,
                const std::vector<double>& coefs) {
    double result = std::numeric_limits<double>::quiet_NaN();
    model->ops->Evaluate(model, point.data(), coefs.data(), &result);
    return result;
}

const std::vector<double> kP = {0.5, 0.3, 0.2};
const double kThird = 1.0 / 3.0;
const double kInf = std::numeric_limits<double>::infinity();

const std::vector<ModelCase> kCases = {
    {"Линейная модель Шеффе", 3, "b1,b2,b3", {{kP, {1, 2, 3}, 1.7}}},
    {"Квадратичная модель Шеффе", 3, "b1,b2,b3,b12,b13,b23", {{kP, {1, 2, 3, 4, 5, 6}, 3.16}}},
    {"Специальная кубическая модель Шеффе",
     3,
     "b1,b2,b3,b12,b13,b23,b123",
     {{kP, {1, 2, 3, 4, 5, 6, 7}, 3.37}}},
    {"Полная кубическая модель Шеффе",
     3,
     "b1,b2,b3,b12,b13,b23,g12,g13,g23,b123",
     {{kP, {0, 0, 0, 0, 0, 0, 1, 2, 3, 4}, 0.228}}},
    {"Специальная модель Шеффе четвёртой степени",
     3,
     "b1,b2,b3,b12,b13,b23,b1123,b1223,b1233",
     {{kP, {0, 0, 0, 0, 0, 0, 1, 2, 3}, 0.051}}},
    {"Полная модель Шеффе четвёртой степени",
     3,
     "b1,b2,b3,b12,b13,b23,g12,g13,g23,d12,d13,d23,b1123,b1223,b1233",
     {{kP, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 10, 0, 0}, 0.1758},
      {{1, 0, 0}, {7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 7}}},
    {"Квадратичная модель Шеффе для двух компонентов", 2, "b1,b2,b12", {{kP, {1, 2, 4}, 1.7}}},
    {"Квадратичная модель Шеффе для четырёх компонентов",
     4,
     "b1,b2,b3,b4,b12,b13,b14,b23,b24,b34",
     {{kP, {1, 2, 3, 100, 4, 5, 100, 6, 100, 100}, 3.16}}},
    {"Однородная модель Беккера H1 (минимумы)",
     3,
     "b1,b2,b3,b12,b13,b23,b123",
     {{kP, {1, 1, 1, 1, 2, 3, 4}, 3.1}}},
    {"Однородная модель Беккера H2 (отношения)",
     3,
     "b1,b2,b3,b12,b13,b23,b123",
     {{kP, {0, 0, 0, 1, 1, 1, 1}, 0.3375 + 1.0 / 7.0}, {{1, 0, 0}, {1, 1, 1, 1, 1, 1, 1}, 1}}},
    {"Однородная модель Беккера H3 (корни)",
     3,
     "b1,b2,b3,b12,b13,b23,b123",
     {{{kThird, kThird, kThird}, {0, 0, 0, 1, 1, 1, 3}, 2},
      {{0.5, 0.5, 0}, {0, 0, 0, 1, 1, 1, 1}, 0.5}}},
    {"Линейная модель Дрейпера - Сент-Джона с обратными членами",
     3,
     "b1,b2,b3,b-1,b-2,b-3",
     {{kP, {1, 2, 3, 1, 0, 0}, 3.7},
      {{0, 0.5, 0.5}, {0, 0, 0, 1, 0, 0}, kInf},
      {{0, 0.5, 0.5}, {1, 1, 1, 0, 1, 0}, 3}}},
    {"Квадратичная модель Дрейпера - Сент-Джона с обратными членами",
     3,
     "b1,b2,b3,b12,b13,b23,b-1,b-2,b-3",
     {{kP, {1, 2, 3, 4, 5, 6, 0, 0, 2}, 13.16}}},
};

TEST_F(DefaultModuleTest, ModelsAtKnownPoints) {
    for (const ModelCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const IsotriModel* model = Find(c.name);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(ModelFactorCount(model), c.factors);
        EXPECT_EQ(Labels(model), c.labels);
        for (const Evaluation& e : c.evaluations) {
            ASSERT_EQ(static_cast<std::size_t>(ModelCoefCount(model)), e.coefs.size());
            const double value = Evaluate(model, e.point, e.coefs);
            if (std::isinf(e.expected)) {
                EXPECT_EQ(value, e.expected);
            } else {
                EXPECT_NEAR(value, e.expected, 1e-12);
            }
        }
    }
}

TEST_F(DefaultModuleTest, FiltersHaveSomethingToShowAndHide) {
    int scheffe = 0;
    int threeFactors = 0;
    for (std::int32_t i = 0; i < catalogue_.ModelCount(); ++i) {
        const IsotriModel* model = catalogue_.GetModel(i);
        scheffe += ModelName(model).find("еффе") != std::string::npos ? 1 : 0;
        threeFactors += ModelFactorCount(model) == 3 ? 1 : 0;
    }
    EXPECT_EQ(scheffe, 8);
    EXPECT_GT(threeFactors, 0);
    EXPECT_LT(threeFactors, catalogue_.ModelCount());
    EXPECT_EQ(catalogue_.ModelCount(), 13);
}

std::vector<const void*> gAddens;
std::int32_t Collect(const void* descriptor) {
    gAddens.push_back(descriptor);
    return 1;
}

// Each coefficient's term, valued alone, equals the model with that coefficient 1 and others 0;
// every term is offered once as an addend.
TEST_F(DefaultModuleTest, TermsMatchModelsAndAreTheAddends) {
    std::set<const void*> terms;
    for (std::int32_t i = 0; i < catalogue_.ModelCount(); ++i) {
        const IsotriModel* model = catalogue_.GetModel(i);
        SCOPED_TRACE(ModelName(model));
        const auto n = static_cast<std::size_t>(ModelCoefCount(model));
        for (std::size_t k = 0; k < n; ++k) {
            const IsotriTerm* term = model->ops->GetTerm(model, static_cast<std::int32_t>(k));
            ASSERT_NE(term, nullptr);
            terms.insert(term);
            std::vector<double> unit(n, 0.0);
            unit[k] = 1.0;
            EXPECT_NEAR(term->ops->GetValue(term, kP.data()), Evaluate(model, kP, unit), 1e-15)
                << term->ops->GetFullName(term);
            EXPECT_STRNE(term->ops->GetFullName(term), "");
        }
        EXPECT_EQ(model->ops->GetTerm(model, static_cast<std::int32_t>(n)), nullptr);
        EXPECT_EQ(model->ops->GetTerm(model, -1), nullptr);
    }
    EXPECT_EQ(catalogue_.AddendCount(), static_cast<std::int32_t>(terms.size()));

    const std::string path = std::string(ISOTRI_BIN_DIR) + "/" + kDefaultModuleName;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    auto enumerate = reinterpret_cast<IsotriEnumerateFn>(::dlsym(handle, "AddensEnumerate"));
    ASSERT_NE(enumerate, nullptr);
    gAddens.clear();
    enumerate(Collect);
    ::dlclose(handle);
    EXPECT_EQ(std::set<const void*>(gAddens.begin(), gAddens.end()), terms);
    EXPECT_EQ(gAddens.size(), terms.size());
}

}  // namespace
}  // namespace isotri
