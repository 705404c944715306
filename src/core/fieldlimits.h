// What the fields of a data row can hold, shared by the reader and manual input.
#pragma once

#include <QtGlobal>

inline constexpr int kMaxDepthCm = 9999;       // four-digit depth field
inline constexpr double kMaxHalfTurns = 999.9; // three digits and one decimal
// True when depthCm fits the depth field.
inline bool DepthFits(qint64 depthCm)
{
    return depthCm >= 0 && depthCm <= kMaxDepthCm;
}
// True when value fits the half-turn field.
inline bool HalfTurnsFit(double value)
{
    return value >= 0 && value < 1000;
}
