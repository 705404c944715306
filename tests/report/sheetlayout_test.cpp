// How a sheet spreads the rows over its lines and pages.
#include "sheetlayout.h"

#include <gtest/gtest.h>

namespace {

Tkannyu logOf(const QList<int> &depths)
{
    Tkannyu log;
    log.startRows();
    for (const int depth : depths) {
        Tvt_data row;
        row.Depth = depth;
        log.appendRow(row);
    }
    log.Count = int(depths.size());
    return log;
}

// Each page as "from:row@line row@line …".
QStringList described(const QList<TSheetPageRows> &pages)
{
    QStringList lines;
    for (const TSheetPageRows &page : pages) {
        QString text = QString::number(page.FromCm) + u':';
        for (const TSheetRowPlace &place : page.Rows)
            text += QStringLiteral(" %1@%2").arg(place.Row).arg(place.Line);
        lines.append(text);
    }
    return lines;
}

TEST(SheetLayout, RowsTakeTheLineOfTheirDepthOrTheNextFreeOne)
{
    const struct
    {
        const char *name;
        QList<int> depths;
        int lines;
        QStringList expected;
    } cases[] = {
        {"quarter metres", {25, 50, 75}, 4, {"0: 1@0 2@1 3@2"}},
        {"a half metre step leaves a line free", {25, 75, 100}, 4, {"0: 1@0 2@2 3@3"}},
        {"short steps push down", {10, 20, 30, 50}, 6, {"0: 1@0 2@1 3@2 4@3"}},
        {"a full page goes on from the last row's depth",
         {25, 50, 75, 100, 125},
         2,
         {"0: 1@0 2@1", "50: 3@0 4@1", "100: 5@0"}},
        {"a step longer than a page takes its last line",
         {25, 300, 325},
         3,
         {"0: 1@0 2@2", "300: 3@0"}},
        {"no rows", {}, 4, {"0:"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(described(SheetPages(logOf(c.depths), c.lines)), c.expected) << c.name;
}

} // namespace
