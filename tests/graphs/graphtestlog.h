// Small logs and tables built in code for the graph tests.
#pragma once

#include "record.h"
#include "reftables.h"
#include "settings.h"

#include <initializer_list>

struct TestRow
{
    int Depth;
    QString Wsw;
    QString Nsw;
    double NValue;
    QString Doshitu;
};

inline Tkannyu MakeLog(std::initializer_list<TestRow> rows)
{
    Tkannyu log;
    log.startRows();
    for (const TestRow &r : rows) {
        Tvt_data row;
        row.Depth = r.Depth;
        row.Wsw = r.Wsw;
        row.Na = r.Nsw == kSelfSinking ? kSelfSinking : QStringLiteral("1");
        row.Nsw = r.Nsw;
        row.NValue = r.NValue;
        row.Doshitu = r.Doshitu;
        log.appendRow(row);
    }
    log.Count = int(rows.size());
    log.FinalDepth = rows.size() == 0 ? 0 : (rows.end() - 1)->Depth;
    return log;
}

inline TReferenceTables MakeTables()
{
    TReferenceTables tables;
    tables.SoilTypes = {QStringLiteral("粘性土"), QStringLiteral("砂質土"),
                        QStringLiteral("礫質土")};
    return tables;
}

inline const QString kClay = QStringLiteral("粘性土");
inline const QString kSand = QStringLiteral("砂質土");
