#include "sitetestdata.h"

#include <QStringList>

QString WriteSiteTest(const TestSandbox &sandbox, const QString &name, const TSiteTestShape &shape)
{
    QStringList lines{QStringLiteral("VT200 Ver1.20 S/N 04127"), QStringLiteral("$T("),
                      QStringLiteral("102 004 017 0025 03 24 05 17 09 30")};
    for (int depth = 25; depth <= shape.FinalDepth; depth += 25) {
        QString row = QStringLiteral("100 %1 J04 004").arg(depth, 4, 10, QLatin1Char('0'));
        for (const TSinkingSpan &span : shape.Sinking) {
            if (depth > span.From && depth <= span.To)
                row = QStringLiteral("%1 %2 J04 JTN")
                          .arg(span.Load)
                          .arg(depth, 4, 10, QLatin1Char('0'));
        }
        lines.append(row);
    }
    const QString gps = !shape.GpsLine.isEmpty() ? shape.GpsLine
                        : shape.Gps.isEmpty()
                            ? QStringLiteral("0 0 N 0 E 0 m 00 0")
                            : QStringLiteral("1 ") + shape.Gps + QStringLiteral(" 08 1.2");
    lines << QStringLiteral("T10 12") << QStringLiteral(")") << QStringLiteral("$G(") << gps
          << QStringLiteral(")");
    return sandbox.writeCp932Lines(name, lines);
}
