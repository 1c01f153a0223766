// Console output with levels and callbacks, and the isoline generator over the concentration
// triangle with the isoline set it returns.
#pragma once

#include <cstdint>

// --- Isoline set ---------------------------------------------------------------------------
// Read only by the renderer; allocated by ppCreateTriangularTHK and released whole by ppFree.
// Fields marked "generator's own" are never read outside the generator.

struct TPoint3f {
    float X;
    float Y;
    float Z;  // not read outside the generator
};

struct TLevelLabel {
    float X;  // picture position of the label's centre
    float Y;
    std::uint8_t Flags;  // bit 0: NoLabel
    char Text[64];       // level value, NUL-terminated, full stop as decimal point
};

constexpr std::uint8_t kNoLabel = 1;

struct TIsolineLevel {
    std::int32_t PolylineCount;      // pieces of this level; <= 0 means none
    TPoint3f* Points;                // shared by all pieces of the level
    std::int32_t* PolylineLengths;   // vertices of each piece
    std::int32_t** PolylineIndexes;  // per piece: indexes into Points, in drawing order
    TLevelLabel* Labels;             // one per piece
    // Generator's own, appended: the level's value and each point's mixture (three shares per
    // entry of Points, in the same order).
    double Value = 0;
    double* Mixtures = nullptr;
};

struct TIsolineSet {
    TPoint3f Vertices[3];     // vertex 0 at the top, 1 lower right, 2 lower left
    std::int32_t LevelCount;  // <= 0 means no isolines
    TIsolineLevel** Levels;   // LevelCount non-null pointers, or null
    // Generator's own, appended: the model's lowest and highest finite values over the
    // (sub-)triangle, from which the levels are spaced, each with its mixture. Found on a
    // lattice and polished to the model's precision; the polish evaluates only inside.
    double MinValue = 0;
    double MinMixture[3] = {};
    double MaxValue = 0;
    double MaxMixture[3] = {};
};

// Model evaluation callback: the point's three component shares and the result.
using TEvalProc = void (*)(const double* x1, const double* x2, const double* x3, double* result);

// center: picture point (x, y, 0); size: distance of each vertex from the centre; angle: radians
// of vertex 0 (vertex k at angle + 2πk/3); bounds: nine shares, corners A, B, C of the
// sub-triangle, or null for the whole triangle; lineCount: 1..50 (clamped); reserved: 0.
// Returns null when the model is constant on the triangle or has no finite value there.
TIsolineSet* ppCreateTriangularTHK(const TPoint3f* center, const float* size, const float* angle,
                                   const float* bounds, TEvalProc evaluate, std::int32_t lineCount,
                                   std::int32_t reserved);
void ppFree(TIsolineSet* set);

// --- Console ---------------------------------------------------------------------------------
// Levels: 16 errors, 32 warnings, 48 information. Text is UTF-8; a line ends with "\r" and may
// arrive in pieces: pieces are joined, and callbacks receive whole lines, synchronously.

using TConCallback = void (*)(const char* text);

void conAddCallback(TConCallback callback);
void conRemoveCallback(TConCallback callback);
void conUpperLevel(std::int32_t level);
void con_lputs(std::int32_t level, const char* text);
void con_puts(const char* text);
