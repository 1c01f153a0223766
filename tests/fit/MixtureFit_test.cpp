#include "fit/MixtureFit.h"

#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "common/Error.h"
#include "models/MathDef.h"
#include "support/RecordingMessageSink.h"

namespace isotri {
namespace {

const char* const kQuadratic = "Квадратичная модель Шеффе";

class MixtureFitTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(catalogue_.LoadModule(kDefaultModuleName)); }

    const IsotriModel* Find(const std::string& name) {
        const std::int32_t index = catalogue_.IndexOfModel(name);
        EXPECT_GE(index, 0) << name;
        return index >= 0 ? catalogue_.GetModel(index) : nullptr;
    }

    isotri::testing::RecordingMessageSink sink_;
    TMathDefinition catalogue_{sink_};
};

MeasuredPoint At(double a, double b, double c, double value = 0) {
    MeasuredPoint point;
    point.Mixture = {a, b, c};
    point.Value = value;
    return point;
}

// Mixtures i/d, j/d, k/d; `inner` leaves out the sides.
std::vector<MeasuredPoint> Lattice(int d, bool inner) {
    std::vector<MeasuredPoint> points;
    const int low = inner ? 1 : 0;
    for (int i = low; i <= d; ++i) {
        for (int j = low; i + j <= d; ++j) {
            const int k = d - i - j;
            if (k >= low) {
                points.push_back(At(double(i) / d, double(j) / d, double(k) / d));
                points.back().Line = static_cast<std::int64_t>(points.size()) + 1;
            }
        }
    }
    return points;
}

void SetValues(const IsotriModel* model, const std::vector<double>& coefs,
               std::vector<MeasuredPoint>& points) {
    for (MeasuredPoint& point : points) {
        model->ops->Evaluate(model, point.Mixture.data(), coefs.data(), &point.Value);
    }
}

std::string FitError(const IsotriModel* model, const std::vector<MeasuredPoint>& points) {
    try {
        FitMixtureModel(model, points);
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST_F(MixtureFitTest, ExactDataGivesTheModelsCoefficients) {
    for (std::int32_t m = 0; m < catalogue_.ModelCount(); ++m) {
        const IsotriModel* model = catalogue_.GetModel(m);
        SCOPED_TRACE(ModelName(model));
        if (ModelFactorCount(model) > 3) {
            continue;  // a fourth component that three-component data never vary
        }
        std::vector<double> coefs;
        for (std::int32_t k = 0; k < ModelCoefCount(model); ++k) {
            coefs.push_back((k % 2 == 0 ? 1.0 : -1.0) * (3.0 + 1.7 * k));
        }
        // Inner points keep inverse terms finite; 9 divisions give 28 of them.
        std::vector<MeasuredPoint> points = Lattice(9, true);
        SetValues(model, coefs, points);
        const FitResult fit = FitMixtureModel(model, points);
        ASSERT_EQ(fit.Coefficients.size(), coefs.size());
        for (std::size_t k = 0; k < coefs.size(); ++k) {
            EXPECT_NEAR(fit.Coefficients[k].Value, coefs[k], 1e-8 * std::fabs(coefs[k]))
                << fit.Coefficients[k].Label;
            EXPECT_EQ(fit.Coefficients[k].Label,
                      ModelCoefLabel(model, static_cast<std::int32_t>(k)));
        }
        EXPECT_NEAR(fit.R2, 1.0, 1e-12);
    }
}

// Quadratic Scheffé terms written out, for a reference apart from the module.
Eigen::RowVectorXd QuadraticTerms(const MeasuredPoint& p) {
    const double x1 = p.Mixture[0], x2 = p.Mixture[1], x3 = p.Mixture[2];
    Eigen::RowVectorXd row(6);
    row << x1, x2, x3, x1 * x2, x1 * x3, x2 * x3;
    return row;
}

TEST_F(MixtureFitTest, NoisyDataMatchesNormalEquations) {
    const IsotriModel* model = Find(kQuadratic);
    // Simplex-lattice {3,3} and inner points, each measured twice with noise.
    std::vector<MeasuredPoint> points;
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.8);
    const std::vector<double> truth = {10, 20, 15, 8, -6, 12};
    for (const MeasuredPoint& base : Lattice(3, false)) {
        for (const MeasuredPoint& p : {base, base}) {
            points.push_back(p);
            points.back().Line = static_cast<std::int64_t>(points.size()) + 1;
        }
    }
    for (const MeasuredPoint& p : Lattice(6, true)) {
        points.push_back(p);
    }
    SetValues(model, truth, points);
    for (MeasuredPoint& p : points) {
        p.Value += noise(random);
    }
    const FitResult fit = FitMixtureModel(model, points);

    const auto n = static_cast<Eigen::Index>(points.size());
    Eigen::MatrixXd x(n, 6);
    Eigen::VectorXd y(n);
    for (Eigen::Index i = 0; i < n; ++i) {
        x.row(i) = QuadraticTerms(points[static_cast<std::size_t>(i)]);
        y(i) = points[static_cast<std::size_t>(i)].Value;
    }
    const Eigen::MatrixXd xtxInverse = (x.transpose() * x).inverse();
    const Eigen::VectorXd b = xtxInverse * (x.transpose() * y);
    const Eigen::VectorXd e = y - x * b;
    const double sse = e.squaredNorm();
    const double sst = (y.array() - y.mean()).matrix().squaredNorm();
    const double s2 = sse / static_cast<double>(n - 6);
    double press = 0;
    double worst = 0;
    for (Eigen::Index i = 0; i < n; ++i) {
        const double h = x.row(i) * xtxInverse * x.row(i).transpose();
        press += std::pow(e(i) / (1 - h), 2);
        const double r = e(i) / std::sqrt(s2 * (1 - h));
        worst = std::fabs(r) > std::fabs(worst) ? r : worst;
    }

    for (std::size_t k = 0; k < 6; ++k) {
        const auto i = static_cast<Eigen::Index>(k);
        const double se = std::sqrt(s2 * xtxInverse(i, i));
        EXPECT_NEAR(fit.Coefficients[k].Value, b(i), 1e-9 * std::fabs(b(i)));
        EXPECT_NEAR(fit.Coefficients[k].StdErr, se, 1e-9 * se);
        EXPECT_NEAR(fit.Coefficients[k].T, b(i) / se, 1e-8 * std::fabs(b(i) / se));
    }
    EXPECT_EQ(fit.N, points.size());
    EXPECT_EQ(fit.P, 6u);
    EXPECT_NEAR(fit.R2, 1 - sse / sst, 1e-12);
    EXPECT_NEAR(fit.R2Adj, 1 - (sse / double(n - 6)) / (sst / double(n - 1)), 1e-12);
    EXPECT_NEAR(fit.R2Pred, 1 - press / sst, 1e-12);
    EXPECT_NEAR(fit.S, std::sqrt(s2), 1e-12);
    EXPECT_NEAR(fit.WorstStudentised, worst, 1e-9);
    for (Eigen::Index i = 0; i < n; ++i) {
        EXPECT_NEAR(fit.Residuals[static_cast<std::size_t>(i)], e(i), 1e-9);
    }
    // The fit is no accident of the noise: the truth lies within a few standard errors.
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_LT(std::fabs(fit.Coefficients[k].Value - truth[k]), 4 * fit.Coefficients[k].StdErr);
    }
}

struct DeficientCase {
    const char* name;
    const char* model;
    std::vector<MeasuredPoint> points;
    const char* labels;
};

TEST_F(MixtureFitTest, RankDeficiencyNamesTheCoefficients) {
    std::vector<MeasuredPoint> sides;
    for (const MeasuredPoint& p : Lattice(4, false)) {
        if (p.Mixture[0] * p.Mixture[1] * p.Mixture[2] == 0) {
            sides.push_back(p);
        }
    }
    std::vector<MeasuredPoint> edge12;
    std::vector<MeasuredPoint> diagonal;
    for (int i = 0; i <= 8; ++i) {
        edge12.push_back(At(i / 8.0, 1 - i / 8.0, 0));
        diagonal.push_back(At(i / 16.0, i / 16.0, 1 - i / 8.0));
    }
    std::vector<MeasuredPoint> edge12AndVertex3 = edge12;
    edge12AndVertex3.push_back(At(0, 0, 1));
    const std::vector<DeficientCase> cases = {
        {"one side only", kQuadratic, edge12, "b3, b13, b23 "},
        {"one side and the third vertex", kQuadratic, edge12AndVertex3, "b13, b23 "},
        {"x1 = x2 throughout", kQuadratic, diagonal, "b1, b2, b12, b13, b23 "},
        {"no inner point", "Специальная кубическая модель Шеффе", sides, "b123 "},
        {"a fourth component", "Квадратичная модель Шеффе для четырёх компонентов",
         Lattice(6, false), "b4, b14, b24, b34 "},
    };
    for (const DeficientCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string error = FitError(Find(c.model), c.points);
        EXPECT_NE(error.find(std::string("коэффициенты ") + c.labels + "модели"), std::string::npos)
            << error;
    }
}

TEST_F(MixtureFitTest, DesignsThatCannotBeFittedAreRefused) {
    const IsotriModel* quadratic = Find(kQuadratic);
    EXPECT_NE(FitError(quadratic, std::vector<MeasuredPoint>(5, At(0.2, 0.3, 0.5)))
                  .find("Опытов 5, а у модели"),
              std::string::npos);
    EXPECT_NE(
        FitError(quadratic, std::vector<MeasuredPoint>(8, At(0.2, 0.3, 0.5))).find("в одной смеси"),
        std::string::npos);
    std::vector<MeasuredPoint> withVertex = Lattice(6, true);
    withVertex.push_back(At(1, 0, 0));
    withVertex.back().Line = 40;
    EXPECT_NE(
        FitError(Find("Линейная модель Дрейпера - Сент-Джона с обратными членами"), withVertex)
            .find("строки 40 файла данных (член b-2)"),
        std::string::npos);
}

TEST_F(MixtureFitTest, ExactlyAsManyRowsAsCoefficientsLeavesStatisticsUndefined) {
    const IsotriModel* model = Find(kQuadratic);
    std::vector<MeasuredPoint> points = Lattice(2, false);
    SetValues(model, {1, 2, 3, 4, 5, 6}, points);
    const FitResult fit = FitMixtureModel(model, points);
    EXPECT_NEAR(fit.Coefficients[5].Value, 6, 1e-12);
    EXPECT_TRUE(std::isnan(fit.S));
    EXPECT_TRUE(std::isnan(fit.Coefficients[0].StdErr));
    EXPECT_TRUE(std::isnan(fit.R2Adj));
    EXPECT_TRUE(std::isnan(fit.R2Pred));
    EXPECT_TRUE(std::isnan(fit.WorstStudentised));
}

// exp(c1·x1) + c2·x2 + c3·x3: not linear in c1.
void Exponential(const IsotriModel*, const double* x, const double* c, double* result) {
    *result = std::exp(c[0] * x[0]) + c[1] * x[1] + c[2] * x[2];
}
// c1·x1 + c2·x2 + c3·x3 + 1: affine, not linear.
void Shifted(const IsotriModel*, const double* x, const double* c, double* result) {
    *result = c[0] * x[0] + c[1] * x[1] + c[2] * x[2] + 1;
}
const char* Name(const IsotriModel*) {
    return "Нелинейная";
}
std::int32_t Three(const IsotriModel*) {
    return 3;
}
const char* Label(const IsotriTerm*) {
    return "c";
}
const IsotriTermOps kTermOps = {nullptr, nullptr, Label};
const IsotriTerm kTerm = {&kTermOps};
const IsotriTerm* Term(const IsotriModel*, std::int32_t) {
    return &kTerm;
}
const IsotriModelOps kExponentialOps = {Name, Three, Three, Term, Exponential};
const IsotriModelOps kShiftedOps = {Name, Three, Three, Term, Shifted};
const IsotriModel kExponential = {&kExponentialOps};
const IsotriModel kShifted = {&kShiftedOps};

TEST_F(MixtureFitTest, OnlyModelsLinearInTheirCoefficientsAreFitted) {
    for (std::int32_t m = 0; m < catalogue_.ModelCount(); ++m) {
        EXPECT_TRUE(IsLinearInCoefficients(catalogue_.GetModel(m)))
            << ModelName(catalogue_.GetModel(m));
    }
    EXPECT_FALSE(IsLinearInCoefficients(&kExponential));
    EXPECT_FALSE(IsLinearInCoefficients(&kShifted));
    std::vector<MeasuredPoint> points = Lattice(4, false);
    SetValues(&kExponential, {1, 2, 3}, points);
    EXPECT_NE(FitError(&kExponential, points).find("«Нелинейная» не линейна по коэффициентам"),
              std::string::npos);
}

}  // namespace
}  // namespace isotri
