#include "cli/IsolineJson.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "companion/LevelLabels.h"

namespace isotri::cli {

namespace {

template <class T>
void AppendNumber(std::string& out, T value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace

void JsonNumber(std::string& out, double value) {
    AppendNumber(out, value);
}

void JsonNumber(std::string& out, float value) {
    AppendNumber(out, value);
}

void JsonText(std::string& out, const char* text) {
    out += '"';
    for (const char* c = text; *c != '\0'; ++c) {
        unsigned char ch = static_cast<unsigned char>(*c);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += *c;
        } else if (ch < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", ch);
            out += escaped;
        } else {
            out += *c;
        }
    }
    out += '"';
}

namespace {

void Point(std::string& out, float x, float y) {
    out += '[';
    JsonNumber(out, x);
    out += ", ";
    JsonNumber(out, y);
    out += ']';
}

void Piece(std::string& out, const TIsolineLevel& level, std::int32_t j) {
    const std::int32_t* index = level.PolylineIndexes[j];
    out += "{\"points\": [";
    for (std::int32_t k = 0; k < level.PolylineLengths[j]; ++k) {
        out += k > 0 ? ", " : "";
        Point(out, level.Points[index[k]].X, level.Points[index[k]].Y);
    }
    out += "], \"mixture\": [";
    for (std::int32_t k = 0; k < level.PolylineLengths[j]; ++k) {
        out += k > 0 ? ", [" : "[";
        for (int c = 0; c < 3; ++c) {
            out += c > 0 ? ", " : "";
            JsonNumber(out, level.Mixtures != nullptr ? level.Mixtures[3 * index[k] + c] : NAN);
        }
        out += ']';
    }
    const TLevelLabel& label = level.Labels[j];
    out += "], \"label\": {\"x\": ";
    JsonNumber(out, label.X);
    out += ", \"y\": ";
    JsonNumber(out, label.Y);
    out += (label.Flags & kNoLabel) != 0 ? ", \"noLabel\": true}}" : ", \"noLabel\": false}}";
}

void Extreme(std::string& out, const ExtremePoint& point) {
    out += "{\"value\": ";
    JsonNumber(out, point.value);
    out += ", \"mixture\": [";
    for (int c = 0; c < 3; ++c) {
        out += c > 0 ? ", " : "";
        JsonNumber(out, point.mixture[c]);
    }
    out += "], \"x\": ";
    JsonNumber(out, point.x);
    out += ", \"y\": ";
    JsonNumber(out, point.y);
    out += '}';
}

void Extremes(std::string& out, const PlotExtremes* extremes) {
    out += ", \"extremes\": ";
    if (extremes == nullptr) {
        out += "null";
        return;
    }
    out += "{\"min\": ";
    Extreme(out, extremes->min);
    out += ", \"max\": ";
    Extreme(out, extremes->max);
    out += '}';
}

}  // namespace

std::string IsolineSetJson(const TIsolineSet& set, std::int64_t evaluations,
                           const PlotExtremes* extremes, const std::string& members) {
    std::string out = "{\"vertices\": [";
    for (int k = 0; k < 3; ++k) {
        out += k > 0 ? ", " : "";
        Point(out, set.Vertices[k].X, set.Vertices[k].Y);
    }
    out += "], \"evaluations\": " + std::to_string(evaluations);
    Extremes(out, extremes);
    out += ", \"levels\": [";
    for (std::int32_t k = 0; set.Levels != nullptr && k < set.LevelCount; ++k) {
        const TIsolineLevel& level = *set.Levels[k];
        out += k > 0 ? ",\n  " : "\n  ";
        out += "{\"value\": ";
        JsonNumber(out, level.Value);
        out += ", \"text\": ";
        JsonText(out, gen::LevelText(level.Value).c_str());
        out += ", \"pieces\": [";
        for (std::int32_t j = 0; j < level.PolylineCount; ++j) {
            out += j > 0 ? ",\n    " : "\n    ";
            Piece(out, level, j);
        }
        out += "]}";
    }
    out += "]";
    if (!members.empty()) {
        out += ",\n" + members;
    }
    out += "}\n";
    return out;
}

}  // namespace isotri::cli
