// Renders the graphs of a realistic ten-metre test to PNG files under the temporary folder, to
// be looked at by eye. Disabled: run with --gtest_also_run_disabled_tests.
#include "graphdraw.h"
#include "graphtestlog.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A test down to 10.20 m: soft clay that sinks under growing loads, then sand and gravel
// layers with rising half-turn counts.
Tkannyu RealisticLog()
{
    Tkannyu log;
    log.startRows();
    auto add = [&log](int depth, int wsw, const QString &nsw, const QString &soil) {
        Tvt_data row;
        row.Depth = depth;
        row.Wsw = QString::number(wsw);
        row.Nsw = nsw;
        row.Na = nsw == kSelfSinking ? kSelfSinking : nsw;
        const double kN = wsw / 100.0;
        const double turns = nsw == kSelfSinking ? 0 : nsw.toDouble();
        const bool sandy = soil != kClay;
        row.NValue = sandy ? 2 * kN + 0.067 * turns : 3 * kN + 0.05 * turns;
        row.Doshitu = soil;
        log.appendRow(row);
    };
    const QString sink = kSelfSinking;
    add(25, 25, sink, kClay);
    add(50, 50, sink, kClay);
    add(75, 50, sink, kClay);
    add(100, 75, sink, kClay);
    add(125, 100, sink, kClay);
    int depth = 125;
    const int nsw[] = {8,   12,  16,  24,  20,  32,  44,  56,  40,  36,  48, 64,
                       80,  72,  96,  120, 88,  60,  52,  44,  36,  28,  40, 68,
                       104, 140, 180, 220, 260, 300, 240, 200, 160, 132, 112};
    int i = 0;
    for (int n : nsw) {
        depth += 25;
        const QString soil = i < 10   ? kSand
                             : i < 16 ? QStringLiteral("礫質土")
                             : i < 22 ? kClay
                                      : kSand;
        add(depth, 100, QString::number(n), soil);
        ++i;
    }
    add(depth + 20, 100, QStringLiteral("360"), kSand); // a short last step: 10.20 m
    log.Count = log.rowArrayLength() - 1;
    log.FinalDepth = log.row(log.Count).Depth;
    return log;
}

QList<TTorquePair> RealisticTorque()
{
    QList<TTorquePair> pairs;
    for (int depth = 50; depth <= 1000; depth += 50)
        pairs.append({depth, depth < 200 ? 0 : (depth * 7 / 100) % 90 + 5});
    pairs.append({1020, 130}); // beyond TorqueMax: pinned to the edge
    return pairs;
}

void Render(const QString &name, QSize size, const TGraphRequest &request,
            const TSetting &setting = TSetting())
{
    const QString folder = QDir::temp().filePath(QStringLiteral("tessmark-graphs"));
    QDir().mkpath(folder);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawGraph(painter, image.rect(), RealisticLog(), RealisticTorque(), setting, MakeTables(),
              request);
    painter.end();
    const QString path = folder + u'/' + name + QStringLiteral(".png");
    ASSERT_TRUE(image.save(path)) << path.toStdString();
}

} // namespace

TEST(GraphsRender, DISABLED_WritesPngFiles)
{
    for (TGraphKind kind : {TGraphKind::Nsw, TGraphKind::N}) {
        const QString kindName =
            kind == TGraphKind::Nsw ? QStringLiteral("nsw") : QStringLiteral("n");
        for (bool torque : {false, true}) {
            TGraphRequest request;
            request.Kind = kind;
            request.Torque = torque;
            const QString suffix = torque ? QStringLiteral("-torque") : QString();
            Render(QStringLiteral("window-") + kindName + suffix, QSize(340, 400), request);
            Render(QStringLiteral("window-large-") + kindName + suffix, QSize(700, 900), request);
            request.Target = TPaintTarget::Printer;
            request.ColorPrint = false;
            Render(QStringLiteral("print-mono-") + kindName + suffix, QSize(1200, 1500), request);
        }
    }
    TSetting wswMode;
    wswMode.WswMode = true;
    TGraphRequest colour;
    colour.Target = TPaintTarget::Printer;
    Render(QStringLiteral("print-colour-nsw-wswmode"), QSize(1200, 1500), colour, wswMode);
}
