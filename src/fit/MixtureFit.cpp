#include "fit/MixtureFit.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "common/Error.h"
#include "models/MathDef.h"

namespace isotri {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kLinearityTolerance = 1e-9;
// A pivot of the unit-scaled design below this share of the largest counts as zero.
constexpr double kRankThreshold = 1e-9;
// A null-space entry below this share of the vector's largest is rounding, not a coefficient.
constexpr double kNullShare = 1e-6;
// Leverage this close to 1: the row alone decides the fit there, so its residual says nothing.
constexpr double kLeverageOne = 1e-10;

// Inside the triangle, away from the sides where inverse terms are undefined.
constexpr double kInnerMixtures[][3] = {{0.2, 0.3, 0.5},
                                        {0.6, 0.25, 0.15},
                                        {1.0 / 3, 1.0 / 3, 1.0 / 3},
                                        {0.1, 0.7, 0.2},
                                        {0.45, 0.1, 0.45}};

double Evaluate(const IsotriModel* model, const double* point, const std::vector<double>& coefs) {
    double result = kNaN;
    ModelEvaluate(model, point, coefs, &result);
    return result;
}

// The model at each unit coefficient vector: a row of the design matrix. `unit` is all zeros
// on entry and on return.
void DesignRow(const IsotriModel* model, const double* point, std::vector<double>& unit,
               Eigen::Ref<Eigen::RowVectorXd, 0, Eigen::InnerStride<>> row) {
    for (std::size_t k = 0; k < unit.size(); ++k) {
        unit[k] = 1;
        row(static_cast<Eigen::Index>(k)) = Evaluate(model, point, unit);
        unit[k] = 0;
    }
}

std::string JoinLabels(const std::vector<std::string>& labels) {
    std::string joined;
    for (const std::string& label : labels) {
        joined += (joined.empty() ? "" : ", ") + label;
    }
    return joined;
}

std::string ModelQuoted(const IsotriModel* model) {
    return "«" + ModelName(model) + "»";
}

// Coefficients that some vector of the design's null space moves: the data cannot tell them
// apart from a mix of the others.
template <typename Qr>
std::vector<std::size_t> InseparableCoefficients(const Qr& qr, Eigen::Index rank) {
    const Eigen::Index p = qr.cols();
    const Eigen::MatrixXd r =
        qr.matrixR().topLeftCorner(p, p).template triangularView<Eigen::Upper>();
    const Eigen::MatrixXd basis = r.topLeftCorner(rank, rank)
                                      .template triangularView<Eigen::Upper>()
                                      .solve(r.topRightCorner(rank, p - rank));
    std::vector<bool> moved(static_cast<std::size_t>(p), false);
    for (Eigen::Index v = 0; v < p - rank; ++v) {
        // The null vector in pivoted order is (-basis.col(v), e_v).
        const double largest = std::max(1.0, basis.col(v).cwiseAbs().maxCoeff());
        for (Eigen::Index j = 0; j < p; ++j) {
            const double entry = j < rank ? basis(j, v) : (j - rank == v ? 1.0 : 0.0);
            if (std::fabs(entry) > kNullShare * largest) {
                moved[static_cast<std::size_t>(qr.colsPermutation().indices()(j))] = true;
            }
        }
    }
    std::vector<std::size_t> result;
    for (std::size_t k = 0; k < moved.size(); ++k) {
        if (moved[k]) {
            result.push_back(k);
        }
    }
    return result;
}

bool SameMixture(const MeasuredPoint& a, const MeasuredPoint& b) {
    for (std::size_t k = 0; k < 3; ++k) {
        if (std::fabs(a.Mixture[k] - b.Mixture[k]) > 1e-12) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<double> FitResult::Values() const {
    std::vector<double> values;
    for (const FitCoefficient& c : Coefficients) {
        values.push_back(c.Value);
    }
    return values;
}

bool IsLinearInCoefficients(const IsotriModel* model) {
    const std::int32_t count = ModelCoefCount(model);
    if (count < 1) {
        return false;
    }
    const auto p = static_cast<std::size_t>(count);
    std::mt19937_64 random(16);
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    std::vector<double> u(p);
    std::vector<double> v(p);
    std::vector<double> w(p);
    for (const auto& mixture : kInnerMixtures) {
        for (double& c : u) {
            c = coefficient(random);
        }
        for (double& c : v) {
            c = coefficient(random);
        }
        // a + b is not 1, so a constant added to the model shows too.
        const double a = coefficient(random) + 3.0;
        const double b = coefficient(random) - 3.0;
        for (std::size_t k = 0; k < p; ++k) {
            w[k] = a * u[k] + b * v[k];
        }
        const double fu = Evaluate(model, mixture, u);
        const double fv = Evaluate(model, mixture, v);
        const double fw = Evaluate(model, mixture, w);
        if (!std::isfinite(fu) || !std::isfinite(fv) || !std::isfinite(fw)) {
            return false;
        }
        const double expected = a * fu + b * fv;
        const double scale = std::fabs(a * fu) + std::fabs(b * fv) + std::fabs(fw);
        if (std::fabs(fw - expected) > kLinearityTolerance * scale) {
            return false;
        }
    }
    return true;
}

FitResult FitMixtureModel(const IsotriModel* model, const std::vector<MeasuredPoint>& points) {
    if (!IsLinearInCoefficients(model)) {
        throw Error("Модель " + ModelQuoted(model) +
                    " не линейна по коэффициентам: по данным подгоняются только линейные по "
                    "коэффициентам модели (Шеффе, Беккера, Дрейпера - Сент-Джона).");
    }
    const auto p = static_cast<std::size_t>(ModelCoefCount(model));
    const std::size_t n = points.size();
    std::vector<std::string> labels;
    for (std::size_t k = 0; k < p; ++k) {
        labels.push_back(ModelCoefLabel(model, static_cast<std::int32_t>(k)));
    }
    if (n < p) {
        throw Error("Опытов " + std::to_string(n) + ", а у модели " + ModelQuoted(model) + " " +
                    std::to_string(p) + " коэффициентов: опытов должно быть не меньше.");
    }
    if (p > 1 && std::all_of(points.begin(), points.end(), [&](const MeasuredPoint& point) {
            return SameMixture(point, points.front());
        })) {
        throw Error("Все опыты поставлены в одной смеси: модель по ним не подогнать.");
    }

    const auto rows = static_cast<Eigen::Index>(n);
    const auto cols = static_cast<Eigen::Index>(p);
    Eigen::MatrixXd design(rows, cols);
    Eigen::VectorXd response(rows);
    std::vector<double> unit(p, 0.0);
    for (Eigen::Index i = 0; i < rows; ++i) {
        const MeasuredPoint& point = points[static_cast<std::size_t>(i)];
        DesignRow(model, point.Mixture.data(), unit, design.row(i));
        for (Eigen::Index k = 0; k < cols; ++k) {
            if (!std::isfinite(design(i, k))) {
                throw Error("Модель " + ModelQuoted(model) + " не определена в смеси строки " +
                            std::to_string(point.Line) + " файла данных (член " +
                            labels[static_cast<std::size_t>(k)] + ").");
            }
        }
        response(i) = point.Value;
    }
    // Unit columns make the rank threshold and the pivoting blind to the terms' scales.
    Eigen::VectorXd scale = design.colwise().norm().transpose();
    for (Eigen::Index k = 0; k < cols; ++k) {
        if (!std::isfinite(scale(k))) {
            throw Error("Значения члена " + labels[static_cast<std::size_t>(k)] +
                        " в опытах слишком велики для подгонки.");
        }
        if (scale(k) == 0) {
            scale(k) = 1;
        }
        design.col(k) /= scale(k);
    }

    Eigen::ColPivHouseholderQR<Eigen::Ref<Eigen::MatrixXd>> qr(design);
    qr.setThreshold(kRankThreshold);
    const Eigen::Index rank = qr.rank();
    if (rank < cols) {
        std::vector<std::string> inseparable;
        for (const std::size_t k : InseparableCoefficients(qr, rank)) {
            inseparable.push_back(labels[k]);
        }
        throw Error("Данные не разделяют коэффициенты " + JoinLabels(inseparable) + " модели " +
                    ModelQuoted(model) + " (ранг плана " + std::to_string(rank) + " из " +
                    std::to_string(p) + "): нужны опыты в смесях, где их члены " + "различаются.");
    }
    const Eigen::VectorXd scaledCoefs = qr.solve(response);
    const Eigen::VectorXd coefs = scaledCoefs.cwiseQuotient(scale);
    if (!coefs.allFinite()) {
        throw Error("Значения отклика слишком велики для подгонки.");
    }

    const Eigen::MatrixXd rInverse = qr.matrixR()
                                         .topLeftCorner(cols, cols)
                                         .triangularView<Eigen::Upper>()
                                         .solve(Eigen::MatrixXd::Identity(cols, cols));
    const auto& permutation = qr.colsPermutation().indices();

    FitResult fit;
    fit.ModelName = ModelName(model);
    fit.N = n;
    fit.P = p;
    fit.Fitted.resize(n);
    fit.Residuals.resize(n);
    std::vector<double> leverage(n);
    Eigen::RowVectorXd row(cols);
    Eigen::VectorXd pivoted(cols);
    double mean = 0;
    for (const MeasuredPoint& point : points) {
        mean += point.Value / static_cast<double>(n);
    }
    double sse = 0;
    double sst = 0;
    for (std::size_t i = 0; i < n; ++i) {
        DesignRow(model, points[i].Mixture.data(), unit, row);
        fit.Fitted[i] = row.dot(coefs);
        fit.Residuals[i] = points[i].Value - fit.Fitted[i];
        for (Eigen::Index j = 0; j < cols; ++j) {
            pivoted(j) = row(permutation(j)) / scale(permutation(j));
        }
        leverage[i] = (rInverse.transpose() * pivoted).squaredNorm();
        sse += fit.Residuals[i] * fit.Residuals[i];
        sst += (points[i].Value - mean) * (points[i].Value - mean);
    }
    if (!std::isfinite(sse) || !std::isfinite(sst)) {
        throw Error("Значения отклика слишком велики для подгонки.");
    }

    const double df = static_cast<double>(n) - static_cast<double>(p);
    fit.S = df > 0 ? std::sqrt(sse / df) : kNaN;
    fit.R2 = sst > 0 ? 1 - sse / sst : kNaN;
    fit.R2Adj = sst > 0 && df > 0 ? 1 - (sse / df) / (sst / static_cast<double>(n - 1)) : kNaN;
    double press = 0;
    double worst = -1;
    fit.WorstStudentised = kNaN;
    for (std::size_t i = 0; i < n; ++i) {
        const double free = 1 - leverage[i];
        if (free < kLeverageOne) {
            press = kNaN;
            continue;
        }
        press += std::pow(fit.Residuals[i] / free, 2);
        const double studentised = fit.Residuals[i] / (fit.S * std::sqrt(free));
        if (std::isfinite(studentised) && std::fabs(studentised) > worst) {
            worst = std::fabs(studentised);
            fit.WorstPoint = i;
            fit.WorstStudentised = studentised;
        }
    }
    fit.R2Pred = sst > 0 ? 1 - press / sst : kNaN;

    fit.Coefficients.resize(p);
    for (Eigen::Index j = 0; j < cols; ++j) {
        const auto k = static_cast<std::size_t>(permutation(j));
        FitCoefficient& c = fit.Coefficients[k];
        c.Label = labels[k];
        c.Value = coefs(permutation(j));
        c.StdErr = fit.S * rInverse.row(j).norm() / scale(permutation(j));
        c.T = c.Value / c.StdErr;
    }
    return fit;
}

}  // namespace isotri
