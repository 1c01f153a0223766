// An isoline set as JSON: the triangle's corners, the count of model evaluations, and per level
// its value, its label text and its pieces with their points, mixtures and label.
#pragma once

#include <cstdint>
#include <string>

#include "companion/zorb_lib.h"
#include "render/ExtremeMarks.h"

namespace isotri::cli {

// `extremes`: written as "extremes" {"min", "max"}, each with value, mixture and picture x, y;
// null writes null. `members`: further members of the object ("\"key\": value, ..."), or empty.
std::string IsolineSetJson(const TIsolineSet& set, std::int64_t evaluations,
                           const PlotExtremes* extremes, const std::string& members = {});

// Shortest text that reads back the same value; JSON has no infinities or NaN: null.
void JsonNumber(std::string& out, double value);
void JsonNumber(std::string& out, float value);
// A UTF-8 text in quotes, with quotes, backslashes and control characters escaped.
void JsonText(std::string& out, const char* text);

}  // namespace isotri::cli
