#include "support/FakeModels.h"

#include <array>
#include <limits>
#include <numeric>

namespace isotri::test {

int gFakeEvaluations = 0;

namespace {

template <int Count>
struct Fake {
    static std::int32_t Factors(const IsotriModel*) { return 3; }
    static std::int32_t Coefs(const IsotriModel*) { return Count; }
    static const IsotriTerm* Term(const IsotriModel*, std::int32_t) { return nullptr; }
};

const char* LinearName(const IsotriModel*) {
    return "M";
}
void LinearEval(const IsotriModel*, const double* x, const double* c, double* r) {
    ++gFakeEvaluations;
    *r = c[0] * x[0] + c[1] * x[1];
}

const char* ConstantName(const IsotriModel*) {
    return "C";
}
void ConstantEval(const IsotriModel*, const double*, const double* c, double* r) {
    ++gFakeEvaluations;
    *r = c[0];
}

const char* WideName(const IsotriModel*) {
    return "Wide";
}
void WideEval(const IsotriModel*, const double*, const double* c, double* r) {
    ++gFakeEvaluations;
    *r = std::accumulate(c, c + 200, 0.0);
}

const char* QuadraticName(const IsotriModel*) {
    return "Квадратичная модель";
}
void QuadraticEval(const IsotriModel*, const double* x, const double* c, double* r) {
    ++gFakeEvaluations;
    *r = c[0] * x[0] + c[1] * x[1] + c[2] * x[2] + c[3] * x[0] * x[1] + c[4] * x[0] * x[2] +
         c[5] * x[1] * x[2];
}

const char* NoCoefsName(const IsotriModel*) {
    return "Z";
}
void NoCoefsEval(const IsotriModel*, const double* x, const double* c, double* r) {
    ++gFakeEvaluations;
    *r = c != nullptr ? x[0] : std::numeric_limits<double>::quiet_NaN();
}

const IsotriModelOps kLinearOps{LinearName, Fake<2>::Factors, Fake<2>::Coefs, Fake<2>::Term,
                                LinearEval};
const IsotriModelOps kConstantOps{ConstantName, Fake<1>::Factors, Fake<1>::Coefs, Fake<1>::Term,
                                  ConstantEval};
const IsotriModelOps kWideOps{WideName, Fake<200>::Factors, Fake<200>::Coefs, Fake<200>::Term,
                              WideEval};
const IsotriModelOps kQuadraticOps{QuadraticName, Fake<6>::Factors, Fake<6>::Coefs, Fake<6>::Term,
                                   QuadraticEval};
const IsotriModelOps kNoCoefsOps{NoCoefsName, Fake<0>::Factors, Fake<0>::Coefs, Fake<0>::Term,
                                 NoCoefsEval};

}  // namespace

const IsotriModel kLinearModel{&kLinearOps};
const IsotriModel kConstantModel{&kConstantOps};
const IsotriModel kWideModel{&kWideOps};
const IsotriModel kQuadraticModel{&kQuadraticOps};
const IsotriModel kNoCoefsModel{&kNoCoefsOps};

const IsotriModel* FindFakeModel(std::string_view name) {
    for (const IsotriModel* model :
         {&kLinearModel, &kConstantModel, &kWideModel, &kQuadraticModel, &kNoCoefsModel}) {
        if (name == model->ops->GetName(model)) {
            return model;
        }
    }
    return nullptr;
}

}  // namespace isotri::test
