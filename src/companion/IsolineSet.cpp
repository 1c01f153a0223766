#include "companion/IsolineSet.h"

#include <memory>

namespace isotri::gen {

namespace {

void FreeLevel(TIsolineLevel* level) {
    if (level == nullptr) {
        return;
    }
    if (level->PolylineIndexes != nullptr) {
        for (std::int32_t j = 0; j < level->PolylineCount; ++j) {
            delete[] level->PolylineIndexes[j];
        }
    }
    delete[] level->PolylineIndexes;
    delete[] level->PolylineLengths;
    delete[] level->Points;
    delete[] level->Mixtures;
    delete[] level->Labels;
    delete level;
}

// Fills `level`, already zeroed and owned by the set, so a failed allocation leaves nothing
// behind that ppFree would not release.
void FillLevel(TIsolineLevel& level, const LevelResult& source) {
    level.Value = source.value;
    std::size_t pointCount = 0;
    for (const TracedPiece& piece : source.pieces) {
        pointCount += piece.points.size();
    }
    std::size_t pieceCount = source.pieces.size();
    level.Points = new TPoint3f[pointCount]();
    level.Mixtures = new double[3 * pointCount]();
    level.PolylineLengths = new std::int32_t[pieceCount]();
    level.PolylineIndexes = new std::int32_t*[pieceCount]();
    level.Labels = new TLevelLabel[pieceCount]();
    level.PolylineCount = static_cast<std::int32_t>(pieceCount);
    std::size_t next = 0;
    for (std::size_t j = 0; j < pieceCount; ++j) {
        const TracedPiece& piece = source.pieces[j];
        std::size_t count = piece.points.size();
        level.PolylineIndexes[j] = new std::int32_t[count];
        level.PolylineLengths[j] = static_cast<std::int32_t>(count);
        level.Labels[j] = source.labels[j];
        for (std::size_t k = 0; k < count; ++k) {
            std::size_t index = next + k;
            // A closed piece ends on its own first point: one shared entry of Points.
            if (piece.closed && k + 1 == count) {
                index = next;
            }
            level.PolylineIndexes[j][k] = static_cast<std::int32_t>(index);
            if (index != next + k) {
                continue;
            }
            level.Points[index] = {static_cast<float>(piece.points[k].x),
                                   static_cast<float>(piece.points[k].y), 0.0f};
            for (int c = 0; c < 3; ++c) {
                level.Mixtures[3 * index + c] = piece.mixtures[k][c];
            }
        }
        next += count;
    }
}

}  // namespace

TIsolineSet* BuildIsolineSet(const std::array<TPoint3f, 3>& vertices,
                             const std::vector<LevelResult>& levels) {
    std::unique_ptr<TIsolineSet, void (*)(TIsolineSet*)> set(new TIsolineSet(), ppFree);
    for (int k = 0; k < 3; ++k) {
        set->Vertices[k] = vertices[k];
    }
    set->Levels = new TIsolineLevel*[levels.size()]();
    set->LevelCount = static_cast<std::int32_t>(levels.size());
    for (std::size_t k = 0; k < levels.size(); ++k) {
        set->Levels[k] = new TIsolineLevel();
        FillLevel(*set->Levels[k], levels[k]);
    }
    return set.release();
}

}  // namespace isotri::gen

void ppFree(TIsolineSet* set) {
    if (set == nullptr) {
        return;
    }
    if (set->Levels != nullptr) {
        for (std::int32_t k = 0; k < set->LevelCount; ++k) {
            isotri::gen::FreeLevel(set->Levels[k]);
        }
    }
    delete[] set->Levels;
    delete set;
}
