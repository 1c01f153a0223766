#include "plot/Evaluation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "models/MathDef.h"

namespace isotri {

namespace {

// The callback has no context argument; the generator calls it on the thread of the generation.
thread_local EvaluationContext* running = nullptr;

}  // namespace

void EvaluationContext::SetModel(const IsotriModel* model, std::vector<double> coefs) {
    model_ = model;
    coefs_ = std::move(coefs);
}

void EvaluationContext::Begin(TEvalProc other) {
    other_ = other;
    evalCount_ = 0;
    shownPercent_ = -1;
    stopAsked_ = false;
    extremes_.Reset();
    finiteSeen_ = false;
    lastBreath_ = std::chrono::steady_clock::now();
}

void EvaluationContext::Evaluate(const double* x1, const double* x2, const double* x3,
                                 double* result) {
    if (stopAsked_) {
        *result = std::numeric_limits<double>::quiet_NaN();
    } else if (other_ != nullptr) {
        other_(x1, x2, x3, result);
    } else {
        const double point[3] = {*x1, *x2, *x3};
        if (model_ != nullptr) {
            ModelEvaluate(model_, point, coefs_, result);
        } else {
            *result = std::numeric_limits<double>::quiet_NaN();
        }
        ReportProgress();
    }
    extremes_.Track(*result, *x1, *x2, *x3);
    finiteSeen_ = finiteSeen_ || std::isfinite(*result);
    if (breath_ && !stopAsked_) {
        Breathe();
    }
    ++evalCount_;
}

void EvaluationContext::Breathe() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastBreath_ < kBreathInterval) {
        return;
    }
    if (breath_() == ProgressAnswer::Stop) {
        stopAsked_ = true;
    }
    // The time the hook took is not the generator's.
    lastBreath_ = std::chrono::steady_clock::now();
}

void EvaluationContext::ReportProgress() {
    // The generator may ask for more points than 100 per cent stands for.
    const int percent = std::min(evalCount_ / kEvalsPerPercent, 100);
    if (percent == shownPercent_) {
        return;
    }
    shownPercent_ = percent;
    if (progress_ && progress_(percent) == ProgressAnswer::Stop) {
        stopAsked_ = true;
    }
}

EvaluationContext::Generation::Generation(EvaluationContext& context, TEvalProc other)
    : context_(context), previous_(running) {
    context.Begin(other);
    running = &context;
}

EvaluationContext::Generation::~Generation() {
    context_.other_ = nullptr;
    running = previous_;
}

}  // namespace isotri

void EvalModelProc(const double* x1, const double* x2, const double* x3, double* result) {
    if (isotri::running != nullptr) {
        isotri::running->Evaluate(x1, x2, x3, result);
    } else {
        *result = std::numeric_limits<double>::quiet_NaN();
    }
}
