// An isoline set as JSON: the triangle's corners, the count of model evaluations, and per level
// its value, its label text and its pieces with their points, mixtures and label.
#pragma once

#include <cstdint>
#include <string>

#include "companion/zorb_lib.h"

namespace isotri::cli {

std::string IsolineSetJson(const TIsolineSet& set, std::int64_t evaluations);

}  // namespace isotri::cli
