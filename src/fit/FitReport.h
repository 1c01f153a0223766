// The fit's report for the console: Russian captions, numbers with the locale's separator.
#pragma once

#include <string>
#include <vector>

#include "common/NumberText.h"
#include "fit/DataTable.h"
#include "fit/MixtureFit.h"

namespace isotri {

// The report's lines, without line ends.
std::vector<std::string> FitReportLines(const FitData& data, const FitResult& fit,
                                        const NumberText& numbers);

// Prints the lines through the console print functions, at the information level.
void PrintFitReport(const FitData& data, const FitResult& fit, const NumberText& numbers);

}  // namespace isotri
