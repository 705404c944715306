#include "printsamples.h"

#include "derived.h"
#include "sandbox.h"
#include "settings.h"

TReferenceTables ShippedTables()
{
    TReferenceTables tables;
    tables.LoadFrom(shippedDataDir());
    return tables;
}

Tkannyu QuarterMetreLog(int count)
{
    Tkannyu log;
    log.startRows();
    for (int i = 1; i <= count; ++i) {
        Tvt_data row;
        row.Depth = 25 * i;
        const bool sinking = i % 5 == 0;
        row.Wsw = sinking ? QStringLiteral("075") : QStringLiteral("100");
        row.Na = sinking ? kSelfSinking : QStringLiteral("4");
        row.Nsw = sinking ? QStringLiteral("0") : QStringLiteral("16");
        row.NValue = sinking ? 2.3 : 4.8;
        row.Obs = QStringLiteral("ｼｬﾘｼｬﾘ");
        row.Doshitu = QStringLiteral("砂質土");
        log.appendRow(row);
    }
    log.Count = count;
    log.FinalDepth = 25 * count;
    return log;
}

TSoundingTest RealisticTest(const TSetting &setting, const TReferenceTables &tables,
                            int finalDepthCm)
{
    TSoundingTest test;
    Tkannyu &log = test.NormalLog;
    log.startRows();
    log.Code1 = 12;
    log.Code2 = 345;
    log.Code3 = 6;
    log.Code4 = 2024;
    log.PointNo = 3;
    log.Year = 24;
    log.Month = 5;
    log.Day = 17;
    log.StartHour = 9;
    log.StartMin = 5;
    log.EndHour = 9;
    log.EndMin = 48;

    auto add = [&](int depth, const char *wsw, const QString &na, const char *code) {
        Tvt_data row;
        row.Depth = depth;
        row.Wsw = QString::fromLatin1(wsw);
        row.Na = na;
        row.ObsCode = QString::fromLatin1(code);
        row.Obs = tables.ObsTextOf(row.ObsCode);
        row.Doshitu = tables.SoilTextOf(row.ObsCode);
        log.appendRow(row);
    };
    add(25, "050", kSelfSinking, "J04");
    add(50, "075", kSelfSinking, "J04");
    add(75, "100", kSelfSinking, "J07");
    add(100, "100", kSelfSinking, "J07");
    static const char *const codes[] = {"J01", "J03", "J04", "J08", "P05", "J02", "P06"};
    int depth = 100;
    for (int step = 0; depth < finalDepthCm; ++step) {
        // A few uneven steps, as a hard layer or a slipped reading gives them.
        depth = std::min(finalDepthCm, depth + (step % 9 == 4 ? 30 : 25));
        const int halfTurns = 2 + (step * 7) % 23 + (depth > 600 ? 10 : 0);
        add(depth, "100", QString::number(halfTurns), codes[(step / 3) % 7]);
    }
    log.Count = log.rowArrayLength() - 1;
    log.FinalDepth = log.row(log.Count).Depth;

    ComputeNsw(log, false, setting, tables);
    ComputeNValue(log, tables);
    CopyLog(log, test.DisplayLog);
    BuildRoundedView(test, setting, tables);

    test.TestParams = {{QStringLiteral("P00"), 3}, {QStringLiteral("P01"), 1}};
    for (int d = 100; d <= finalDepthCm; d += 50)
        test.TestQuantities.append({d, 10 + (d / 50) % 40});
    return test;
}
