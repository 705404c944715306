#include "printgeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintGeometry, StoredFactorsLieOnTheSideTheirBinaryValueFalls)
{
    struct Case
    {
        int Num, Den, Sign;
    };
    const Case cases[] = {{9, 10, -1}, {1, 10, 1},    {1, 20, 1},   {15, 100, 1}, {1, 5, 1},
                          {1, 2, 0},   {45, 100, -1}, {85, 100, 1}, {3, 4, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(StoredRoundingSign(c.Num, c.Den), c.Sign) << c.Num << "/" << c.Den;
}

TEST(PrintGeometry, ScaledProductsFollowTheStoredFactor)
{
    struct Case
    {
        int X;
        TDecimalFactor Factor;
        int Trunc;
        int Nearest;
    };
    const TDecimalFactor nine = DecimalFactor(9, 10);
    const TDecimalFactor tenth = DecimalFactor(1, 10);
    const TDecimalFactor half = DecimalFactor(1, 2);
    const Case cases[] = {
        {5780, nine, 5201, 5202},                    // exact 5202, stored factor a hair low
        {5781, nine, 5202, 5203},                    // 5202.9
        {5, nine, 4, 4},                             // a decimal half rounds down with a low factor
        {15, nine, 13, 13},                          // 13.5
        {680, tenth, 68, 68},                        // exact product stays exact with a high factor
        {5780, tenth, 578, 578},  {25, tenth, 2, 3}, // 2.5 rounds up with a high factor
        {5, half, 2, 2},                             // exact halves go to even
        {3, half, 1, 2},          {0, nine, 0, 0},   {-5780, nine, -5201, -5202},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TruncScaled(c.X, c.Factor), c.Trunc) << c.X << " x " << c.Factor.Num;
        EXPECT_EQ(NearestScaled(c.X, c.Factor), c.Nearest) << c.X << " x " << c.Factor.Num;
    }
}

TEST(PrintGeometry, AreaOf5780PixelsOverlapsHeaderAndTableByOnePixel)
{
    // 6800 high: margins 680 and 340 leave an area of 5780; 680 wide: margins 68 and 34.
    const TPageGeometry g = PageGeometry(680, 6800);
    EXPECT_EQ(g.Area, (TBlock{680, 68, 5780, 578}));
    EXPECT_EQ(g.TableHeight, 5201);
    EXPECT_EQ(g.TableHeader, (TBlock{680, 68, 579, 578}));
    EXPECT_EQ(g.TableTop, 680 + 578);
    EXPECT_EQ(g.TableHeader.Bottom() - g.TableTop, 1);
    EXPECT_EQ(g.TableWidth, 289);
    EXPECT_EQ(g.LeftColumn, (TBlock{1258, 68, 5201, 289}));
    EXPECT_EQ(g.RightColumn, (TBlock{1258, 357, 5201, 289}));
    EXPECT_EQ(g.GraphHeight, 5202);
    EXPECT_EQ(g.GraphHeader, (TBlock{680, 68, 578, 578}));
    EXPECT_EQ(g.GraphArea, (TBlock{1258, 68, 5202, 578}));
}

TEST(PrintGeometry, A4At600DotsPerInch)
{
    const TPageGeometry g = PageGeometry(4960, 7016);
    EXPECT_EQ(g.Area, (TBlock{701, 496, 5965, 4216}));
    EXPECT_EQ(g.TableHeight, 5368); // 5368.5 truncated
    EXPECT_EQ(g.GraphHeight, 5368); // 5368.5 with a low factor rounds down
    EXPECT_EQ(g.TableHeader.Height, 597);
    EXPECT_EQ(g.RightColumn.Left, 496 + 2108);
    // Everything stays on the sheet.
    EXPECT_LE(g.LeftColumn.Bottom(), g.Area.Bottom());
    EXPECT_LE(g.GraphArea.Bottom(), g.Area.Bottom());
    EXPECT_LE(g.RightColumn.Right(), g.Area.Right());
}

TEST(PrintGeometry, GraphBesideTableStartsBelowTheThreeHeadingLines)
{
    const TBlock column{1258, 357, 5201, 289};
    const PlotRect plot = TableGraphPlot(column, 43);
    // Headings: 5201 / 43 × 3 = 362.86
    EXPECT_EQ(plot.Top, 1621);
    EXPECT_EQ(plot.Height(), 4838);
    EXPECT_EQ(plot.Left, 357);
    EXPECT_EQ(plot.Right, 357 + 289);
    EXPECT_LE(plot.Bottom, column.Bottom());
}

} // namespace
