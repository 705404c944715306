#include "printgeometry.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr TDecimalFactor kTenth = DecimalFactor(1, 10);
constexpr TDecimalFactor kTwentieth = DecimalFactor(1, 20);
constexpr TDecimalFactor kNineTenths = DecimalFactor(9, 10);

static_assert(kNineTenths.StoredSign < 0 && kTenth.StoredSign > 0 && kTwentieth.StoredSign > 0);
static_assert(DecimalFactor(1, 2).StoredSign == 0);

int ClampToInt(long double x)
{
    if (std::isnan(x))
        return 0;
    constexpr long double kLimit = 1e9L;
    return int(std::fmax(-kLimit, std::fmin(kLimit, x)));
}

} // namespace

int TruncScaled(int x, TDecimalFactor factor)
{
    if (x == 0)
        return 0;
    const long long product = std::llabs(static_cast<long long>(x)) * factor.Num;
    long long magnitude = product / factor.Den;
    // An exact decimal product lands just below the integer when the stored factor is low.
    if (product % factor.Den == 0 && factor.StoredSign < 0)
        --magnitude;
    return int(x < 0 ? -magnitude : magnitude);
}

int NearestScaled(int x, TDecimalFactor factor)
{
    if (x == 0)
        return 0;
    const long long product = std::llabs(static_cast<long long>(x)) * factor.Num;
    long long magnitude = product / factor.Den;
    const long long twiceRest = 2 * (product % factor.Den);
    if (twiceRest > factor.Den)
        ++magnitude;
    else if (twiceRest == factor.Den) {
        // A decimal half: the stored factor decides, an exact one goes to even.
        if (factor.StoredSign > 0 || (factor.StoredSign == 0 && magnitude % 2 != 0))
            ++magnitude;
    }
    return int(x < 0 ? -magnitude : magnitude);
}

int TruncX(long double x)
{
    return ClampToInt(std::trunc(x));
}

int NearestX(long double x)
{
    return ClampToInt(std::nearbyint(x));
}

TPageGeometry PageGeometry(int pageWidth, int pageHeight)
{
    TPageGeometry g;
    g.PageWidth = pageWidth;
    g.PageHeight = pageHeight;
    const int top = TruncScaled(pageHeight, kTenth);
    const int bottom = TruncScaled(pageHeight, kTwentieth);
    const int left = TruncScaled(pageWidth, kTenth);
    const int right = TruncScaled(pageWidth, kTwentieth);
    g.Area = {top, left, pageHeight - top - bottom, pageWidth - left - right};
    const int areaHeight = g.Area.Height;
    const int areaWidth = g.Area.Width;

    g.TableHeight = TruncScaled(areaHeight, kNineTenths);
    g.TableTop = top + TruncScaled(areaHeight, kTenth);
    g.TableWidth = areaWidth / 2;
    g.TableHeader = {top, left, areaHeight - g.TableHeight, areaWidth};
    g.LeftColumn = {g.TableTop, left, g.TableHeight, g.TableWidth};
    g.RightColumn = {g.TableTop, left + g.TableWidth, g.TableHeight, g.TableWidth};

    g.GraphHeight = NearestScaled(areaHeight, kNineTenths);
    g.GraphHeader = {top, left, areaHeight - g.GraphHeight, areaWidth};
    g.GraphArea = {top + areaHeight - g.GraphHeight, left, g.GraphHeight, areaWidth};
    return g;
}

PlotRect TableGraphPlot(const TBlock &column, int pageLines)
{
    const long double headings = static_cast<long double>(column.Height) / pageLines * 3;
    PlotRect plot;
    plot.Top = NearestX(headings + column.Top);
    plot.Left = column.Left;
    plot.Right = column.Left + column.Width;
    plot.Bottom = plot.Top + NearestX(column.Height - headings);
    return plot;
}
