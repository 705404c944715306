// What the fields of a data row can hold, shared by the reader and manual input.
#pragma once

#include <QtGlobal>
#include <cmath>

inline constexpr int kMaxDepthCm = 9999;       // four-digit depth field
inline constexpr double kMaxHalfTurns = 999.9; // three digits and one decimal
inline constexpr int kMaxLoadHundredths = 999; // three-digit load field, hundredths of a kN
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
// True when a load in hundredths of a kN fits the load field: a whole number from 0 to 999
// (a typed load has at most two decimals in kN).
inline bool LoadFits(double hundredths)
{
    if (!(hundredths > -0.5 && hundredths < kMaxLoadHundredths + 0.5)) // NaN too
        return false;
    return std::abs(hundredths - std::round(hundredths)) < 1e-6;
}
