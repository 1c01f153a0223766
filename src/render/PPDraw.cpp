#include "render/PPDraw.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "common/Error.h"
#include "render/misc.h"

namespace isotri {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr float kCoordinateLimit = 1.0e6f;

// Nearest, ties to even; absurd geometry (huge zoom, infinities) is kept in a range every
// canvas handles instead of overflowing the integer.
int Round(float v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v > kCoordinateLimit) {
        return static_cast<int>(kCoordinateLimit);
    }
    if (v < -kCoordinateLimit) {
        return -static_cast<int>(kCoordinateLimit);
    }
    return static_cast<int>(std::nearbyint(v));
}

IntPoint Round(const TVec2f& v) {
    return {Round(v.X), Round(v.Y)};
}

void MoveTo(Canvas& canvas, const TVec2f& p) {
    canvas.MoveTo(Round(p.X), Round(p.Y));
}
void LineTo(Canvas& canvas, const TVec2f& p) {
    canvas.LineTo(Round(p.X), Round(p.Y));
}

struct Geometry {
    float zoom;
    float axisOffset;
    float labelOffset;
    float tickLength;
};

std::optional<Geometry> ParseGeometry(const AppearanceSettings& settings,
                                      const NumberText& numbers) {
    Geometry g{};
    const std::pair<const std::string*, float*> fields[] = {
        {&settings.EGlobalZoom, &g.zoom},
        {&settings.Eaoscale, &g.axisOffset},
        {&settings.ELabelOffset, &g.labelOffset},
        {&settings.Etickslen, &g.tickLength},
    };
    for (const auto& [text, value] : fields) {
        const std::optional<double> parsed = numbers.Parse(*text);
        if (!parsed) {
            return std::nullopt;
        }
        *value = static_cast<float>(*parsed);
    }
    return g;
}

// Scaling by the zoom about the picture centre.
struct Placement {
    float zoom;
    float shiftX;
    float shiftY;
    TVec2f operator()(float x, float y) const { return {x * zoom + shiftX, y * zoom + shiftY}; }
};

void DrawGridFamily(Canvas& canvas, const TVec2f& p, const TVec2f& q, const TVec2f& r, int n) {
    if (n <= 0) {
        return;
    }
    const float parts = static_cast<float>(n + 1);
    TVec2f dQ;
    TVec2f dR;
    VecSub(dQ, q, p);
    VecSub(dR, r, p);
    dQ = {dQ.X / parts, dQ.Y / parts};
    dR = {dR.X / parts, dR.Y / parts};
    TVec2f start = p;
    TVec2f end = p;
    for (int i = 1; i <= n; ++i) {
        VecAdd(start, start, dQ);
        VecAdd(end, end, dR);
        MoveTo(canvas, start);
        LineTo(canvas, end);
    }
}

std::string LevelText(const TLevelLabel& label, char separator, const NumberText& numbers,
                      const std::string& format) {
    std::string text(label.Text, strnlen(label.Text, sizeof label.Text));
    if (separator != '.') {
        for (char& c : text) {
            if (c == '.') {
                c = separator;
            }
        }
    }
    const std::optional<double> value = numbers.Parse(text);
    if (!value) {
        throw Error("Значение изолинии \"" + std::string(label.Text, text.size()) +
                    "\" не является числом: рисунок не закончен.");
    }
    return numbers.Format(format, *value);
}

void DrawIsolines(const TIsolineSet& set, Canvas& canvas, const Placement& place, char separator,
                  const AppearanceSettings& settings, const NumberText& numbers) {
    canvas.SetPenWidth(settings.SELineW);
    canvas.SetPenColor(settings.LineBox);
    if (set.Levels == nullptr) {
        return;
    }
    for (std::int32_t k = 0; k < set.LevelCount; ++k) {
        const TIsolineLevel& level = *set.Levels[k];
        for (std::int32_t j = 0; j < level.PolylineCount; ++j) {
            const std::int32_t* indexes = level.PolylineIndexes[j];
            const std::int32_t length = level.PolylineLengths[j];
            for (std::int32_t m = 0; m < length; ++m) {
                const TPoint3f& point = level.Points[indexes[m]];
                const TVec2f placed = place(point.X, point.Y);
                if (m == 0) {
                    MoveTo(canvas, placed);
                } else {
                    LineTo(canvas, placed);
                }
            }
            if (!settings.CBTics) {
                continue;
            }
            canvas.SetFont(settings.TicsFont);
            const TLevelLabel& label = level.Labels[j];
            if ((label.Flags & kNoLabel) == 0) {
                const TVec2f centre = place(label.X, label.Y);
                DrawLevelLabel(canvas, LevelText(label, separator, numbers, settings.STicksForm),
                               centre.X, centre.Y);
            }
        }
    }
}

// Where a scale value's top-left corner goes, relative to its tick end.
enum class Anchor { RightAbove, LeftBelow, CentreBelow, CentreAbove, LeftAbove, RightBelow };

void DrawAnchored(Canvas& canvas, const std::string& text, const TVec2f& at, Anchor anchor) {
    const float w = static_cast<float>(canvas.TextWidth(text));
    const float h = static_cast<float>(canvas.TextHeight(text));
    float x = at.X;
    float y = at.Y;
    switch (anchor) {
        case Anchor::RightAbove:
            y -= h;
            break;
        case Anchor::LeftBelow:
            x -= w;
            break;
        case Anchor::CentreBelow:
            x -= w / 2;
            break;
        case Anchor::CentreAbove:
            x -= w / 2;
            y -= h;
            break;
        case Anchor::LeftAbove:
            x -= w;
            y -= h;
            break;
        case Anchor::RightBelow:
            break;
    }
    canvas.TextOut(Round(x), Round(y), text);
}

struct Side {
    TVec2f p;
    TVec2f q;
    float uStart, uEnd;  // shown at the outer tick ends
    float vStart, vEnd;  // shown at the inner tick ends
    Anchor uAnchor;
    Anchor vAnchor;
};

void DrawSide(Canvas& canvas, const Side& side, const Geometry& g, int n,
              const AppearanceSettings& settings, const NumberText& numbers) {
    TVec2f d;
    VecSub(d, side.q, side.p);
    const float length = VecLength(d);
    // A side of zero length (coinciding corners, zoom 0) has no direction to put an axis on.
    if (!(length > 0) || !std::isfinite(length)) {
        return;
    }
    TVec2f normal;
    VecNormalize(normal, TVec2f{-d.Y, d.X});
    const float offset = length * g.axisOffset / 20;
    const float halfTick = (length * g.tickLength / 20 / 2) / 2;

    TVec2f shift;
    VecScale(shift, normal, offset);
    TVec2f p1;
    TVec2f q1;
    VecSub(p1, side.p, shift);
    VecSub(q1, side.q, shift);
    TVec2f tick;
    VecScale(tick, normal, halfTick);
    TVec2f outer;
    TVec2f inner;
    VecSub(outer, p1, tick);
    VecAdd(inner, p1, tick);

    canvas.SetPenWidth(2);
    MoveTo(canvas, p1);
    LineTo(canvas, q1);
    for (const TVec2f& end : {p1, q1}) {
        canvas.Ellipse(Round(end.X - 2), Round(end.Y - 2), Round(end.X + 2), Round(end.Y + 2));
    }

    canvas.SetPenWidth(1);
    if (n <= 0) {
        return;
    }
    const float parts = static_cast<float>(n + 1);
    TVec2f step;
    VecScale(step, d, 1 / parts);
    float u = side.uStart;
    float v = side.vStart;
    const float uStep = (side.uEnd - side.uStart) / parts;
    const float vStep = (side.vEnd - side.vStart) / parts;
    for (int i = 1; i <= n; ++i) {
        VecAdd(outer, outer, step);
        VecAdd(inner, inner, step);
        MoveTo(canvas, outer);
        LineTo(canvas, inner);
        if (settings.CBLabels) {
            u += uStep;
            v += vStep;
            DrawAnchored(canvas, numbers.Format(settings.SLabForm, u), outer, side.uAnchor);
            DrawAnchored(canvas, numbers.Format(settings.SLabForm, v), inner, side.vAnchor);
        }
    }
}

void DrawVertexNames(Canvas& canvas, const TVec2f (&v)[3], float gap,
                     const AppearanceSettings& settings) {
    canvas.SetFont(settings.PointsFont);
    const std::string* names[3] = {&settings.LabelA, &settings.LabelB, &settings.LabelC};
    for (int k = 0; k < 3; ++k) {
        const std::string& name = *names[k];
        if (name.empty()) {
            continue;
        }
        const float w = static_cast<float>(canvas.TextWidth(name));
        const float h = static_cast<float>(canvas.TextHeight(name));
        TVec2f at = v[k];
        if (k == 0) {
            at = {at.X - w / 2, at.Y - h - gap};
        } else if (k == 1) {
            at.X += gap;
        } else {
            at.X -= w + gap;
        }
        canvas.TextOut(Round(at.X), Round(at.Y), name);
    }
}

}  // namespace

void DrawLevelLabel(Canvas& canvas, const std::string& text, float cx, float cy) {
    const float hw = static_cast<float>(canvas.TextWidth(text)) / 2;
    const float hh = static_cast<float>(canvas.TextHeight(text)) / 2;
    const Rgb pen = canvas.PenColor();
    const Rgb brush = canvas.BrushColor();
    canvas.SetPenColor(kWhite);
    canvas.SetBrushColor(kWhite);
    canvas.Rectangle(Round(cx - hw), Round(cy - hh), Round(cx + hw), Round(cy + hh));
    canvas.SetPenColor(pen);
    canvas.SetBrushColor(brush);
    canvas.TextOut(Round(cx - hw), Round(cy - hh), text);
}

std::vector<PicturePoint> PlaceOnPicture(std::span<const PicturePoint> points, int width,
                                         int height, const AppearanceSettings& settings,
                                         const NumberText& numbers) {
    const std::optional<Geometry> g = ParseGeometry(settings, numbers);
    if (!g) {
        return {};
    }
    const Placement place{g->zoom, (1 - g->zoom) * static_cast<float>(width) / 2,
                          (1 - g->zoom) * static_cast<float>(height) / 2};
    std::vector<PicturePoint> placed;
    placed.reserve(points.size());
    for (const PicturePoint& p : points) {
        // In single precision, as the set's own points, so both round to the same pixels.
        const TVec2f v = place(static_cast<float>(p.X), static_cast<float>(p.Y));
        placed.push_back({v.X, v.Y});
    }
    return placed;
}

bool DrawIsolineSet(const TIsolineSet* set, Canvas& canvas, int width, int height, int divisions,
                    const AppearanceSettings& settings, const float bounds[9],
                    const NumberText& numbers, MessageSink& sink) {
    const std::optional<Geometry> g = ParseGeometry(settings, numbers);
    if (!g) {
        sink.ShowMessage("Проверьте содержимое полей \"Тонкая настройка\" диалога \"Формат\".",
                         "Точка, точка, запятая", MessageButtons::OkCancel);
        return false;
    }
    if (divisions > kMaxDivisions) {
        throw Error("Слишком много делений сетки: " + std::to_string(divisions) + " (не более " +
                    std::to_string(kMaxDivisions) + ").");
    }
    const int n = divisions;

    const float z = g->zoom;
    const Placement place{z, (1 - z) * static_cast<float>(width) / 2,
                          (1 - z) * static_cast<float>(height) / 2};
    const TVec2f v[3] = {place(set->Vertices[0].X, set->Vertices[0].Y),
                         place(set->Vertices[1].X, set->Vertices[1].Y),
                         place(set->Vertices[2].X, set->Vertices[2].Y)};

    const std::string oneAndHalf = numbers.FormatDefault(1.5);
    const char separator = oneAndHalf.size() > 1 ? oneAndHalf[1] : '.';

    if (settings.CBFillB) {
        canvas.SetBrushColor(settings.BackBox);
        canvas.FillRect(0, 0, width, height);
    }

    if (settings.CBBound) {
        canvas.SetPenWidth(settings.SEBoundW);
        canvas.SetPenColor(settings.BoundBox);
        const IntPoint corners[4] = {Round(v[0]), Round(v[1]), Round(v[2]), Round(v[0])};
        if (settings.CBFill) {
            canvas.SetBrushColor(settings.FillBox);
            canvas.Polygon(std::span(corners, 3));
        } else {
            canvas.Polyline(corners);
        }
    }

    if (settings.CBGrid) {
        canvas.SetPenWidth(settings.SEGridW);
        canvas.SetPenColor(settings.GridBox);
        DrawGridFamily(canvas, v[0], v[1], v[2], n);
        DrawGridFamily(canvas, v[1], v[2], v[0], n);
        DrawGridFamily(canvas, v[2], v[0], v[1], n);
    }

    DrawIsolines(*set, canvas, place, separator, settings, numbers);

    if (!settings.CBAxes) {
        return true;
    }
    canvas.SetPenWidth(settings.SEAxesW);
    canvas.SetPenColor(settings.AxesBox);
    canvas.SetFont(settings.LabelFont);
    canvas.SetBrushColor(settings.BackBox);
    const Side sides[3] = {
        {v[0], v[1], bounds[0], bounds[3], bounds[1], bounds[4], Anchor::RightAbove,
         Anchor::LeftBelow},
        {v[1], v[2], bounds[4], bounds[7], bounds[5], bounds[8], Anchor::CentreBelow,
         Anchor::CentreAbove},
        {v[2], v[0], bounds[8], bounds[2], bounds[6], bounds[0], Anchor::LeftAbove,
         Anchor::RightBelow},
    };
    for (const Side& side : sides) {
        DrawSide(canvas, side, *g, n, settings, numbers);
    }
    DrawVertexNames(canvas, v, g->labelOffset, settings);
    return true;
}

}  // namespace isotri
