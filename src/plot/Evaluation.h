// The evaluation context of a plot: the model the generator evaluates with its coefficients, the
// evaluation count and the progress hook. The generator's callback carries no context of its
// own, so a generation makes its context the one EvalModelProc reaches while it runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "companion/zorb_lib.h"
#include "isotri/model_module.h"
#include "render/ExtremeMarks.h"

namespace isotri {

// What the progress hook answers; Stop asks the generation that is running to end early.
enum class ProgressAnswer { Go, Stop };

class EvaluationContext {
  public:
    static constexpr std::int32_t kEvalsPerPercent = 51;

    // Told the percent done whenever it changes, starting at 0 with the first evaluation.
    using ProgressHook = std::function<ProgressAnswer(int percent)>;
    // Called about every kBreathInterval while any generation runs, so that a window can take
    // its pending events.
    using BreathHook = std::function<ProgressAnswer()>;
    static constexpr std::chrono::milliseconds kBreathInterval{30};

    // The model dialog's accepted choice; `coefs` holds at least the model's coefficient count.
    void SetModel(const IsotriModel* model, std::vector<double> coefs);
    const IsotriModel* Model() const { return model_; }
    const std::vector<double>& Coefs() const { return coefs_; }

    // A single-model generation reports its progress here; an empty hook shows none.
    void SetProgressHook(ProgressHook hook) { progress_ = std::move(hook); }
    void SetBreathHook(BreathHook hook) { breath_ = std::move(hook); }

    // Evaluations of the generation that runs or ran last.
    std::int32_t EvalCount() const { return evalCount_; }
    // True once a hook answered Stop during the last generation. From then on every point of
    // that generation is NaN, without evaluating, so the generator ends soon.
    bool StopAsked() const { return stopAsked_; }
    // Lowest and highest finite value among the points of the last generation.
    const ExtremeTracker& Extremes() const { return extremes_; }
    // True when some evaluation of the last generation gave a finite value.
    bool FiniteValueSeen() const { return finiteSeen_; }

    // One point of the generation: the chosen model (NaN without one), or `other_` when the
    // generation evaluates another callback; counted either way.
    void Evaluate(const double* x1, const double* x2, const double* x3, double* result);

    // For the length of one generator call, EvalModelProc evaluates `context` (through `other`
    // when given, with no progress shown); the count starts at 0.
    class Generation {
      public:
        Generation(EvaluationContext& context, TEvalProc other);
        ~Generation();
        Generation(const Generation&) = delete;
        Generation& operator=(const Generation&) = delete;

      private:
        EvaluationContext& context_;
        EvaluationContext* previous_;
    };

  private:
    void Begin(TEvalProc other);
    void ReportProgress();
    void Breathe();

    const IsotriModel* model_ = nullptr;
    std::vector<double> coefs_;
    ProgressHook progress_;
    BreathHook breath_;
    std::chrono::steady_clock::time_point lastBreath_;
    TEvalProc other_ = nullptr;
    std::int32_t evalCount_ = 0;
    int shownPercent_ = -1;
    bool stopAsked_ = false;
    ExtremeTracker extremes_;
    bool finiteSeen_ = false;
};

}  // namespace isotri

// The callback every generation hands to the generator: evaluates the running generation's
// context, or gives NaN outside a generation.
void EvalModelProc(const double* x1, const double* x2, const double* x3, double* result);
