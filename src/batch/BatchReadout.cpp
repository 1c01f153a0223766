#include "batch/BatchReadout.h"

#include "batch/CombinedModel.h"

namespace isotri {

PointValue BatchValueAt(const std::vector<TBatchEntry>& entries,
                        const std::array<double, 3>& point) {
    PointValue reading;
    reading.value = CombinedValue(entries, point.data(), &reading.desirabilities);
    return reading;
}

}  // namespace isotri
