// Page geometry of the printouts: margins, table columns, graph area and header blocks in
// device pixels, with the decimal factors applied the way the printout has always rounded them.
#pragma once

#include "graphstyle.h"

#include <QRect>

// A block on the page, in the order the printout code passes it around: top, left, height,
// width (device pixels).
struct TBlock
{
    int Top = 0;
    int Left = 0;
    int Height = 0;
    int Width = 0;

    int Bottom() const { return Top + Height; }
    int Right() const { return Left + Width; }
    QRect rect() const { return QRect(Left, Top, Width, Height); }
    bool operator==(const TBlock &) const = default;
};

// A decimal factor num/den as the printout multiplies with it: held as the nearest binary value
// with a 64-bit mantissa, so it lies slightly above or below the decimal. StoredSign is +1 when
// it lies above, -1 below and 0 when the decimal is exact in binary.
struct TDecimalFactor
{
    int Num = 0;
    int Den = 1;
    int StoredSign = 0;
};

// The side on which the 64-bit-mantissa binary value nearest to num/den lies (num, den > 0).
constexpr int StoredRoundingSign(long long num, long long den)
{
    while (num < den)
        num *= 2;
    while (num >= 2 * den)
        den *= 2;
    long long rest = num - den; // fraction bits follow the leading one
    int lastBit = 1;
    for (int bit = 0; bit < 63; ++bit) {
        rest *= 2;
        lastBit = rest >= den ? 1 : 0;
        if (lastBit)
            rest -= den;
    }
    if (rest == 0)
        return 0;
    if (2 * rest > den)
        return 1;
    if (2 * rest < den)
        return -1;
    return lastBit ? 1 : -1;
}

constexpr TDecimalFactor DecimalFactor(int num, int den)
{
    return {num, den, StoredRoundingSign(num, den)};
}

// trunc(x × factor) and nearest(x × factor) (ties to even) of the exact product of x with the
// stored factor: 0.9 lies below 0.9, so trunc(5780 × 0.9) is 5201; 0.1 lies above, so
// trunc(680 × 0.1) is 68.
int TruncScaled(int x, TDecimalFactor factor);
int NearestScaled(int x, TDecimalFactor factor);

// trunc and nearest (ties to even) of an extended-precision value, for positions computed from
// fractional column widths and line heights.
int TruncX(long double x);
int NearestX(long double x);

struct TPageGeometry
{
    int PageWidth = 0;
    int PageHeight = 0;
    TBlock Area; // inside the margins

    // Table pages: the header block above two table columns.
    int TableHeight = 0;
    int TableTop = 0;
    int TableWidth = 0;
    TBlock TableHeader;
    TBlock LeftColumn;
    TBlock RightColumn;

    // Graph pages: the header block above the graph area.
    int GraphHeight = 0;
    TBlock GraphHeader;
    TBlock GraphArea;
};

// The geometry of a page `pageWidth` × `pageHeight` device pixels.
TPageGeometry PageGeometry(int pageWidth, int pageHeight);

// The plot beside a table column: below the column's three heading lines, as wide as the column.
PlotRect TableGraphPlot(const TBlock &column, int pageLines);
