#include "batch/BatchReadout.h"

#include <cmath>

#include "batch/CombinedModel.h"

namespace isotri {

PointValue BatchValueAt(const std::vector<TBatchEntry>& entries,
                        const std::array<double, 3>& point) {
    PointValue reading;
    double product = 1;
    double weightSum = 0;
    for (const TBatchEntry& entry : entries) {
        double value = 0;
        entry.Model->ops->Evaluate(entry.Model, point.data(), entry.Coefs.data(), &value);
        if (!entry.Combined) {
            return {value, {}};
        }
        const double d = Desirability(entry, value);
        reading.desirabilities.push_back(d);
        weightSum += entry.Weight;
        product *= entry.Weight == 0 ? 1.0 : std::pow(d, entry.Weight);
    }
    reading.value = std::pow(product, 1 / weightSum);
    return reading;
}

}  // namespace isotri
